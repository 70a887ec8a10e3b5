// The DropTarget's mark: the small picture its own window shows in the
// middle, an arrow falling into a tray.
#pragma once

#include <windows.h>

#include "ui/gdi.h"

namespace drag_drop {

constexpr int kDropMarkSize = 16;

// A one-bit bitmap of the mark: 0 bits are the mark, 1 bits the background,
// so a copy to a colour device draws the mark in the text colour over the
// background colour.
ui::UniqueBitmap CreateDropMark();

}  // namespace drag_drop
