// The PCX reader against 8-bit and 1-bit files (netpbm's for 1 bit), and hand-made runs.
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

using image_test::Check;
using image_test::ChecksOf;
using image_test::Decode;
using image_test::ExpectAllLikeReference;
using image_test::Kind;
using image_test::PutU16;
using image_test::ReadImageFile;
using ui::ImageKind;

TEST(ImageDecoder, PcxOfEightAndOneBitDecodesAsTheReference) {
    ExpectAllLikeReference({{"pcx8", ImageKind::kPcx8}, {"pcx1", ImageKind::kPcx1}}, false, ".pcx");
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
    // Lines shorter than the picture is wide are refused.
    pcx[128] = 0xC8;
    pcx[66] = 3;
    EXPECT_EQ(Kind(ImageKind::kNone), Kind(Decode(pcx).kind));
}

}  // namespace
