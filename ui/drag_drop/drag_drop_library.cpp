#include "ui/drag_drop/drag_drop_library.h"

#include <windows.h>

#include "runtime/command_args.h"
#include "ui/drag_drop/drop_target.h"

namespace drag_drop {

namespace {

runtime::LibraryCallbackFunction g_runtime = nullptr;

uint32_t Notify(int32_t code, uint32_t arg1, uint32_t /*arg2*/) {
    if (code == runtime::library_notify::kAttach) {
        g_runtime = reinterpret_cast<runtime::LibraryCallbackFunction>(arg1);
    } else if (code == runtime::library_notify::kEnd) {
        g_runtime = nullptr;
    }
    return 0;
}

const runtime::CommandFunction kCommands[] = {
    &RegisterWindow,  // 0
};

const runtime::UnitTypeDescriptor* const kUnitTypes[] = {
    &kDropTargetType,  // 1
};

}  // namespace

uint32_t CallRuntime(int32_t code, uint32_t arg1, uint32_t arg2) {
    return g_runtime ? g_runtime(code, arg1, arg2) : 0;
}

// A unit that is not loaded never comes back: the runtime reports it as a
// run-time error.
void RegisterWindow(runtime::ArgRecord* result, int32_t argCount, const runtime::ArgRecord* args) {
    if (argCount < 2) return;
    auto* unit = reinterpret_cast<ui::Unit*>(
        CallRuntime(runtime::library_callback::kFindUnit, args[0].low, args[0].high));
    if (!unit) return;
    runtime::SetLogical(result, RegisterDropWindow(unit, reinterpret_cast<HWND>(args[1].low)));
}

const runtime::LibraryDescriptor kDragDropLibrary = {
    "dragdrop", &Notify,
    kCommands,  sizeof kCommands / sizeof kCommands[0],
    kUnitTypes, sizeof kUnitTypes / sizeof kUnitTypes[0]};

}  // namespace drag_drop
