// The DropTarget unit type (type code 0x00030001, "拖放对象").
#pragma once

#include <windows.h>

#include "ui/drag_drop/drop_target_block.def"
#include "ui/type_block.h"
#include "ui/unit_type.h"

namespace drag_drop {

extern const ui::UnitTypeDescriptor kDropTargetType;

VELMORA_TYPE_BLOCK_STRUCT(DropTargetBlock, DROP_TARGET_BLOCK);

// Makes a DropTarget unit serve `window`: false when the unit is no DropTarget,
// already serves a window (even one OLE refused), or OLE refuses this one.
bool RegisterDropWindow(ui::Unit* unit, HWND window);

}  // namespace drag_drop
