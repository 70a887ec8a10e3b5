// The PicBox unit type (type code 0x00010006, "图片框").
#pragma once

#include "ui/type_block.h"
#include "ui/unit_type.h"
#include "ui/units/pic_box_block.def"

namespace ui {

extern const UnitTypeDescriptor kPicBoxType;

VELMORA_TYPE_BLOCK_STRUCT(PicBoxBlock, PIC_BOX_BLOCK);

}  // namespace ui
