#include "ui/units/picture/png_reader.h"

#include <png.h>

#include "ui/units/picture/indexed_bitmap.h"

namespace ui {

namespace {

constexpr size_t kShortestPng = 8;

// png_image_free may run any number of times: it clears what it released.
class PngImage {
  public:
    PngImage() { image_.version = PNG_IMAGE_VERSION; }
    ~PngImage() { ::png_image_free(&image_); }
    PngImage(const PngImage&) = delete;
    PngImage& operator=(const PngImage&) = delete;

    png_image* get() { return &image_; }

  private:
    png_image image_{};
};

}  // namespace

DecodedImage DecodePng(const uint8_t* data, size_t length) {
    DecodedImage result;
    if (length < kShortestPng) return result;
    PngImage png;
    png_image* image = png.get();
    if (!::png_image_begin_read_from_memory(image, data, length) ||
        !ImageSizeAcceptable(image->width, image->height)) {
        return result;
    }
    image->format = PNG_FORMAT_BGRA;
    result.pixels.resize(PNG_IMAGE_SIZE(*image));
    if (!::png_image_finish_read(image, nullptr, result.pixels.data(), 0, nullptr)) {
        return DecodedImage();
    }
    result.kind = ImageKind::kPng;
    result.width = static_cast<int32_t>(image->width);
    result.height = static_cast<int32_t>(image->height);
    return result;
}

}  // namespace ui
