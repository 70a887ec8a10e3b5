#include "ui/units/picture/pcx_reader.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "ui/byte_reader.h"
#include "ui/units/picture/indexed_bitmap.h"

namespace ui {

namespace {

constexpr size_t kHeaderSize = 128;
constexpr size_t kPaletteSize = 1 + 256 * 3;  // marker and RGB triples
constexpr uint8_t kPaletteMarker = 0x0C;
constexpr uint8_t kRunFlags = 0xC0;

// The encoded scan lines: a byte with both top bits set repeats the next byte
// as often as its low six bits say. Runs may go on across scan lines.
class RunLengthReader {
  public:
    RunLengthReader(const uint8_t* begin, const uint8_t* end) : next_(begin), end_(end) {}

    // False when the data ends first.
    bool Read(uint8_t* out, size_t count) {
        while (count != 0) {
            if (runLength_ == 0) {
                if (next_ == end_) return false;
                const uint8_t byte = *next_++;
                if ((byte & kRunFlags) != kRunFlags) {
                    runValue_ = byte;
                    runLength_ = 1;
                } else {
                    if (next_ == end_) return false;
                    runValue_ = *next_++;
                    runLength_ = byte & ~kRunFlags;
                    continue;
                }
            }
            const size_t taken = std::min(count, runLength_);
            std::memset(out, runValue_, taken);
            out += taken;
            count -= taken;
            runLength_ -= taken;
        }
        return true;
    }

  private:
    const uint8_t* next_;
    const uint8_t* end_;
    uint8_t runValue_ = 0;
    size_t runLength_ = 0;
};

}  // namespace

DecodedImage DecodePcx(const uint8_t* data, size_t length) {
    DecodedImage image;
    ByteReader reader(data, length);
    reader.Skip(3);  // manufacturer, version, encoding
    const uint8_t* bits = reader.Take(1);
    const uint16_t left = reader.U16(), top = reader.U16();
    const uint16_t right = reader.U16(), bottom = reader.U16();
    reader.Skip(53);  // resolution, 16-colour palette, reserved
    const uint8_t* planes = reader.Take(1);
    const uint16_t bytesPerLine = reader.U16();
    if (!reader.ok() || length < kHeaderSize || *planes != 1 || right < left || bottom < top) {
        return image;
    }
    const uint32_t width = uint32_t{right} - left + 1;
    const uint32_t height = uint32_t{bottom} - top + 1;
    if (!ImageSizeAcceptable(width, height)) return image;

    std::vector<uint8_t> line(bytesPerLine);
    if (*bits == 8) {
        if (bytesPerLine < width || length < kHeaderSize + kPaletteSize ||
            data[length - kPaletteSize] != kPaletteMarker) {
            return image;
        }
        RunLengthReader lines(data + kHeaderSize, data + length - kPaletteSize);
        std::vector<uint8_t> indexes(size_t{width} * height);
        for (uint32_t y = 0; y < height; ++y) {
            if (!lines.Read(line.data(), line.size())) return image;
            std::memcpy(indexes.data() + size_t{width} * y, line.data(), width);
        }
        RGBQUAD palette[256];
        const uint8_t* rgb = data + length - kPaletteSize + 1;
        for (RGBQUAD& entry : palette) {
            entry = RGBQUAD{rgb[2], rgb[1], rgb[0], 0};
            rgb += 3;
        }
        image.pixels = MakeIndexedBitmap(width, height, palette, indexes);
        image.kind = ImageKind::kPcx8;
    } else if (*bits == 1) {
        // Device bitmap rows are padded to 16 bits.
        const size_t stride = (size_t{width} + 15) / 16 * 2;
        if (bytesPerLine < (width + 7) / 8) return image;
        RunLengthReader lines(data + kHeaderSize, data + length);
        image.pixels.resize(stride * height);
        for (uint32_t y = 0; y < height; ++y) {
            if (!lines.Read(line.data(), line.size())) return DecodedImage();
            std::memcpy(image.pixels.data() + stride * y, line.data(),
                        std::min(stride, line.size()));
        }
        image.kind = ImageKind::kPcx1;
    } else {
        return image;
    }
    image.width = static_cast<int32_t>(width);
    image.height = static_cast<int32_t>(height);
    return image;
}

}  // namespace ui
