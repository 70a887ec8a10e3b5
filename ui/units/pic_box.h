// The PicBox unit type (type code 0x00010006, "图片框").
#pragma once

#include "ui/unit_type.h"

namespace ui {

extern const UnitTypeDescriptor kPicBoxType;

}  // namespace ui
