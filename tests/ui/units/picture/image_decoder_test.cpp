// The picture readers against files written by other programs, compared pixel
// for pixel with ImageMagick's (1-bit PCX: netpbm's) decoding of the same
// files, and against damaged and hand-made inputs.
#include "ui/units/picture/decoded_image.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tests/ui/units/picture/image_references.h"

namespace {

using image_test::Check;
using image_test::ReadImageFile;
using ui::ImageKind;

uint32_t Kind(ImageKind kind) { return static_cast<uint32_t>(kind); }

ui::DecodedImage Decode(const std::vector<uint8_t>& bytes, bool animate = false) {
    return ui::DecodeImage(bytes.data(), bytes.size(), animate);
}

std::vector<Check> ChecksOf(const std::set<std::string>& types) {
    std::vector<Check> checks;
    for (const Check& check : image_test::ReadManifest()) {
        if (types.count(check.type)) checks.push_back(check);
    }
    return checks;
}

// Checks of the form: type FILE REFERENCE WIDTH HEIGHT TOLERANCE. Returns the
// largest difference seen.
uint32_t ExpectLikeReference(const Check& check, ImageKind kind, bool withAlpha) {
    SCOPED_TRACE(check.words[0]);
    const ui::DecodedImage image = Decode(ReadImageFile(check.words[0]));
    EXPECT_EQ(Kind(kind), Kind(image.kind));
    EXPECT_EQ(check.Number(2), image.width);
    EXPECT_EQ(check.Number(3), image.height);
    const std::vector<uint8_t> actual = image_test::ToRgba(image);
    const std::vector<uint8_t> expected = ReadImageFile(check.words[1]);
    EXPECT_EQ(expected.size(), actual.size());
    const image_test::Difference difference =
        image_test::Compare(actual, expected, withAlpha, check.Number(4));
    EXPECT_EQ(0u, difference.pixelsOver)
        << "largest difference " << difference.largest << " first at pixel "
        << difference.firstPixel << ", tolerance " << check.Number(4);
    return difference.largest;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

void ExpectNoPicture(const Check& check) {
    const ui::DecodedImage image = Decode(ReadImageFile(check.words[0]));
    EXPECT_EQ(Kind(ImageKind::kNone), Kind(image.kind)) << check.words[0];
}

// Runs the reference checks of the given types and the refusals among the
// files named by `suffix`.
void ExpectAllLikeReference(const std::map<std::string, ImageKind>& kinds, bool withAlpha,
                            const std::string& suffix) {
    std::set<std::string> types{"none"};
    for (const auto& entry : kinds) types.insert(entry.first);
    size_t compared = 0, refused = 0;
    std::map<uint32_t, std::pair<size_t, uint32_t>> byTolerance;  // pictures, largest difference
    uint32_t largest = 0;
    for (const Check& check : ChecksOf(types)) {
        if (check.type == "none") {
            if (EndsWith(check.words[0], suffix)) {
                ExpectNoPicture(check);
                ++refused;
            }
            continue;
        }
        const uint32_t difference = ExpectLikeReference(check, kinds.at(check.type), withAlpha);
        largest = std::max(largest, difference);
        auto& group = byTolerance[check.Number(4)];
        ++group.first;
        group.second = std::max(group.second, difference);
        ++compared;
    }
    ASSERT_LT(0u, compared) << "no reference pictures in " << image_test::ImagesDirectory();
    std::printf("%s: %u pictures compared, largest difference %u; %u refused as expected\n",
                suffix.c_str(), unsigned(compared), unsigned(largest), unsigned(refused));
    for (const auto& entry : byTolerance) {
        std::printf("  %u with tolerance %u, largest difference %u\n", unsigned(entry.second.first),
                    entry.first, entry.second.second);
    }
}

TEST(ImageDecoder, PngSuitesDecodeAsImageMagickWithLibpngsGammaChange) {
    ExpectAllLikeReference({{"png", ImageKind::kPng}}, true, ".png");

    // libpng's own defect: interlaced 16-bit pictures come out wrong at 8 bits.
    for (const Check& check : ChecksOf({"png-interlaced-16"})) {
        const ui::DecodedImage image = Decode(ReadImageFile(check.words[0]));
        EXPECT_EQ(Kind(ImageKind::kPng), Kind(image.kind)) << check.words[0];
        EXPECT_EQ(check.Number(2), image.width);
        EXPECT_EQ(check.Number(3), image.height);
        const image_test::Difference difference = image_test::Compare(
            image_test::ToRgba(image), ReadImageFile(check.words[1]), true, check.Number(4));
        std::printf("  %s: %u of %d pixels differ, by up to %u (libpng)\n", check.words[0].c_str(),
                    unsigned(difference.pixelsOver), check.Number(2) * check.Number(3),
                    unsigned(difference.largest));
    }
}

TEST(ImageDecoder, JpegTestImagesDecodeAsImageMagick) {
    ExpectAllLikeReference({{"jpeg", ImageKind::kJpeg}}, false, ".jpg");
}

TEST(ImageDecoder, BmpOfEveryBitDepthAndHeaderSizeDecodesAsImageMagick) {
    ExpectAllLikeReference({{"bmp", ImageKind::kBmp}}, false, ".bmp");
}

TEST(ImageDecoder, PcxOfEightAndOneBitDecodesAsTheReference) {
    ExpectAllLikeReference({{"pcx8", ImageKind::kPcx8}, {"pcx1", ImageKind::kPcx1}}, false, ".pcx");
}

TEST(ImageDecoder, GifStillsDecodeAsImageMagick) {
    ExpectAllLikeReference({{"gif", ImageKind::kGif}}, false, ".gif");
}

TEST(ImageDecoder, AnimatedGifKeepsEveryFrameWithPlaceDelayDisposalAndTransparency) {
    const std::vector<Check> checks = ChecksOf({"animation", "frame"});
    ASSERT_LE(2u, checks.size());
    const Check& animation = checks[0];
    const std::vector<uint8_t> bytes = ReadImageFile(animation.words[0]);
    const ui::DecodedImage image = Decode(bytes, true);
    ASSERT_EQ(Kind(ImageKind::kGif), Kind(image.kind));
    EXPECT_TRUE(image.pixels.empty());
    EXPECT_EQ(animation.Number(1), image.width);
    EXPECT_EQ(animation.Number(2), image.height);
    ASSERT_TRUE(image.animation);
    EXPECT_EQ(animation.Number(1), int32_t(image.animation->width));
    EXPECT_EQ(animation.Number(2), int32_t(image.animation->height));
    ASSERT_EQ(size_t(animation.Number(3)), image.animation->frames.size());
    ASSERT_EQ(image.animation->frames.size() + 1, checks.size());

    for (size_t k = 0; k < image.animation->frames.size(); ++k) {
        SCOPED_TRACE("frame " + std::to_string(k));
        const Check& expected = checks[k + 1];
        const ui::GifFrame& frame = image.animation->frames[k];
        EXPECT_EQ(expected.Number(1), int32_t(frame.left));
        EXPECT_EQ(expected.Number(2), int32_t(frame.top));
        EXPECT_EQ(expected.Number(3), int32_t(frame.width));
        EXPECT_EQ(expected.Number(4), int32_t(frame.height));
        const int32_t centiseconds = expected.Number(5);
        EXPECT_EQ(centiseconds == 0 ? 50 : centiseconds * 10, int32_t(frame.delayMs));
        EXPECT_EQ(expected.Number(6), int32_t(frame.disposal));
        EXPECT_EQ(expected.Number(7) == 1, frame.transparent);

        const std::vector<uint8_t> reference = ReadImageFile(expected.words[0]);
        ASSERT_EQ(frame.indexes.size() * 4, reference.size());
        size_t wrong = 0, clear = 0;
        for (size_t p = 0; p < frame.indexes.size(); ++p) {
            const uint8_t index = frame.indexes[p];
            const RGBQUAD& colour = frame.palette[index];
            const uint8_t* ref = reference.data() + p * 4;
            const bool seeThrough = frame.transparent && index == frame.transparentIndex;
            clear += seeThrough;
            if (seeThrough != (ref[3] == 0) ||
                (!seeThrough && (colour.rgbRed != ref[0] || colour.rgbGreen != ref[1] ||
                                 colour.rgbBlue != ref[2]))) {
                ++wrong;
            }
        }
        EXPECT_EQ(0u, wrong);
        EXPECT_EQ(frame.transparent, clear > 0) << clear << " transparent pixels";
    }

    // Without animation the first frame is the still, on the logical screen.
    const ui::DecodedImage still = Decode(bytes, false);
    ASSERT_EQ(Kind(ImageKind::kGif), Kind(still.kind));
    EXPECT_FALSE(still.animation);
    EXPECT_EQ(animation.Number(1), still.width);
    const std::vector<uint8_t> first = ReadImageFile(checks[1].words[0]);
    ASSERT_EQ(size_t(still.width * still.height),
              size_t(checks[1].Number(3) * checks[1].Number(4)));
    EXPECT_EQ(0u, image_test::Compare(image_test::ToRgba(still), first, false, 0).pixelsOver);
}

// Draws the icon over `background` into 32-bit B, G, R, X rows top-down.
std::vector<uint8_t> DrawIcon(HICON icon, int32_t width, int32_t height, COLORREF background) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
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
            DrawIcon(image.icon, image.width, image.height, background);
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

struct Damage {
    size_t decoded = 0;
    size_t pictures = 0;
};

void ExpectWholeOrNothing(const std::vector<uint8_t>& bytes, const std::string& what,
                          Damage* damage) {
    for (bool animate : {false, true}) {
        const ui::DecodedImage image = Decode(bytes, animate);
        EXPECT_TRUE(image_test::IsConsistent(image))
            << what << " gave kind " << Kind(image.kind) << " " << image.width << "x"
            << image.height << " with " << image.pixels.size() << " bytes";
        ++damage->decoded;
        damage->pictures += image.kind != ImageKind::kNone;
    }
}

TEST(ImageDecoder, TruncatedAndFlippedFilesGiveNoPictureOrAWholeOne) {
    Damage damage;
    uint32_t seed = 12345;
    auto random = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 8; };
    size_t files = 0;
    for (const Check& check : image_test::ReadManifest()) {
        if (check.type == "frame") continue;
        const std::vector<uint8_t> bytes = ReadImageFile(check.words[0]);
        ASSERT_LE(8u, bytes.size()) << check.words[0];
        ++files;
        ExpectWholeOrNothing(bytes, check.words[0], &damage);
        const size_t n = bytes.size();
        for (size_t cut : {size_t{8}, size_t{20}, size_t{64}, n / 4, n / 2, n * 3 / 4, n - 1}) {
            if (cut < n) {
                ExpectWholeOrNothing(std::vector<uint8_t>(bytes.begin(), bytes.begin() + cut),
                                     check.words[0] + " cut at " + std::to_string(cut), &damage);
            }
        }
        // Single changed bytes: half in the headers, half anywhere.
        for (int k = 0; k < 8; ++k) {
            std::vector<uint8_t> changed(bytes);
            const size_t at = k < 4 ? 4 + random() % std::min<size_t>(n - 4, 124) : random() % n;
            changed[at] ^= uint8_t(1 + random() % 255);
            ExpectWholeOrNothing(changed, check.words[0] + " changed at " + std::to_string(at),
                                 &damage);
        }
    }
    ASSERT_LT(0u, files);
    std::printf("%u files damaged: %u decodings, %u gave a picture\n", unsigned(files),
                unsigned(damage.decoded), unsigned(damage.pictures));
}

TEST(ImageDecoder, KindComesFromTheFirstEightBytesAndSevenAreNeverAPicture) {
    const std::map<std::string, ImageKind> kinds = {
        {"png", ImageKind::kPng},   {"jpeg", ImageKind::kJpeg},     {"bmp", ImageKind::kBmp},
        {"pcx8", ImageKind::kPcx8}, {"pcx1", ImageKind::kPcx1},     {"gif", ImageKind::kGif},
        {"icon", ImageKind::kIcon}, {"cursor", ImageKind::kCursor}, {"animation", ImageKind::kGif}};
    std::set<uint32_t> seen;
    for (const Check& check : image_test::ReadManifest()) {
        if (check.type == "frame") continue;
        const std::vector<uint8_t> bytes = ReadImageFile(check.words[0]);
        ASSERT_LE(8u, bytes.size()) << check.words[0];
        const auto kind = kinds.find(check.type);
        if (kind != kinds.end()) {
            EXPECT_EQ(Kind(kind->second), Kind(ui::DetectImageKind(bytes.data(), 8)))
                << check.words[0];
            seen.insert(Kind(kind->second));
        }
        const std::vector<uint8_t> seven(bytes.begin(), bytes.begin() + 7);
        EXPECT_EQ(Kind(ImageKind::kNone), Kind(ui::DetectImageKind(seven.data(), 7)));
        EXPECT_EQ(Kind(ImageKind::kNone), Kind(Decode(seven, true).kind)) << check.words[0];
    }
    EXPECT_EQ(8u, seen.size());

    const uint8_t pcx[][8] = {
        {10, 5, 1, 8, 0, 0, 0, 0},  // 8-bit, version 5
        {10, 0, 1, 8, 0, 0, 0, 0},  // 8-bit, version 0
        {10, 6, 1, 8, 0, 0, 0, 0},  // version 6 is unknown
        {10, 3, 1, 1, 0, 0, 0, 0},  // 1-bit, version 3
        {10, 5, 1, 1, 0, 0, 0, 0},  // 1-bit of a later version
        {10, 3, 0, 1, 0, 0, 0, 0},  // not run-length encoded
    };
    const ImageKind pcxKinds[] = {ImageKind::kPcx8, ImageKind::kPcx8, ImageKind::kNone,
                                  ImageKind::kPcx1, ImageKind::kNone, ImageKind::kNone};
    for (size_t k = 0; k < 6; ++k) {
        EXPECT_EQ(Kind(pcxKinds[k]), Kind(ui::DetectImageKind(pcx[k], 8))) << "PCX header " << k;
    }
    const uint8_t noEntries[8] = {0, 0, 1, 0, 0, 0, 0, 0};
    const uint8_t gif88[8] = {'G', 'I', 'F', '8', '8', 'a', 0, 0};
    EXPECT_EQ(Kind(ImageKind::kNone), Kind(ui::DetectImageKind(noEntries, 8)));
    EXPECT_EQ(Kind(ImageKind::kNone), Kind(ui::DetectImageKind(gif88, 8)));
    EXPECT_EQ(Kind(ImageKind::kNone), Kind(ui::DetectImageKind(nullptr, 0)));
    EXPECT_EQ(Kind(ImageKind::kNone), Kind(ui::DecodeImage(nullptr, 0, false).kind));
}

// ---- hand-made inputs ---------------------------------------------------------

void PutU16(std::vector<uint8_t>* bytes, uint32_t value) {
    bytes->push_back(uint8_t(value));
    bytes->push_back(uint8_t(value >> 8));
}

void PutU32(std::vector<uint8_t>* bytes, uint32_t value) {
    PutU16(bytes, value & 0xFFFF);
    PutU16(bytes, value >> 16);
}

// A 24-bit BMP with 40-byte header; `rows` as stored, each padded already.
std::vector<uint8_t> Bmp24(int32_t width, int32_t height, const std::vector<uint8_t>& rows) {
    std::vector<uint8_t> bytes{'B', 'M'};
    PutU32(&bytes, uint32_t(54 + rows.size()));
    PutU32(&bytes, 0);
    PutU32(&bytes, 54);  // pixel offset
    PutU32(&bytes, 40);
    PutU32(&bytes, uint32_t(width));
    PutU32(&bytes, uint32_t(height));
    PutU16(&bytes, 1);
    PutU16(&bytes, 24);
    for (int k = 0; k < 6; ++k) PutU32(&bytes, 0);  // BI_RGB, sizes, colours
    bytes.insert(bytes.end(), rows.begin(), rows.end());
    return bytes;
}

TEST(ImageDecoder, BmpSizesCountAsAbsoluteAndRowsAsBottomUp) {
    // Two rows of two pixels in B, G, R order, each padded to 8 bytes.
    const std::vector<uint8_t> rows = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
    const std::vector<uint8_t> unpadded = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    for (int32_t width : {2, -2}) {
        for (int32_t height : {2, -2}) {
            const ui::DecodedImage image = Decode(Bmp24(width, height, rows));
            ASSERT_EQ(Kind(ImageKind::kBmp), Kind(image.kind)) << width << "x" << height;
            EXPECT_EQ(2, image.width);
            EXPECT_EQ(2, image.height);
            EXPECT_EQ(unpadded, image.pixels);
        }
    }
    // One byte of pixels missing.
    EXPECT_EQ(Kind(ImageKind::kNone),
              Kind(Decode(Bmp24(2, 2, std::vector<uint8_t>(rows.begin(), rows.end() - 1))).kind));
}

// A GIF with a four-colour table and one frame holding the given LZW codes,
// each packed in the given number of bits.
std::vector<uint8_t> GifWithCodes(uint16_t screenWidth, uint16_t screenHeight, uint16_t width,
                                  uint16_t height,
                                  const std::vector<std::pair<uint32_t, uint32_t>>& codes) {
    std::vector<uint8_t> bytes{'G', 'I', 'F', '8', '9', 'a'};
    PutU16(&bytes, screenWidth);
    PutU16(&bytes, screenHeight);
    bytes.insert(bytes.end(), {0x81, 0, 0});  // a table of 4 entries, background 0
    bytes.insert(bytes.end(), {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255});
    bytes.push_back(0x2C);
    PutU32(&bytes, 0);  // left, top
    PutU16(&bytes, width);
    PutU16(&bytes, height);
    bytes.insert(bytes.end(), {0, 2});  // no local table; minimum code size 2
    std::vector<uint8_t> stream;
    uint32_t buffer = 0, held = 0;
    for (const auto& code : codes) {
        buffer |= code.first << held;
        for (held += code.second; held >= 8; held -= 8, buffer >>= 8)
            stream.push_back(uint8_t(buffer));
    }
    if (held) stream.push_back(uint8_t(buffer));
    for (size_t at = 0; at < stream.size(); at += 255) {
        const size_t block = std::min<size_t>(255, stream.size() - at);
        bytes.push_back(uint8_t(block));
        bytes.insert(bytes.end(), stream.begin() + at, stream.begin() + at + block);
    }
    bytes.insert(bytes.end(), {0, 0x3B});
    return bytes;
}

std::vector<uint8_t> IndexesOf(const ui::DecodedImage& image) {
    std::vector<uint8_t> indexes;
    const std::vector<uint8_t> rgba = image_test::ToRgba(image);
    // The table is black, red, green, blue.
    for (size_t p = 0; p < rgba.size(); p += 4) {
        indexes.push_back(rgba[p] ? 1 : rgba[p + 1] ? 2 : rgba[p + 2] ? 3 : 0);
    }
    return indexes;
}

TEST(ImageDecoder, GifCodesGrowToTwelveBitsAndStayThereWhenTheTableIsFull) {
    // Literal codes only: every code after the first defines a string, so the
    // 4,090 free entries run out and the encoder goes on at 12 bits with no
    // clear code.
    constexpr uint32_t kClear = 4, kEnd = 5;
    std::vector<std::pair<uint32_t, uint32_t>> codes{{kClear, 3}};
    std::vector<uint8_t> expected;
    uint32_t bits = 3, next = kEnd + 1;
    for (uint32_t k = 0; k < 100 * 50; ++k) {
        const uint8_t literal = uint8_t((k * 7 + k / 5) % 4);
        codes.push_back({literal, bits});
        expected.push_back(literal);
        if (k > 0 && next < 4096 && ++next == (1u << bits) && bits < 12) ++bits;
    }
    codes.push_back({kEnd, bits});
    ASSERT_EQ(12u, bits);
    const ui::DecodedImage image = Decode(GifWithCodes(100, 50, 100, 50, codes));
    ASSERT_EQ(Kind(ImageKind::kGif), Kind(image.kind));
    EXPECT_EQ(expected, IndexesOf(image));

    // A code not yet defined ends the frame; the rest keeps index 0.
    const ui::DecodedImage broken =
        Decode(GifWithCodes(4, 1, 4, 1, {{kClear, 3}, {2, 3}, {7, 3}, {1, 3}}));
    ASSERT_EQ(Kind(ImageKind::kGif), Kind(broken.kind));
    EXPECT_EQ((std::vector<uint8_t>{2, 0, 0, 0}), IndexesOf(broken));

    // Clear codes without end give an empty frame.
    const ui::DecodedImage clears = Decode(
        GifWithCodes(3, 1, 3, 1, std::vector<std::pair<uint32_t, uint32_t>>(900, {kClear, 3})));
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 0}), IndexesOf(clears));
}

TEST(ImageDecoder, GifStillIsTheFirstFrameOnTheLogicalScreen) {
    // A 2 x 1 frame of colours 1 and 2 on a 3 x 2 screen of background 0.
    const std::vector<std::pair<uint32_t, uint32_t>> codes{{4, 3}, {1, 3}, {2, 3}, {5, 3}};
    const ui::DecodedImage image = Decode(GifWithCodes(3, 2, 2, 1, codes));
    ASSERT_EQ(Kind(ImageKind::kGif), Kind(image.kind));
    EXPECT_EQ(3, image.width);
    EXPECT_EQ(2, image.height);
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 0, 0, 0, 0}), IndexesOf(image));
    // A screen of size 0 takes the first frame's extent.
    EXPECT_EQ((std::vector<uint8_t>{1, 2}), IndexesOf(Decode(GifWithCodes(0, 0, 2, 1, codes))));
    // A single frame stays a still when animation is asked for.
    const ui::DecodedImage animated = Decode(GifWithCodes(3, 2, 2, 1, codes), true);
    EXPECT_FALSE(animated.animation);
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 0, 0, 0, 0}), IndexesOf(animated));
}

TEST(ImageDecoder, HugeDeclaredSizesAreRefusedBeforeAllocating) {
    const std::vector<std::pair<uint32_t, uint32_t>> codes{{4, 3}, {1, 3}, {5, 3}};
    EXPECT_EQ(Kind(ImageKind::kNone), Kind(Decode(GifWithCodes(65535, 65535, 1, 1, codes)).kind));
    EXPECT_EQ(Kind(ImageKind::kNone), Kind(Decode(GifWithCodes(1, 1, 65535, 65535, codes)).kind));
    EXPECT_EQ(Kind(ImageKind::kNone), Kind(Decode(Bmp24(0x7FFFFFFF, 0x7FFFFFFF, {})).kind));
    EXPECT_EQ(Kind(ImageKind::kNone), Kind(Decode(Bmp24(int32_t(0x80000000), 2, {})).kind));

    // An 8-bit PCX of 65,536 x 65,536 pixels.
    std::vector<uint8_t> pcx{10, 5, 1, 8};
    PutU32(&pcx, 0);
    PutU32(&pcx, 0xFFFFFFFF);
    pcx.resize(65, 0);
    pcx.push_back(1);  // planes
    PutU16(&pcx, 0xFFFF);
    pcx.resize(128, 0);
    pcx.push_back(0x0C);
    pcx.resize(128 + 769, 0);
    EXPECT_EQ(Kind(ImageKind::kNone), Kind(Decode(pcx).kind));

    // libjpeg-turbo's test photograph claiming 65,000 x 65,000 pixels.
    std::vector<uint8_t> jpeg = ReadImageFile("src/testimages/testorig.jpg");
    const uint8_t sof[] = {0xFF, 0xC0};
    auto at = std::search(jpeg.begin(), jpeg.end(), sof, sof + 2);
    ASSERT_NE(jpeg.end(), at);
    const size_t size = at - jpeg.begin() + 5;
    const uint8_t huge[] = {0xFD, 0xE8, 0xFD, 0xE8};
    std::memcpy(jpeg.data() + size, huge, 4);
    EXPECT_EQ(Kind(ImageKind::kNone), Kind(Decode(jpeg).kind));

    // A PngSuite picture whose header, with its checksum, claims 2^20 x 2^20.
    std::vector<uint8_t> png = ReadImageFile("src/contrib/pngsuite/basn2c08.png");
    ASSERT_LT(33u, png.size());
    const uint8_t dimensions[] = {0, 0x10, 0, 0, 0, 0x10, 0, 0};
    std::memcpy(png.data() + 16, dimensions, 8);
    const uLong crc = ::crc32(0, png.data() + 12, 17);
    const uint8_t crcBytes[] = {uint8_t(crc >> 24), uint8_t(crc >> 16), uint8_t(crc >> 8),
                                uint8_t(crc)};
    std::memcpy(png.data() + 29, crcBytes, 4);
    EXPECT_EQ(Kind(ImageKind::kNone), Kind(Decode(png).kind));
}

TEST(ImageDecoder, PcxRunsMayGoOnAcrossScanLines) {
    // 4 x 2 pixels, one run of eight bytes of index 7 for both lines.
    std::vector<uint8_t> pcx{10, 5, 1, 8};
    PutU16(&pcx, 0);
    PutU16(&pcx, 0);
    PutU16(&pcx, 3);
    PutU16(&pcx, 1);
    pcx.resize(65, 0);
    pcx.push_back(1);  // planes
    PutU16(&pcx, 4);   // bytes per line
    pcx.resize(128, 0);
    pcx.insert(pcx.end(), {0xC8, 7, 0x0C});
    pcx.resize(pcx.size() + 768, 0);
    pcx[pcx.size() - 768 + 7 * 3] = 0x40;
    const ui::DecodedImage image = Decode(pcx);
    ASSERT_EQ(Kind(ImageKind::kPcx8), Kind(image.kind));
    const std::vector<uint8_t> rgba = image_test::ToRgba(image);
    ASSERT_EQ(32u, rgba.size());
    for (size_t p = 0; p < 8; ++p) EXPECT_EQ(0x40, rgba[p * 4]) << "pixel " << p;
    // The run ends before the second line does.
    pcx[128] = 0xC6;
    EXPECT_EQ(Kind(ImageKind::kNone), Kind(Decode(pcx).kind));
}

TEST(ImageDecoder, MovingAPictureMovesItsIcon) {
    ui::DecodedImage icon = Decode(ReadImageFile("made/netpbm-1.ico"));
    ASSERT_TRUE(icon.icon);
    const HICON handle = icon.icon;
    ui::DecodedImage moved(std::move(icon));
    EXPECT_EQ(handle, moved.icon);
    EXPECT_EQ(nullptr, icon.icon);
    EXPECT_EQ(Kind(ImageKind::kNone), Kind(icon.kind));
    ui::DecodedImage assigned;
    assigned = std::move(moved);
    EXPECT_EQ(handle, assigned.icon);
    EXPECT_EQ(nullptr, moved.icon);
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(assigned.icon, &info));
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
}

}  // namespace
