// Finds, reads and answers real windows of another process: what a person
// would see and press.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace driver {

// The first visible top-level window of the process with this title, waiting
// up to timeoutMs for it to appear; null if none came.
HWND WaitForWindow(DWORD processId, const std::string& title, DWORD timeoutMs);

std::string WindowText(HWND window);
std::string ClassName(HWND window);
std::vector<HWND> Children(HWND window);

// The texts of a message box: its message (the non-empty static text) and its
// buttons, in creation order.
std::string MessageBoxText(HWND box);
std::vector<HWND> Buttons(HWND box);
bool HasIcon(HWND box);

// Presses the button with this control identifier as a click would.
bool PressButton(HWND box, int controlId);

// The first child (at any depth) whose text is `text`; null if none.
HWND FindChildByText(HWND parent, const std::string& text);

// A real left click with the mouse at the middle of the window: a disabled
// window gets nothing, as with a person's click.
void ClickWithMouse(HWND window);
// Lifts the window's top-level window above all others and activates it.
// Both wait for its thread, so a busy program holds them up.
void BringToFront(HWND window);
// Only the click of ClickWithMouse, which asks nothing of the window's
// thread: a person's click on a program that is busy.
void ClickAtMiddle(HWND window);
// Keys pressed and released, one after another, as a person types upper-case
// letters and digits; asks nothing of the window's thread either.
void TypeKeys(const std::string& keys);
// Keys held down together, in order, then let go in reverse, as a person
// presses Alt+F4 ({VK_MENU, VK_F4}); asks nothing of the window's thread.
void PressChord(const std::vector<WORD>& keys);

// All visible top-level windows of the process with this title.
std::vector<HWND> TopLevelWindows(DWORD processId, const std::string& title);

}  // namespace driver
