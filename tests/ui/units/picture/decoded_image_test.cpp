// Decoding any picture: the kind from the first bytes, damaged files, huge declared sizes, moving a
// picture.
#include "ui/units/picture/decoded_image.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "tests/fuzz/mutator.h"
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

// The fuzzer's mutations, replayed over every test picture.
TEST(ImageDecoder, MutatedFilesGiveNoPictureOrAWholeOne) {
    std::vector<std::vector<uint8_t>> seeds;
    std::vector<std::string> names;
    for (const Check& check : image_test::ReadManifest()) {
        if (check.type == "frame") continue;
        seeds.push_back(ReadImageFile(check.words[0]));
        names.push_back(check.words[0]);
    }
    ASSERT_FALSE(seeds.empty());
    std::mt19937 random(7);
    Damage damage;
    for (int run = 0; run < 3000; ++run) {
        const size_t from = random() % seeds.size();
        ExpectWholeOrNothing(fuzz::Mutate(seeds[from], random, seeds),
                             names[from] + " mutation " + std::to_string(run), &damage);
    }
    EXPECT_LT(0u, damage.pictures);
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

TEST(ImageDecoder, MovingAPictureMovesItsIcon) {
    ui::DecodedImage icon = Decode(ReadImageFile("made/netpbm-1.ico"));
    ASSERT_TRUE(icon.icon);
    const HICON handle = icon.icon.get();
    ui::DecodedImage moved(std::move(icon));
    EXPECT_EQ(handle, moved.icon.get());
    EXPECT_EQ(nullptr, icon.icon.get());
    EXPECT_EQ(Kind(ImageKind::kNone), Kind(icon.kind));
    ui::DecodedImage assigned;
    assigned = std::move(moved);
    EXPECT_EQ(handle, assigned.icon.get());
    EXPECT_EQ(nullptr, moved.icon.get());
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(assigned.icon.get(), &info));
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
}

}  // namespace
