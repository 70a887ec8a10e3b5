#include "runtime/hidden_owner.h"

#include "runtime/shutdown.h"

namespace runtime {

namespace {

constexpr char kClassName[] = "_ZV_HideOwner";

// Made once at start-up; it lives as long as the program.
HWND g_hiddenOwner = nullptr;

LRESULT CALLBACK HiddenOwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kEndProgramMessage) {
        // We are on the main thread now: end here, where shutdown belongs.
        EndProgram(static_cast<int32_t>(wParam));
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

void CreateHiddenOwner() {
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = HiddenOwnerProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
    windowClass.lpszClassName = kClassName;
    ::RegisterClassA(&windowClass);
    g_hiddenOwner = ::CreateWindowExA(WS_EX_TOOLWINDOW, kClassName, "", WS_POPUP, 0, 0, 0, 0,
                                      nullptr, nullptr, instance, nullptr);
}

HWND HiddenOwner() { return g_hiddenOwner; }

}  // namespace runtime
