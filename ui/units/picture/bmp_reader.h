// BMP pictures: uncompressed (BI_RGB) ones of 1, 4, 8, 24 or 32 bits per pixel.
#pragma once

#include <cstddef>
#include <cstdint>

#include "ui/units/picture/decoded_image.h"

namespace ui {

// Kind kBmp with B, G, R rows bottom-up, or kNone. Negative sizes count as
// their absolute value and the rows are always taken as stored bottom-up.
DecodedImage DecodeBmp(const uint8_t* data, size_t length);

}  // namespace ui
