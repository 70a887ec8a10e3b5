// The window unit (type code 0x00010001, "窗口"): the top-level window of a
// form. It raises event 0 after loading, then 3 and 4, and reflects its
// controls' notifications back to their units.
#pragma once

#include "ui/type_block.h"
#include "ui/unit_type.h"
#include "ui/window_unit_block.def"

namespace ui {

extern const UnitTypeDescriptor kWindowType;

VELMORA_TYPE_BLOCK_STRUCT(WindowBlock, WINDOW_BLOCK);

// Set by the loader for the duration of a modal load's create call.
void SetModalLoad(bool modal);

// The start position a window unit was created with (0 to 3).
uint32_t StartPositionOf(Unit* windowUnit);

}  // namespace ui
