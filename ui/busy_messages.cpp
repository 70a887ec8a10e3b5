#include "ui/busy_messages.h"

#include <windows.h>

#include "ui/event_dispatch.h"
#include "ui/input_barrier.h"

namespace ui {

namespace {

int g_waitingDepth = 0;  // the window's thread alone handles its messages

// Keys, clicks and the frame's buttons; dragging the caption and minimising
// reach no control, so the window still moves out of the way.
bool IsPersonsInput(const MSG& message) {
    const UINT m = message.message;
    if (IsKeyOrMouseInput(m)) return true;
    if (m >= WM_NCMOUSEMOVE && m <= WM_NCXBUTTONDBLCLK) {
        return m != WM_NCMOUSEMOVE && !(m == WM_NCLBUTTONDOWN && (message.wParam == HTCAPTION ||
                                                                  message.wParam == HTMINBUTTON));
    }
    return false;
}

}  // namespace

void HandleMessagesWhileBusy() {
    const EventSuppression noHandlers;
    ++g_waitingDepth;
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
    --g_waitingDepth;
}

bool HandlerIsWaiting() { return g_waitingDepth > 0; }

}  // namespace ui
