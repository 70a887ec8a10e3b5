// Telling input a person gave while a handler held the window's thread from
// input given since: the window system keeps the first and hands it over
// once the handler returns, sometimes only when the thread next asks for
// messages, and a click on a button that was disabled meanwhile would then
// reach it enabled.
#pragma once

#include <windows.h>

namespace ui {

// Whether the message is keyboard or mouse input to a window's client area.
bool IsKeyOrMouseInput(UINT message);

// Mouse and keyboard messages stamped before `now` are dropped from here on.
void DropInputBefore(DWORD now);

// Whether the message is mouse or keyboard input from before the barrier.
bool IsStaleInput(const MSG& message);

}  // namespace ui
