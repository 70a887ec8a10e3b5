// The window's thread while a handler waits for work of its own (a job's
// downloads, its tool): it still paints, runs timers and answers what other
// threads and programs send, so that the window never looks hung. What a
// person clicks or types meanwhile is dropped, and no handler runs inside the
// one that waits.
#pragma once

namespace ui {

// Handles the messages that wait for the calling thread, as above.
void HandleMessagesWhileBusy();

// Whether the calling thread is inside HandleMessagesWhileBusy: a window is
// not closed under the handler that waits.
bool HandlerIsWaiting();

}  // namespace ui
