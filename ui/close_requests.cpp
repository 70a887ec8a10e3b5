#include "ui/close_requests.h"

namespace ui {

namespace {

// Only the window's thread asks and takes.
struct Deferred {
    uint32_t windowId = 0;
    HWND window = nullptr;
    CloseRequest request = CloseRequest::kNone;
};
Deferred g_deferred;

}  // namespace

void DeferClose(uint32_t windowId, HWND window, CloseRequest request) {
    if (request < g_deferred.request) return;
    g_deferred = {windowId, window, request};
}

CloseRequest TakeCloseRequest() {
    const CloseRequest request = g_deferred.request;
    g_deferred = {};
    return request;
}

void CloseIfRequested(uint32_t windowId) {
    if (g_deferred.request == CloseRequest::kNone || g_deferred.windowId != windowId) return;
    ::PostMessageA(g_deferred.window, WM_CLOSE, 0, 0);
    g_deferred = {};
}

}  // namespace ui
