// Pictures as the PicBox keeps them: the kind found from the first bytes and
// the decoded pixels in the layout of that kind. Decoding is pure over bytes
// (apart from making an icon handle) and never trusts a length it has not
// checked against the data.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "ui/icon_file.h"

namespace ui {

enum class ImageKind : uint32_t {
    kNone = 0,
    kJpeg = 1,    // 24-bit B, G, R rows bottom-up, no row padding
    kBmp = 2,     // as kJpeg
    kIcon = 3,    // an icon handle
    kCursor = 4,  // an icon handle
    kGif = 5,     // BITMAPINFOHEADER + 256 RGBQUADs + 8-bit DIB rows; or an animation
    kPcx8 = 6,    // as a still kGif
    kPcx1 = 7,    // monochrome rows of a one-plane, one-bit device bitmap (rows padded to 2 bytes)
    kPng = 8,     // 32-bit B, G, R, A rows top-down
};

// From the first 8 bytes; fewer than 8 bytes are not an image.
ImageKind DetectImageKind(const uint8_t* data, size_t length);

// One frame of an animated GIF, already decoded to palette indexes.
struct GifFrame {
    uint32_t left = 0, top = 0, width = 0, height = 0;
    uint32_t delayMs = 50;  // a delay of 0 is taken as 50 ms
    bool transparent = false;
    uint8_t transparentIndex = 0;
    uint32_t disposal = 0;         // the graphic control extension's disposal method
    std::vector<RGBQUAD> palette;  // the local table, else the global one (256 entries)
    std::vector<uint8_t> indexes;  // width * height, rows top-down, interlacing undone
};

struct GifAnimation {
    uint32_t width = 0, height = 0;  // the logical screen
    std::vector<GifFrame> frames;
};

class DecodedImage {
  public:
    DecodedImage() = default;
    // A picture moved from is left of kind kNone, so that its kind never
    // names an icon it no longer holds.
    DecodedImage(DecodedImage&& other) noexcept;
    DecodedImage& operator=(DecodedImage&& other) noexcept;

    ImageKind kind = ImageKind::kNone;
    int32_t width = 0;
    int32_t height = 0;
    UniqueIcon icon;                          // kinds 3 and 4
    std::vector<uint8_t> pixels;              // layout by kind, see ImageKind
    std::unique_ptr<GifAnimation> animation;  // kind 5 decoded for playing
};

// Decodes the picture; kind kNone when the data is not a picture this reader
// knows or is corrupt. With `animate`, a GIF of more than one frame comes back
// as an animation (kind 5 without pixels); otherwise its first frame.
DecodedImage DecodeImage(const uint8_t* data, size_t length, bool animate);

}  // namespace ui
