// The icon and cursor reader: every entry drawn as ImageMagick decodes it, and the entry chosen.
#include "ui/units/picture/decoded_image.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/ui/units/picture/image_references.h"

namespace {

using image_test::Check;
using image_test::ChecksOf;
using image_test::Decode;
using image_test::ExpectAllLikeReference;
using image_test::Kind;
using image_test::ReadImageFile;
using ui::ImageKind;

// Draws the icon over `background` into 32-bit B, G, R, X rows top-down.
std::vector<uint8_t> DrawIcon(HICON icon, int32_t width, int32_t height, COLORREF background) {
    const BITMAPINFO info = image_test::TopDown32(width, height);
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ previous = ::SelectObject(dc, bitmap);
    HBRUSH brush = ::CreateSolidBrush(background);
    const RECT all{0, 0, width, height};
    ::FillRect(dc, &all, brush);
    ::DrawIconEx(dc, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
    ::GdiFlush();
    std::vector<uint8_t> pixels(static_cast<uint8_t*>(bits),
                                static_cast<uint8_t*>(bits) + size_t(width) * height * 4);
    ::SelectObject(dc, previous);
    ::DeleteObject(brush);
    ::DeleteDC(dc);
    ::DeleteObject(bitmap);
    return pixels;
}

TEST(ImageDecoder, IconsAndCursorsDrawTheirChosenEntryAsImageMagickDecodesIt) {
    const COLORREF background = RGB(0x12, 0x80, 0xF0);
    const uint8_t under[3] = {GetRValue(background), GetGValue(background), GetBValue(background)};
    uint32_t largestBlended = 0;
    size_t blended = 0;
    const std::vector<Check> checks = ChecksOf({"icon", "cursor"});
    ASSERT_LT(0u, checks.size());
    for (const Check& check : checks) {
        SCOPED_TRACE(check.words[0]);
        const ui::DecodedImage image = Decode(ReadImageFile(check.words[0]));
        ASSERT_EQ(Kind(check.type == "icon" ? ImageKind::kIcon : ImageKind::kCursor),
                  Kind(image.kind));
        ASSERT_TRUE(image.icon);
        EXPECT_TRUE(image.pixels.empty());
        EXPECT_EQ(check.Number(2), image.width);
        EXPECT_EQ(check.Number(3), image.height);
        const std::vector<uint8_t> drawn =
            DrawIcon(image.icon.get(), image.width, image.height, background);
        const std::vector<uint8_t> reference = ReadImageFile(check.words[1]);
        ASSERT_EQ(reference.size(), drawn.size());
        uint32_t largestWhole = 0;
        size_t firstWrong = 0;
        for (size_t p = 0; p * 4 < drawn.size(); ++p) {
            const uint8_t* ref = reference.data() + p * 4;
            const uint8_t* bgr = drawn.data() + p * 4;
            const uint8_t actual[3] = {bgr[2], bgr[1], bgr[0]};
            const bool whole = ref[3] == 0 || ref[3] == 255;
            blended += !whole;
            for (int c = 0; c < 3; ++c) {
                const int expected = (ref[c] * ref[3] + under[c] * (255 - ref[3]) + 127) / 255;
                const uint32_t d = uint32_t(std::abs(actual[c] - expected));
                if (whole && d > largestWhole) firstWrong = p;
                uint32_t& largest = whole ? largestWhole : largestBlended;
                largest = std::max(largest, d);
            }
        }
        EXPECT_EQ(0u, largestWhole) << "first at pixel " << firstWrong;
    }
    // Partly transparent pixels are blended by the system's DrawIconEx.
    EXPECT_GE(2u, largestBlended);
    std::printf("%u icons and cursors drawn; %u partly transparent pixels within %u\n",
                unsigned(checks.size()), unsigned(blended), unsigned(largestBlended));
}

// ICO directory entries are 16 bytes from offset 6; their image offsets stay
// valid when only the entries are reordered.
std::vector<uint8_t> WithEntries(const std::vector<uint8_t>& icon, const std::vector<int>& order) {
    std::vector<uint8_t> result(icon);
    result[4] = uint8_t(order.size());
    for (size_t k = 0; k < order.size(); ++k) {
        std::memcpy(result.data() + 6 + 16 * k, icon.data() + 6 + 16 * order[k], 16);
    }
    return result;
}

int32_t ChosenWidth(const std::vector<uint8_t>& icon) { return Decode(icon).width; }

TEST(ImageDecoder, IconChoiceTakesTheFirst32WideEntryOfSixteenColoursOrElseTheLast) {
    // Entries 0, 1, 2: 16 pixels of 2 colours, 32 of 16, 48 of 256 (count 0).
    const std::vector<uint8_t> icon = ReadImageFile("made/netpbm-sizes.ico");
    ASSERT_LT(6u + 48, icon.size());
    ASSERT_EQ(16, icon[6 + 16 * 1 + 2]);
    EXPECT_EQ(32, ChosenWidth(WithEntries(icon, {2, 1, 0})));
    EXPECT_EQ(32, ChosenWidth(WithEntries(icon, {1, 2})));
    EXPECT_EQ(48, ChosenWidth(WithEntries(icon, {0, 2})));
    EXPECT_EQ(16, ChosenWidth(WithEntries(icon, {2, 0})));

    std::vector<uint8_t> fifteen = WithEntries(icon, {1, 0});
    fifteen[6 + 2] = 15;
    EXPECT_EQ(16, ChosenWidth(fifteen));
    // A directory that names more entries than it holds is no picture.
    std::vector<uint8_t> short_directory = WithEntries(icon, {0, 1, 2});
    short_directory.resize(6 + 16 * 2 + 8);
    short_directory[4] = 3;
    EXPECT_EQ(Kind(ImageKind::kNone), Kind(Decode(short_directory).kind));
}

}  // namespace
