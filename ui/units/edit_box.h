// The EditBox unit type (type code 0x00010005, "编辑框").
#pragma once

#include "ui/type_block.h"
#include "ui/unit_type.h"
#include "ui/units/edit_box_block.def"

namespace ui {

extern const UnitTypeDescriptor kEditBoxType;

VELMORA_TYPE_BLOCK_STRUCT(EditBoxBlock, EDIT_BOX_BLOCK);

}  // namespace ui
