#include "runtime/message_loop.h"

#include <algorithm>
#include <vector>

#include "runtime/window_engine.h"

namespace runtime {

namespace {

struct IdleCallback {
    HWND window;
    void (*callback)(uint32_t data);
    uint32_t data;
};

std::vector<IdleCallback> g_idleCallbacks;
std::vector<HWND> g_loadedWindows;
// A window closed before the loop started does not end the program.
bool g_loopStarted = false;

// Last to first, so a callback may register another without being skipped.
void RunIdleCallbacks() {
    auto& callbacks = g_idleCallbacks;
    for (size_t i = callbacks.size(); i-- > 0;) {
        if (i >= callbacks.size()) continue;  // a callback removed entries
        const IdleCallback entry = callbacks[i];
        if (::IsWindow(entry.window)) {
            entry.callback(entry.data);
        } else {
            callbacks.erase(callbacks.begin() + static_cast<ptrdiff_t>(i));
        }
    }
}

}  // namespace

void AddIdleCallback(HWND window, void (*callback)(uint32_t data), uint32_t data) {
    g_idleCallbacks.push_back({window, callback, data});
}

void AddLoadedWindow(HWND window) { g_loadedWindows.push_back(window); }

bool AnyLoadedWindowAlive() {
    const auto& windows = g_loadedWindows;
    return std::any_of(windows.begin(), windows.end(), [](HWND w) { return ::IsWindow(w); });
}

void LoadedWindowDestroyed(HWND window) {
    auto& windows = g_loadedWindows;
    windows.erase(std::remove(windows.begin(), windows.end(), window), windows.end());
    if (g_loopStarted && !AnyLoadedWindowAlive()) ::PostQuitMessage(0);
}

void RunMessageLoop() {
    g_loopStarted = true;
    if (!AnyLoadedWindowAlive()) return;

    MSG message;
    for (;;) {
        if (!::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) RunIdleCallbacks();
        // Drain what is waiting, then go idle again.
        do {
            if (::GetMessageA(&message, nullptr, 0, 0) <= 0) return;
            const WindowEngine* engine = AttachedWindowEngine();
            if (engine && engine->filterMessage(message)) continue;
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        } while (::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE));
    }
}

void DropIdleCallbacks() { g_idleCallbacks.clear(); }

}  // namespace runtime
