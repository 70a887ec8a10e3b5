#include "ui/input_barrier.h"

namespace ui {

namespace {

DWORD g_barrier = 0;
bool g_barrierSet = false;

}  // namespace

bool IsKeyOrMouseInput(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST);
}

void DropInputBefore(DWORD now) {
    g_barrier = now;
    g_barrierSet = true;
}

bool IsStaleInput(const MSG& message) {
    // Message times wrap with the tick count, so compare their difference.
    return g_barrierSet && IsKeyOrMouseInput(message.message) &&
           static_cast<LONG>(message.time - g_barrier) < 0;
}

}  // namespace ui
