// Placement by display mode and the device bitmaps made from decoded pixels,
// checked pixel by pixel through GetDIBits.
#include "ui/units/picture/picture_drawing.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "tests/ui/units/picture/image_references.h"

namespace {

using ui::DecodedImage;
using ui::ImageKind;

struct Rect {
    LONG left, top, right, bottom;
    bool operator==(const Rect& other) const {
        return left == other.left && top == other.top && right == other.right &&
               bottom == other.bottom;
    }
};

std::ostream& operator<<(std::ostream& out, const Rect& r) {
    return out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

Rect Place(uint32_t mode, int32_t clientWidth, int32_t clientHeight, int32_t width,
           int32_t height) {
    const RECT r = ui::PlacePicture(mode, clientWidth, clientHeight, width, height);
    return {r.left, r.top, r.right, r.bottom};
}

// A bitmap's pixels as 0x00RRGGBB words, rows top-down.
std::vector<uint32_t> PixelsOf(HBITMAP bitmap, int width, int height) {
    BITMAPINFO info = image_test::TopDown32(width, height);
    std::vector<uint32_t> pixels(size_t(width) * height, 0xDEADBEEF);
    HDC screen = ::GetDC(nullptr);
    const int rows = ::GetDIBits(screen, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    EXPECT_EQ(height, rows);
    for (uint32_t& pixel : pixels) pixel &= 0xFFFFFF;
    return pixels;
}

uint32_t Pixel(COLORREF colour) {
    return uint32_t{GetRValue(colour)} << 16 | uint32_t{GetGValue(colour)} << 8 | GetBValue(colour);
}

// What the blend rule gives for one channel.
int Blended(int alpha, int pixel, int background) {
    return static_cast<int>(alpha / 255.0 * pixel + (1 - alpha / 255.0) * background);
}

DecodedImage PngImage(int32_t width, int32_t height, std::vector<uint8_t> bgra) {
    DecodedImage image;
    image.kind = ImageKind::kPng;
    image.width = width;
    image.height = height;
    image.pixels = std::move(bgra);
    return image;
}

TEST(PlacePictureTest, OwnSizeAndStretchedIgnoreProportions) {
    EXPECT_EQ((Rect{0, 0, 300, 20}), Place(0, 100, 50, 300, 20));
    EXPECT_EQ((Rect{0, 0, 100, 50}), Place(1, 100, 50, 300, 20));
    EXPECT_EQ((Rect{0, 0, 100, 50}), Place(1, 100, 50, 3, 2));
    EXPECT_EQ((Rect{}), Place(2, 100, 50, 0, 20));
}

TEST(PlacePictureTest, FittedSmallerPictureIsCentredUnscaled) {
    EXPECT_EQ((Rect{40, 20, 60, 30}), Place(2, 100, 50, 20, 10));
    // Odd remainders round towards the top-left corner.
    EXPECT_EQ((Rect{1, 1, 4, 4}), Place(2, 6, 6, 3, 3));
    EXPECT_EQ((Rect{0, 0, 100, 50}), Place(2, 100, 50, 100, 50));
}

TEST(PlacePictureTest, FittedWiderPictureTakesTheBoxWidthAndIsCentredVertically) {
    // 200 x 50 in 100 x 100: factor 0.5, drawn 100 x 25.
    EXPECT_EQ((Rect{0, 37, 100, 62}), Place(2, 100, 100, 200, 50));
    // Taller only: the height decides.
    EXPECT_EQ((Rect{40, 0, 60, 50}), Place(2, 100, 50, 40, 100));
}

TEST(PlacePictureTest, FittedLargerPictureUsesTheSmallerFactor) {
    // 400 x 100 in 100 x 50: min(50/100, 100/400) = 0.25, drawn 100 x 25.
    EXPECT_EQ((Rect{0, 12, 100, 37}), Place(2, 100, 50, 400, 100));
    // 300 x 300 in 100 x 50: min(50/300, 100/300), drawn 50 x 50.
    EXPECT_EQ((Rect{25, 0, 75, 50}), Place(2, 100, 50, 300, 300));
    // 567 x 232 in 200 x 100: factor 100/232, drawn 244 x 100 would not fit;
    // the width factor 200/567 is smaller: 200 x 81.
    EXPECT_EQ((Rect{0, 9, 200, 90}), Place(2, 200, 100, 567, 232));
}

TEST(BlendOverBackgroundTest, PairsRedWithTheLowByteAndLeavesOpaquePixels) {
    std::vector<uint8_t> pixels = {
        200, 100, 0,   0,    // transparent: the background itself
        1,   2,   3,   255,  // opaque: unchanged
        0,   128, 255, 128,  // half: per-channel blend
    };
    ui::BlendOverBackground(pixels.data(), 3, RGB(10, 20, 30));
    EXPECT_EQ((std::vector<uint8_t>{30, 20, 10, 0, 1, 2, 3, 255,
                                    static_cast<uint8_t>(Blended(128, 0, 30)),
                                    static_cast<uint8_t>(Blended(128, 128, 20)),
                                    static_cast<uint8_t>(Blended(128, 255, 10)), 128}),
              pixels);
}

TEST(CreatePictureBitmapTest, PngPixelsAreBlendedOverTheBackgroundTopDown) {
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    // Row 0: opaque red, half-transparent blue; row 1: transparent, opaque green.
    DecodedImage image = PngImage(2, 2,
                                  {0, 0, 255, 255, 255, 0, 0, 100,  //
                                   9, 9, 9, 0, 0, 255, 0, 255});
    ui::UniqueBitmap bitmap = ui::CreatePictureBitmap(image, face);
    ASSERT_TRUE(bitmap);
    const std::vector<uint32_t> pixels = PixelsOf(bitmap.get(), 2, 2);
    const uint32_t halfBlue = uint32_t(Blended(100, 0, GetRValue(face))) << 16 |
                              uint32_t(Blended(100, 0, GetGValue(face))) << 8 |
                              uint32_t(Blended(100, 255, GetBValue(face)));
    EXPECT_EQ(0xFF0000u, pixels[0]);
    EXPECT_EQ(halfBlue, pixels[1]);
    EXPECT_EQ(Pixel(face), pixels[2]);
    EXPECT_EQ(0x00FF00u, pixels[3]);
    // The decoded pixels themselves stay as they were.
    EXPECT_EQ(100, image.pixels[7]);
}

TEST(CreatePictureBitmapTest, RgbRowsAreBottomUpWithoutPadding) {
    DecodedImage image;
    image.kind = ImageKind::kJpeg;
    image.width = 3;
    image.height = 2;
    // Bottom row first, 9 bytes a row: the bitmap pads each row to 12.
    image.pixels = {0, 0, 255, 0,   255, 0,   255, 0,   0,  // bottom: red, green, blue
                    0, 0, 0,   128, 128, 128, 255, 255, 255};
    ui::UniqueBitmap bitmap = ui::CreatePictureBitmap(image, 0);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ((std::vector<uint32_t>{0x000000, 0x808080, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF}),
              PixelsOf(bitmap.get(), 3, 2));

    image.kind = ImageKind::kBmp;
    image.pixels.pop_back();
    EXPECT_FALSE(ui::CreatePictureBitmap(image, 0));
}

TEST(CreatePictureBitmapTest, PaletteKindsUseTheStoredHeaderAndColourTable) {
    DecodedImage image;
    image.kind = ImageKind::kPcx8;
    image.width = 2;
    image.height = 2;
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = 2;
    header.biHeight = 2;
    header.biPlanes = 1;
    header.biBitCount = 8;
    image.pixels.resize(1064 + 2 * 4);
    std::memcpy(image.pixels.data(), &header, sizeof header);
    auto* palette = reinterpret_cast<RGBQUAD*>(image.pixels.data() + sizeof header);
    palette[1] = RGBQUAD{0, 0, 255, 0};               // red
    palette[7] = RGBQUAD{255, 0, 0, 0};               // blue
    const uint8_t rows[] = {1, 7, 0, 0, 7, 1, 0, 0};  // bottom-up, padded to 4
    std::memcpy(image.pixels.data() + 1064, rows, sizeof rows);
    ui::UniqueBitmap bitmap = ui::CreatePictureBitmap(image, 0);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ((std::vector<uint32_t>{0x0000FF, 0xFF0000, 0xFF0000, 0x0000FF}),
              PixelsOf(bitmap.get(), 2, 2));

    image.kind = ImageKind::kGif;
    EXPECT_TRUE(ui::CreatePictureBitmap(image, 0));
    image.width = 3;  // the header disagrees
    EXPECT_FALSE(ui::CreatePictureBitmap(image, 0));
}

TEST(CreatePictureBitmapTest, MonochromeRowsArePaddedToTwoBytes) {
    DecodedImage image;
    image.kind = ImageKind::kPcx1;
    image.width = 9;
    image.height = 2;
    image.pixels = {0x80, 0x80, 0x7F, 0x00};  // row 0: pixels 0 and 8 set; row 1: 1 to 7
    ui::UniqueBitmap bitmap = ui::CreatePictureBitmap(image, 0);
    ASSERT_TRUE(bitmap);
    const std::vector<uint32_t> pixels = PixelsOf(bitmap.get(), 9, 2);
    EXPECT_EQ(0xFFFFFFu, pixels[0]);
    EXPECT_EQ(0x000000u, pixels[1]);
    EXPECT_EQ(0xFFFFFFu, pixels[8]);
    EXPECT_EQ(0x000000u, pixels[9]);
    EXPECT_EQ(0xFFFFFFu, pixels[10]);
    EXPECT_EQ(0x000000u, pixels[17]);

    image.pixels.pop_back();
    EXPECT_FALSE(ui::CreatePictureBitmap(image, 0));
}

TEST(CreatePictureBitmapTest, KindsWithoutPixelsGiveNoBitmap) {
    DecodedImage image = PngImage(2, 2, std::vector<uint8_t>(15));
    EXPECT_FALSE(ui::CreatePictureBitmap(image, 0));
    image.kind = ImageKind::kNone;
    image.pixels.resize(16);
    EXPECT_FALSE(ui::CreatePictureBitmap(image, 0));
    image.kind = ImageKind::kGif;  // an animation keeps no pixels
    image.pixels.clear();
    EXPECT_FALSE(ui::CreatePictureBitmap(image, 0));
}

TEST(DrawPictureTest, FittedPictureLandsCentredInTheClientArea) {
    constexpr int kWidth = 20, kHeight = 10;
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    ::ReleaseDC(nullptr, screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, kWidth, -kHeight, 1, 32, BI_RGB};
    void* bits = nullptr;
    HBITMAP target = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::fill_n(static_cast<uint32_t*>(bits), kWidth * kHeight, 0x123456u);
    HGDIOBJ previous = ::SelectObject(dc, target);

    // A 4 x 2 opaque white picture over the grey it was given: unscaled, centred.
    const DecodedImage image = PngImage(4, 2, std::vector<uint8_t>(4 * 2 * 4, 255));
    ui::DrawPicture(dc, image, ui::display_mode::kFitted, RECT{0, 0, kWidth, kHeight}, 0);
    ::GdiFlush();
    const auto* pixels = static_cast<const uint32_t*>(bits);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const bool inside = x >= 8 && x < 12 && y >= 4 && y < 6;
            EXPECT_EQ(inside ? 0xFFFFFFu : 0x123456u, pixels[y * kWidth + x] & 0xFFFFFF)
                << "at " << x << "," << y;
        }
    }
    ::SelectObject(dc, previous);
    ::DeleteObject(target);
    ::DeleteDC(dc);
}

TEST(DrawPictureTest, StretchModeFollowsTheDisplayDepth) {
    DEVMODEA display{};
    display.dmSize = sizeof display;
    ASSERT_TRUE(::EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &display));
    HDC dc = ::CreateCompatibleDC(nullptr);
    ui::SetPictureStretchMode(dc);
    EXPECT_EQ(display.dmBitsPerPel > 16 ? HALFTONE : COLORONCOLOR, ::GetStretchBltMode(dc))
        << display.dmBitsPerPel << " bits per pixel";
    ::DeleteDC(dc);
}

}  // namespace
