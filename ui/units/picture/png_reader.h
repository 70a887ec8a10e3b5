// PNG pictures, through libpng's simplified reading interface.
#pragma once

#include <cstddef>
#include <cstdint>

#include "ui/units/picture/decoded_image.h"

namespace ui {

// Kind kPng with B, G, R, A rows top-down, or kNone.
DecodedImage DecodePng(const uint8_t* data, size_t length);

}  // namespace ui
