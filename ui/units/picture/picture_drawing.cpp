#include "ui/units/picture/picture_drawing.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace ui {

namespace {

// A still GIF frame or 8-bit PCX: the header, 256 palette entries, then rows.
constexpr size_t kPaletteHeaderSize = sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD);
static_assert(kPaletteHeaderSize == 1064, "8-bit pictures start with 1,064 header bytes");

// Rows of `bits` bits per pixel padded to `alignBytes`.
uint64_t RowBytes(int32_t width, uint32_t bits, uint32_t alignBytes) {
    const uint64_t alignBits = uint64_t{alignBytes} * 8;
    return (uint64_t(width) * bits + alignBits - 1) / alignBits * alignBytes;
}

bool HasPixels(const DecodedImage& image, uint64_t needed) {
    return image.width > 0 && image.height > 0 && image.pixels.size() >= needed;
}

BITMAPINFOHEADER DibHeader(int32_t width, int32_t height, WORD bitCount) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = bitCount;
    header.biCompression = BI_RGB;
    return header;
}

UniqueBitmap CreateSection(const BITMAPINFOHEADER& header, uint8_t** bits) {
    BITMAPINFO info{};
    info.bmiHeader = header;
    void* section = nullptr;
    UniqueBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &section, nullptr, 0));
    *bits = static_cast<uint8_t*>(section);
    return bitmap;
}

// Kinds 1 and 2: bottom-up B, G, R rows without padding.
UniqueBitmap CreateRgbBitmap(const DecodedImage& image) {
    const uint64_t packed = uint64_t(image.width) * 3;
    if (!HasPixels(image, packed * uint64_t(image.height))) return UniqueBitmap();
    uint8_t* bits = nullptr;
    UniqueBitmap bitmap = CreateSection(DibHeader(image.width, image.height, 24), &bits);
    if (!bitmap) return bitmap;
    const uint64_t padded = RowBytes(image.width, 24, 4);
    for (int32_t row = 0; row < image.height; ++row) {
        std::memcpy(bits + padded * row, image.pixels.data() + packed * row, packed);
    }
    return bitmap;
}

// Kinds 5 and 6: the stored header and palette describe the rows after them.
UniqueBitmap CreatePaletteBitmap(const DecodedImage& image) {
    if (!HasPixels(image, kPaletteHeaderSize)) return UniqueBitmap();
    BITMAPINFOHEADER header;
    std::memcpy(&header, image.pixels.data(), sizeof header);
    if (header.biBitCount != 8 || header.biWidth != image.width ||
        std::abs(header.biHeight) != image.height ||
        !HasPixels(image, kPaletteHeaderSize + RowBytes(image.width, 8, 4) * image.height)) {
        return UniqueBitmap();
    }
    const auto* info = reinterpret_cast<const BITMAPINFO*>(image.pixels.data());
    const UniqueWindowDC screen = DCOfWindow(nullptr);
    return UniqueBitmap(::CreateDIBitmap(screen.get().dc, &header, CBM_INIT,
                                         image.pixels.data() + kPaletteHeaderSize, info,
                                         DIB_RGB_COLORS));
}

// Kind 7: rows of a one-plane, one-bit device bitmap, padded to 2 bytes.
UniqueBitmap CreateMonochromeBitmap(const DecodedImage& image) {
    if (!HasPixels(image, RowBytes(image.width, 1, 2) * image.height)) return UniqueBitmap();
    return UniqueBitmap(::CreateBitmap(image.width, image.height, 1, 1, image.pixels.data()));
}

// Kind 8: top-down B, G, R, A rows, blended where not opaque.
UniqueBitmap CreateAlphaBitmap(const DecodedImage& image, COLORREF background) {
    const uint64_t size = uint64_t(image.width) * 4 * uint64_t(image.height);
    if (!HasPixels(image, size)) return UniqueBitmap();
    uint8_t* bits = nullptr;
    UniqueBitmap bitmap = CreateSection(DibHeader(image.width, -image.height, 32), &bits);
    if (!bitmap) return bitmap;
    std::memcpy(bits, image.pixels.data(), size);
    BlendOverBackground(bits, size / 4, background);
    return bitmap;
}

uint8_t Blend(uint8_t alpha, uint8_t pixel, uint8_t background) {
    const double share = alpha / 255.0;
    const auto value = static_cast<int>(share * pixel + (1.0 - share) * background);
    return static_cast<uint8_t>(std::clamp(value, 0, 255));
}

}  // namespace

RECT PlacePicture(uint32_t displayMode, int32_t clientWidth, int32_t clientHeight,
                  int32_t pictureWidth, int32_t pictureHeight) {
    if (pictureWidth <= 0 || pictureHeight <= 0) return RECT{};
    if (displayMode == display_mode::kOwnSize) return RECT{0, 0, pictureWidth, pictureHeight};
    if (displayMode == display_mode::kStretched) return RECT{0, 0, clientWidth, clientHeight};

    const int32_t availableWidth = std::min(clientWidth, pictureWidth);
    const int32_t availableHeight = std::min(clientHeight, pictureHeight);
    const int32_t left = (clientWidth - availableWidth) / 2;
    const int32_t top = (clientHeight - availableHeight) / 2;
    if (pictureWidth <= clientWidth && pictureHeight <= clientHeight) {
        return RECT{left, top, left + pictureWidth, top + pictureHeight};
    }
    const double factor =
        std::min(double(availableHeight) / pictureHeight, double(availableWidth) / pictureWidth);
    const auto width = static_cast<int32_t>(pictureWidth * factor);
    const auto height = static_cast<int32_t>(pictureHeight * factor);
    const int32_t drawnLeft = left + (availableWidth - width) / 2;
    const int32_t drawnTop = top + (availableHeight - height) / 2;
    return RECT{drawnLeft, drawnTop, drawnLeft + width, drawnTop + height};
}

void BlendOverBackground(uint8_t* pixels, size_t pixelCount, COLORREF background) {
    const uint8_t red = GetRValue(background);
    const uint8_t green = GetGValue(background);
    const uint8_t blue = GetBValue(background);
    for (uint8_t* pixel = pixels; pixel < pixels + pixelCount * 4; pixel += 4) {
        const uint8_t alpha = pixel[3];
        if (alpha == 255) continue;
        pixel[0] = Blend(alpha, pixel[0], blue);
        pixel[1] = Blend(alpha, pixel[1], green);
        pixel[2] = Blend(alpha, pixel[2], red);
    }
}

UniqueBitmap CreatePictureBitmap(const DecodedImage& image, COLORREF background) {
    switch (image.kind) {
        case ImageKind::kJpeg:
        case ImageKind::kBmp:
            return CreateRgbBitmap(image);
        case ImageKind::kGif:
        case ImageKind::kPcx8:
            return CreatePaletteBitmap(image);
        case ImageKind::kPcx1:
            return CreateMonochromeBitmap(image);
        case ImageKind::kPng:
            return CreateAlphaBitmap(image, background);
        default:
            return UniqueBitmap();
    }
}

void SetPictureStretchMode(HDC dc) {
    DEVMODEA display{};
    display.dmSize = sizeof display;
    const bool deep = ::EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &display) &&
                      display.dmBitsPerPel > 16;
    ::SetStretchBltMode(dc, deep ? HALFTONE : COLORONCOLOR);
    // HALFTONE needs the brush origin set again after the mode changes.
    if (deep) ::SetBrushOrgEx(dc, 0, 0, nullptr);
}

void DrawPicture(HDC dc, const DecodedImage& image, uint32_t displayMode, const RECT& client,
                 COLORREF background) {
    RECT place = PlacePicture(displayMode, client.right - client.left, client.bottom - client.top,
                              image.width, image.height);
    ::OffsetRect(&place, client.left, client.top);
    const int width = place.right - place.left;
    const int height = place.bottom - place.top;
    if (width <= 0 || height <= 0) return;
    if (image.icon) {
        ::DrawIconEx(dc, place.left, place.top, image.icon.get(), width, height, 0, nullptr,
                     DI_NORMAL);
        return;
    }
    UniqueBitmap bitmap = CreatePictureBitmap(image, background);
    if (!bitmap) return;
    const UniqueMemoryDC source(::CreateCompatibleDC(dc));
    ScopedSelect select(source.get(), bitmap.get());
    SetPictureStretchMode(dc);
    ::StretchBlt(dc, place.left, place.top, width, height, source.get(), 0, 0, image.width,
                 image.height, SRCCOPY);
}

}  // namespace ui
