// The PNG reader against PngSuite, compared with ImageMagick's decoding.
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

}  // namespace
