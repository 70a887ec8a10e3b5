// The JPEG reader against libjpeg-turbo's test images, compared with ImageMagick's decoding.
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

TEST(ImageDecoder, JpegTestImagesDecodeAsImageMagick) {
    ExpectAllLikeReference({{"jpeg", ImageKind::kJpeg}}, false, ".jpg");
}

}  // namespace
