// The TransLabel unit type (type code 0x00020005, "透明标签").
#pragma once

#include "ui/type_block.h"
#include "ui/unit_type.h"
#include "ui/units/trans_label_block.def"

namespace ui {

extern const UnitTypeDescriptor kTransLabelType;

VELMORA_TYPE_BLOCK_STRUCT(TransLabelBlock, TRANS_LABEL_BLOCK);

}  // namespace ui
