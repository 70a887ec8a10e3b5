#include "ui/units/picture/bmp_reader.h"

#include <cstring>

#include "ui/byte_reader.h"
#include "ui/units/picture/indexed_bitmap.h"

namespace ui {

namespace {

constexpr uint16_t kSignature = 0x4D42;  // "BM"
constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;

uint64_t Magnitude(int32_t value) {
    return value < 0 ? uint64_t{0} - static_cast<int64_t>(value) : static_cast<uint64_t>(value);
}

bool SupportedBitCount(uint16_t bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32;
}

}  // namespace

DecodedImage DecodeBmp(const uint8_t* data, size_t length) {
    DecodedImage image;
    ByteReader reader(data, length);
    const uint16_t signature = reader.U16();
    reader.Skip(8);  // file size, reserved words
    const uint32_t pixelOffset = reader.U32();
    const uint32_t headerSize = reader.U32();
    const uint64_t width = Magnitude(reader.I32());
    const uint64_t height = Magnitude(reader.I32());
    reader.Skip(2);  // planes
    const uint16_t bitCount = reader.U16();
    const uint32_t compression = reader.U32();
    reader.Skip(12);  // image size, resolution
    const uint32_t colorsUsed = reader.U32();
    if (!reader.Skip(4) || signature != kSignature || headerSize < kInfoHeaderSize ||
        compression != BI_RGB || !SupportedBitCount(bitCount) ||
        !ImageSizeAcceptable(width, height)) {
        return image;
    }

    // Indexes beyond a short table show black.
    RGBQUAD palette[256] = {};
    if (bitCount <= 8) {
        const uint64_t tableSize = colorsUsed != 0 ? colorsUsed : uint64_t{1} << bitCount;
        const uint64_t entries = tableSize < (1u << bitCount) ? tableSize : (1u << bitCount);
        const uint64_t tableOffset = kFileHeaderSize + uint64_t{headerSize};
        if (tableOffset > length || entries * sizeof(RGBQUAD) > length - tableOffset) return image;
        std::memcpy(palette, data + tableOffset, entries * sizeof(RGBQUAD));
    }

    const uint64_t stride = (width * bitCount + 31) / 32 * 4;
    if (pixelOffset > length || stride * height > length - pixelOffset) return image;

    image.pixels.resize(width * height * 3);
    const uint8_t* source = data + pixelOffset;
    uint8_t* out = image.pixels.data();
    for (uint64_t y = 0; y < height; ++y, source += stride) {
        for (uint64_t x = 0; x < width; ++x, out += 3) {
            if (bitCount >= 24) {
                std::memcpy(out, source + x * (bitCount / 8), 3);
                continue;
            }
            const uint64_t bit = x * bitCount;
            const unsigned shift = 8 - bitCount - bit % 8;
            const uint8_t index = (source[bit / 8] >> shift) & ((1u << bitCount) - 1);
            out[0] = palette[index].rgbBlue;
            out[1] = palette[index].rgbGreen;
            out[2] = palette[index].rgbRed;
        }
    }
    image.kind = ImageKind::kBmp;
    image.width = static_cast<int32_t>(width);
    image.height = static_cast<int32_t>(height);
    return image;
}

}  // namespace ui
