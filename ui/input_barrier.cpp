#include "ui/input_barrier.h"

namespace ui {

namespace {

DWORD g_barrier = 0;
bool g_barrierSet = false;

bool IsInput(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST);
}

}  // namespace

void DropInputBefore(DWORD now) {
    g_barrier = now;
    g_barrierSet = true;
}

bool IsStaleInput(const MSG& message) {
    // Message times wrap with the tick count, so compare their difference.
    return g_barrierSet && IsInput(message.message) &&
           static_cast<LONG>(message.time - g_barrier) < 0;
}

}  // namespace ui
