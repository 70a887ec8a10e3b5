// A window asked to close while one of its own handlers runs (a job that
// waits for its downloads): destroying it would pull it from under the
// handler, so the request is kept instead. The handler may take it and
// decide (a job asks whether to stop); one that no handler took closes the
// window once its handlers have returned.
#pragma once

#include <windows.h>

#include <cstdint>

namespace ui {

// The order is the urgency: a session that ends outweighs a person's click.
enum class CloseRequest : int32_t { kNone = 0, kAsked = 1, kSessionEnding = 2 };

void DeferClose(uint32_t windowId, HWND window, CloseRequest request);

// The request kept since the last call, taken: the caller answers it.
CloseRequest TakeCloseRequest();

// After the last running handler of window `windowId` returned: a request
// for it that nobody took closes it now.
void CloseIfRequested(uint32_t windowId);

}  // namespace ui
