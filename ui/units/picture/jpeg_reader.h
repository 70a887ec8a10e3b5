// JPEG pictures, through the IJG interface of libjpeg-turbo.
#pragma once

#include <cstddef>
#include <cstdint>

#include "ui/units/picture/decoded_image.h"

namespace ui {

// Kind kJpeg with B, G, R rows bottom-up (greyscale pictures with three equal
// bytes), or kNone; pictures of other than 1 or 3 components give kNone.
DecodedImage DecodeJpeg(const uint8_t* data, size_t length);

}  // namespace ui
