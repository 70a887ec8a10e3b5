// The DropTarget unit type (type code 0x00030001, "拖放对象").
#pragma once

#include <windows.h>

#include "ui/unit_type.h"

namespace net {

extern const ui::UnitTypeDescriptor kDropTargetType;

// Makes a DropTarget unit serve `window`: false when the unit is no DropTarget,
// already serves a window (even one OLE refused), or OLE refuses this one.
bool RegisterDropWindow(ui::Unit* unit, HWND window);

}  // namespace net
