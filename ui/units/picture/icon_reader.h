// ICO and CUR pictures: one image of the directory made into an icon handle.
#pragma once

#include <cstddef>
#include <cstdint>

#include "ui/units/picture/decoded_image.h"

namespace ui {

// The first entry 32 pixels wide with more than 15 colours, else the last
// entry. Kind kIcon for a directory of type 1, kCursor otherwise, or kNone.
DecodedImage DecodeIcon(const uint8_t* data, size_t length);

}  // namespace ui
