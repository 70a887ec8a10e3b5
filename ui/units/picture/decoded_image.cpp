#include "ui/units/picture/decoded_image.h"

#include <cstring>
#include <utility>

#include "ui/units/picture/bmp_reader.h"
#include "ui/units/picture/gif_reader.h"
#include "ui/units/picture/icon_reader.h"
#include "ui/units/picture/jpeg_reader.h"
#include "ui/units/picture/pcx_reader.h"
#include "ui/units/picture/png_reader.h"

namespace ui {

namespace {

constexpr size_t kSignatureBytes = 8;
constexpr uint8_t kPcxManufacturer = 10;
constexpr uint8_t kPcxLastVersion = 5;
constexpr uint8_t kPcxVersionWithoutPalette = 3;
constexpr uint8_t kPcxRunLength = 1;

uint16_t U16At(const uint8_t* bytes) { return static_cast<uint16_t>(bytes[0] | bytes[1] << 8); }

}  // namespace

DecodedImage::DecodedImage(DecodedImage&& other) noexcept
    : kind(std::exchange(other.kind, ImageKind::kNone)),
      width(std::exchange(other.width, 0)),
      height(std::exchange(other.height, 0)),
      icon(std::move(other.icon)),
      pixels(std::move(other.pixels)),
      animation(std::move(other.animation)) {}

DecodedImage& DecodedImage::operator=(DecodedImage&& other) noexcept {
    if (this != &other) {
        kind = std::exchange(other.kind, ImageKind::kNone);
        width = std::exchange(other.width, 0);
        height = std::exchange(other.height, 0);
        icon = std::move(other.icon);
        pixels = std::move(other.pixels);
        animation = std::move(other.animation);
    }
    return *this;
}

ImageKind DetectImageKind(const uint8_t* data, size_t length) {
    if (!data || length < kSignatureBytes) return ImageKind::kNone;
    const uint8_t* b = data;
    if (b[0] == 'B' && b[1] == 'M') return ImageKind::kBmp;
    if (b[0] == 0xFF && b[1] == 0xD8) return ImageKind::kJpeg;
    if (b[0] == 0x89 && b[1] == 'P' && b[2] == 'N' && b[3] == 'G') return ImageKind::kPng;
    if (U16At(b) == 0 && U16At(b + 2) == 1 && U16At(b + 4) > 0) return ImageKind::kIcon;
    if (U16At(b) == 0 && U16At(b + 2) == 2 && U16At(b + 4) > 0) return ImageKind::kCursor;
    if (std::memcmp(b, "GIF8", 4) == 0 && (b[4] == '7' || b[4] == '9') && b[5] == 'a') {
        return ImageKind::kGif;
    }
    if (b[0] == kPcxManufacturer && b[1] <= kPcxLastVersion && b[2] == kPcxRunLength && b[3] == 8) {
        return ImageKind::kPcx8;
    }
    if (b[0] == kPcxManufacturer && b[1] == kPcxVersionWithoutPalette && b[2] == kPcxRunLength &&
        b[3] == 1) {
        return ImageKind::kPcx1;
    }
    return ImageKind::kNone;
}

DecodedImage DecodeImage(const uint8_t* data, size_t length, bool animate) {
    switch (DetectImageKind(data, length)) {
        case ImageKind::kJpeg:
            return DecodeJpeg(data, length);
        case ImageKind::kBmp:
            return DecodeBmp(data, length);
        case ImageKind::kIcon:
        case ImageKind::kCursor:
            return DecodeIcon(data, length);
        case ImageKind::kGif:
            return DecodeGif(data, length, animate);
        case ImageKind::kPcx8:
        case ImageKind::kPcx1:
            return DecodePcx(data, length);
        case ImageKind::kPng:
            return DecodePng(data, length);
        case ImageKind::kNone:
            break;
    }
    return DecodedImage();
}

}  // namespace ui
