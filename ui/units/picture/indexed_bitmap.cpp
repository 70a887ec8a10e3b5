#include "ui/units/picture/indexed_bitmap.h"

#include <cstring>

namespace ui {

std::vector<uint8_t> MakeIndexedBitmap(uint32_t width, uint32_t height,
                                       const RGBQUAD (&palette)[256],
                                       const std::vector<uint8_t>& indexes) {
    const size_t stride = (size_t{width} + 3) & ~size_t{3};
    std::vector<uint8_t> bitmap(kIndexedHeaderSize + stride * height);

    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = static_cast<LONG>(width);
    header.biHeight = static_cast<LONG>(height);
    header.biPlanes = 1;
    header.biBitCount = 8;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(stride * height);
    header.biClrUsed = 256;
    std::memcpy(bitmap.data(), &header, sizeof header);
    std::memcpy(bitmap.data() + sizeof header, palette, sizeof palette);

    uint8_t* rows = bitmap.data() + kIndexedHeaderSize;
    for (uint32_t y = 0; y < height; ++y) {
        std::memcpy(rows + stride * (height - 1 - y), indexes.data() + size_t{width} * y, width);
    }
    return bitmap;
}

}  // namespace ui
