#include "ui/window_services.h"

#include "runtime/error_reporter.h"

namespace ui {

// Windows are created from the window templates alone. Until a program carries
// templates, no window identifier names a window.

void LoadWindow(uint32_t /*windowId*/) {
    runtime::Report(runtime::messages::kLoadStartupWindowFailed, 0);
}

uint64_t ReadUnitProperty(uint32_t, uint32_t, int32_t, int32_t) {
    runtime::Report(runtime::messages::kWindowOrUnitMissing, 0);
}

void WriteUnitProperty(uint32_t, uint32_t, int32_t, int32_t, uint32_t, uint32_t) {
    runtime::Report(runtime::messages::kWindowOrUnitMissing, 0);
}

HWND NativeWindowOf(uint32_t, uint32_t) { return nullptr; }

}  // namespace ui
