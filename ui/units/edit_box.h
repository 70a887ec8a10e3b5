// The EditBox unit type (type code 0x00010005, "编辑框").
#pragma once

#include "ui/unit_type.h"

namespace ui {

extern const UnitTypeDescriptor kEditBoxType;

}  // namespace ui
