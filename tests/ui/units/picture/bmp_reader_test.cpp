// The BMP reader against files of every bit depth and header size, and hand-made ones.
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

TEST(ImageDecoder, BmpOfEveryBitDepthAndHeaderSizeDecodesAsImageMagick) {
    ExpectAllLikeReference({{"bmp", ImageKind::kBmp}}, false, ".bmp");
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

}  // namespace
