// Size limits shared by the image readers, and the 8-bit device-independent
// bitmap layout that GIF stills and 8-bit PCX pictures are kept in.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace ui {

// Declared sizes are checked against this before anything is allocated, so a
// few corrupt header bytes cannot ask for gigabytes.
constexpr uint64_t kMaxImagePixels = uint64_t{64} << 20;

// Non-zero and within kMaxImagePixels.
bool ImageSizeAcceptable(uint64_t width, uint64_t height);

constexpr size_t kIndexedHeaderSize = sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD);

// BITMAPINFOHEADER, 256 RGBQUADs, then the rows bottom-up, each padded to 4
// bytes. `indexes` holds width * height palette indexes, rows top-down.
std::vector<uint8_t> MakeIndexedBitmap(uint32_t width, uint32_t height,
                                       const RGBQUAD (&palette)[256],
                                       const std::vector<uint8_t>& indexes);

}  // namespace ui
