// The window's thread while a handler waits for work of its own (a job's
// downloads, its tool): it still paints, runs timers and answers what other
// threads and programs send, so that the window never looks hung. What a
// person clicks or types meanwhile is dropped, except the ways to close the
// window, and no handler runs inside the one that waits.
#pragma once

#include "ui/close_requests.h"

namespace ui {

// Handles the messages that wait for the calling thread, as above; returns
// the request to close the handler's window that came meanwhile or before,
// taken (ui/close_requests.h).
CloseRequest HandleMessagesWhileBusy();

}  // namespace ui
