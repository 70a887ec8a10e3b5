// The TransLabel unit type (type code 0x00020005, "透明标签").
#pragma once

#include "ui/unit_type.h"

namespace ui {

extern const UnitTypeDescriptor kTransLabelType;

}  // namespace ui
