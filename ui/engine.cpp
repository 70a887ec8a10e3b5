#include "ui/engine.h"

#include "runtime/error_reporter.h"
#include "runtime/window_engine.h"
#include "ui/event_dispatch.h"
#include "ui/icon_records.h"
#include "ui/window_lifecycle.h"
#include "ui/window_services.h"
#include "ui/window_state.h"
#include "ui/window_table.h"

namespace ui {

namespace {

// The object of a unit whose window has all its units; any other is a run-time
// error.
void* FindLoadedUnit(uint32_t windowId, uint32_t unitId) {
    WindowState* window = FindWindowState(windowId);
    LiveUnit* unit = window && window->UnitsReachable() ? window->FindUnit(unitId) : nullptr;
    if (!unit || !unit->object) runtime::Report(runtime::messages::kWindowOrUnitMissing, 0);
    return unit->object.get();
}

// A library's unit whose window is gone deletes itself, so the window's
// working list lets go of the object without deleting it.
void ForgetUnit(uint32_t windowId, uint32_t unitId) {
    WindowState* window = FindWindowState(windowId);
    LiveUnit* unit = window ? window->FindUnit(unitId) : nullptr;
    if (unit) static_cast<void>(unit->object.release());
}

bool RaiseRecordedEvent(void* record) { return RaiseEvent(*static_cast<EventRecord*>(record)); }

const runtime::WindowEngine kEngine = {
    &ReadWindowTemplates,       &LoadWindow,         &ReadUnitProperty, &WriteUnitProperty,
    &PreTranslateWindowMessage, &NativeWindowOf,     &FindLoadedUnit,   &ForgetUnit,
    &RaiseRecordedEvent,        &ReleaseIconRecords,
};

}  // namespace

void AttachEngine() { runtime::AttachWindowEngine(kEngine); }

}  // namespace ui
