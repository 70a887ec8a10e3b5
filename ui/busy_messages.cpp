#include "ui/busy_messages.h"

#include <windows.h>

#include "ui/event_dispatch.h"
#include "ui/input_barrier.h"

namespace ui {

namespace {

// The close button, the system menu (a click on its icon, Alt+Space) and
// Alt+F4: a window that waits can still be closed.
bool IsWayToClose(const MSG& message) {
    switch (message.message) {
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONDBLCLK:
            return message.wParam == HTCLOSE || message.wParam == HTSYSMENU;
        case WM_SYSKEYDOWN:
            return message.wParam == VK_F4 || message.wParam == VK_SPACE;
        case WM_SYSCHAR:
            return message.wParam == ' ';
        default:
            return false;
    }
}

// Keys, clicks and the frame's buttons; dragging the caption and minimising
// reach no control, so the window still moves out of the way.
bool IsPersonsInput(const MSG& message) {
    const UINT m = message.message;
    if (IsWayToClose(message)) return false;
    if (IsKeyOrMouseInput(m)) return true;
    if (m >= WM_NCMOUSEMOVE && m <= WM_NCXBUTTONDBLCLK) {
        return m != WM_NCMOUSEMOVE && !(m == WM_NCLBUTTONDOWN && (message.wParam == HTCAPTION ||
                                                                  message.wParam == HTMINBUTTON));
    }
    return false;
}

}  // namespace

CloseRequest HandleMessagesWhileBusy() {
    const EventSuppression noHandlers;
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // The loop that waits for the handler ends the program.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (IsPersonsInput(message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return TakeCloseRequest();
}

}  // namespace ui
