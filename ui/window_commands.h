// Core commands on windows and units.
#pragma once

#include "runtime/values.h"

namespace ui {

// (edit-box reference, text, [texts...]): each text appended at the end of the
// box's text, the end scrolled into view.
void AddText(runtime::ArgRecord* result, int32_t argCount, const runtime::ArgRecord* args);
// (unit reference) -> integer: the unit's native window, 0 when there is none.
void WindowHandleOf(runtime::ArgRecord* result, int32_t argCount, const runtime::ArgRecord* args);
// (window reference, [owner window reference], modal flag) -> logical: the
// window loaded; a modal one returns after it has closed.
void LoadWindowCommand(runtime::ArgRecord* result, int32_t argCount,
                       const runtime::ArgRecord* args);

// (): the mouse and keyboard input given until now and not yet handled is
// dropped, so that what a person clicked or typed while a handler held the
// thread is not replayed on windows that have changed meanwhile.
void DiscardPendingInput(runtime::ArgRecord* result, int32_t argCount,
                         const runtime::ArgRecord* args);
// () -> integer: while a handler waits, the window paints and answers the
// messages that came meanwhile; a person's input among them is dropped
// (ui/busy_messages.h). The result is the request to close the handler's
// window that came meanwhile, taken: 0 none, 1 a person or program asked, 2
// Windows ends the session (ui/close_requests.h).
void HandleWaitingMessages(runtime::ArgRecord* result, int32_t argCount,
                           const runtime::ArgRecord* args);

}  // namespace ui
