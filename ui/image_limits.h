// The largest picture any reader of the program decodes: declared sizes are
// checked against this before anything is allocated, so a few corrupt header
// bytes cannot ask for gigabytes.
#pragma once

#include <cstdint>

namespace ui {

constexpr uint64_t kMaxImagePixels = uint64_t{64} << 20;

// Non-zero and within kMaxImagePixels.
inline bool ImageSizeAcceptable(uint64_t width, uint64_t height) {
    return width != 0 && height != 0 && width <= kMaxImagePixels &&
           height <= kMaxImagePixels / width;
}

}  // namespace ui
