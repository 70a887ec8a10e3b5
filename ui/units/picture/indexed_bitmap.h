// Size limits shared by the image readers, and the 8-bit device-independent
// bitmap layout that GIF stills and 8-bit PCX pictures are kept in.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "ui/image_limits.h"

namespace ui {

constexpr size_t kIndexedHeaderSize = sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD);

// BITMAPINFOHEADER, 256 RGBQUADs, then the rows bottom-up, each padded to 4
// bytes. `indexes` holds width * height palette indexes, rows top-down.
std::vector<uint8_t> MakeIndexedBitmap(uint32_t width, uint32_t height,
                                       const RGBQUAD (&palette)[256],
                                       const std::vector<uint8_t>& indexes);

}  // namespace ui
