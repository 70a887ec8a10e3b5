// The message loop, the idle callbacks units register, and the list of loaded
// windows that decides when the loop ends.
#pragma once

#include <windows.h>

#include <cstdint>

namespace runtime {

// Returns at once when no loaded window is alive; otherwise pumps messages
// until WM_QUIT.
void RunMessageLoop();

void AddIdleCallback(HWND window, void (*callback)(uint32_t data), uint32_t data);
// At the end of the program no callback runs any more.
void DropIdleCallbacks();

// The window engine reports each loaded top-level window and its destruction.
// Destroying the last one after the loop has started posts WM_QUIT.
void AddLoadedWindow(HWND window);
void LoadedWindowDestroyed(HWND window);
bool AnyLoadedWindowAlive();

}  // namespace runtime
