// PCX pictures of one plane: 8 bits per pixel with the 256-colour palette at
// the end of the file, or 1 bit per pixel.
#pragma once

#include <cstddef>
#include <cstdint>

#include "ui/units/picture/decoded_image.h"

namespace ui {

// Kind kPcx8 in the 8-bit bitmap layout, kind kPcx1 as monochrome rows padded
// to 2 bytes, or kNone.
DecodedImage DecodePcx(const uint8_t* data, size_t length);

}  // namespace ui
