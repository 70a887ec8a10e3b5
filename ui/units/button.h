// The Button unit type (type code 0x0001000B, "按钮").
#pragma once

#include "ui/unit_type.h"

namespace ui {

extern const UnitTypeDescriptor kButtonType;

}  // namespace ui
