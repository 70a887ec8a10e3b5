// The GIF reader: stills and animations against ImageMagick, and hand-made LZW streams.
#include "ui/units/picture/decoded_image.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/ui/units/picture/hand_made_images.h"
#include "tests/ui/units/picture/image_references.h"

namespace {

using image_test::Bmp24;
using image_test::Check;
using image_test::ChecksOf;
using image_test::Decode;
using image_test::ExpectAllLikeReference;
using image_test::GifWithCodes;
using image_test::Kind;
using image_test::PutU16;
using image_test::PutU32;
using image_test::ReadImageFile;
using ui::ImageKind;

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

// Each frame of 6000 x 4000 is under the pixel limit; the third would take
// the frames together over it and ends the animation.
TEST(ImageDecoder, GifFramesTogetherStayUnderThePixelLimit) {
    const std::vector<uint8_t> one = GifWithCodes(6000, 4000, 6000, 4000, {{4, 3}, {5, 3}});
    const size_t frameStart = 6 + 7 + 12;
    const std::vector<uint8_t> frame(one.begin() + frameStart, one.end() - 1);
    std::vector<uint8_t> three;
    three.reserve(one.size() + 2 * frame.size());
    three.assign(one.begin(), one.begin() + frameStart);
    for (int k = 0; k < 3; ++k) three.insert(three.end(), frame.begin(), frame.end());
    three.push_back(0x3B);
    const ui::DecodedImage image = Decode(three, true);
    ASSERT_TRUE(image.animation);
    EXPECT_EQ(2u, image.animation->frames.size());
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

}  // namespace
