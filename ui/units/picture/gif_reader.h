// GIF pictures (87a and 89a), with our own LZW decoder.
#pragma once

#include <cstddef>
#include <cstdint>

#include "ui/units/picture/decoded_image.h"

namespace ui {

// Kind kGif or kNone. A still is the first frame drawn at its offset on a
// canvas of the logical screen's size (the first frame's extent when the
// screen size is 0) filled with the background colour index, in the 8-bit
// bitmap layout. With `animate`, a GIF of several frames gives an animation
// of every frame instead, with no pixels.
DecodedImage DecodeGif(const uint8_t* data, size_t length, bool animate);

}  // namespace ui
