// The application's start-up routine: it runs the program's whole life.
#include "app/globals.h"
#include "app/job_plan.h"
#include "app/runtime_entries.h"
#include "app/units.h"
#include "runtime/app_header.h"

namespace app {

OwnedText segmentList;
OwnedText playlistText;
JobPlan jobPlan;

namespace {

void FreeGlobals(int32_t /*position*/) {
    segmentList.Reset();
    playlistText.Reset();
    jobPlan.Clear();
}

// Direction flag clear, and the FPU's default control word: 64-bit precision,
// rounding to nearest, every exception masked.
void ResetProcessorState() { asm volatile("cld\n\tfninit"); }

}  // namespace

}  // namespace app

extern "C" int32_t AppStartup() {
    NotifyRuntime(runtime::notify::kInitialise);
    app::ResetProcessorState();
    // The globals start empty: there is nothing to initialise.
    NotifyRuntime(runtime::notify::kAddEndRoutine, &app::FreeGlobals);
    // Nothing to do before the main window loads; its creation event does the rest.
    LoadWindow(app::windows::kMainWindow.id);
    RunMessageLoop();
    return 0;
}
