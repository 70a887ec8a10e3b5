// Loading a window from its template and letting it go when its native window
// is destroyed.
#pragma once

#include <windows.h>

#include <cstdint>

namespace ui {

// Creates the window and its units from the template. A window that is open
// already is only brought to the front, unless newInstance asks for another.
// A modal load disables the program's other top-level windows until it closes
// (it does not wait; see RunModal). False when the window cannot be loaded.
bool LoadWindowFromTemplate(uint32_t windowId, bool newInstance, bool modal, HWND owner);

// Pumps messages until the window is gone; a WM_QUIT that arrives meanwhile is
// posted again for the outer loop.
void RunModal(uint32_t windowId);

// Drops input from before the input barrier, then does keyboard navigation
// between the units of a loaded window (Tab, arrows, Enter for the default
// button); true when the message was used up. A unit that wants the Enter key
// for itself keeps it.
bool PreTranslateWindowMessage(MSG& message);

// The window unit's procedure reports the end of its native window here.
void NativeWindowDestroyed(HWND window);

}  // namespace ui
