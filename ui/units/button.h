// The Button unit type (type code 0x0001000B, "按钮").
#pragma once

#include "ui/type_block.h"
#include "ui/unit_type.h"
#include "ui/units/button_block.def"

namespace ui {

extern const UnitTypeDescriptor kButtonType;

VELMORA_TYPE_BLOCK_STRUCT(ButtonBlock, BUTTON_BLOCK);

}  // namespace ui
