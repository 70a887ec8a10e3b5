#include "tests/ui/units/picture/image_references.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "tests/fuzz/guarded_bytes.h"
#include "tests/support/child_process.h"
#include "ui/units/picture/indexed_bitmap.h"

namespace image_test {

int32_t Check::Number(size_t index) const {
    return index < words.size() ? std::atoi(words[index].c_str()) : -1;
}

std::string ImagesDirectory() {
    if (const char* directory = std::getenv("VELMORA_TEST_IMAGES")) {
        return std::string(directory) + "\\";
    }
    return driver::ProgramDirectory() + "..\\images\\";
}

std::vector<uint8_t> ReadImageFile(const std::string& relativePath) {
    const std::string bytes = driver::ReadWholeFile(ImagesDirectory() + relativePath);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

std::vector<Check> ReadManifest() {
    std::istringstream lines(driver::ReadWholeFile(ImagesDirectory() + "manifest.txt"));
    std::vector<Check> checks;
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        Check check;
        if (!(words >> check.type)) continue;
        for (std::string word; words >> word;) check.words.push_back(word);
        checks.push_back(check);
    }
    return checks;
}

namespace {

void PutPixel(std::vector<uint8_t>* rgba, size_t pixel, uint8_t r, uint8_t g, uint8_t b,
              uint8_t a = 255) {
    uint8_t* p = rgba->data() + pixel * 4;
    p[0] = r, p[1] = g, p[2] = b, p[3] = a;
}

size_t IndexedSize(const ui::DecodedImage& image) {
    return ui::kIndexedHeaderSize + ((size_t(image.width) + 3) & ~size_t{3}) * image.height;
}

bool IndexedHeaderFits(const ui::DecodedImage& image) {
    if (image.pixels.size() != IndexedSize(image)) return false;
    BITMAPINFOHEADER header;
    std::memcpy(&header, image.pixels.data(), sizeof header);
    return header.biSize == sizeof header && header.biWidth == image.width &&
           header.biHeight == image.height && header.biPlanes == 1 && header.biBitCount == 8 &&
           header.biCompression == BI_RGB;
}

}  // namespace

std::vector<uint8_t> ToRgba(const ui::DecodedImage& image) {
    using ui::ImageKind;
    const size_t width = image.width > 0 ? image.width : 0;
    const size_t height = image.height > 0 ? image.height : 0;
    std::vector<uint8_t> rgba(width * height * 4);
    const uint8_t* p = image.pixels.data();
    switch (image.kind) {
        case ImageKind::kJpeg:
        case ImageKind::kBmp:
            if (image.pixels.size() != width * height * 3) return {};
            for (size_t y = 0; y < height; ++y) {
                for (size_t x = 0; x < width; ++x) {
                    const uint8_t* bgr = p + ((height - 1 - y) * width + x) * 3;
                    PutPixel(&rgba, y * width + x, bgr[2], bgr[1], bgr[0]);
                }
            }
            return rgba;
        case ImageKind::kGif:
        case ImageKind::kPcx8: {
            if (!IndexedHeaderFits(image)) return {};
            const RGBQUAD* palette = reinterpret_cast<const RGBQUAD*>(p + sizeof(BITMAPINFOHEADER));
            const size_t stride = (width + 3) & ~size_t{3};
            for (size_t y = 0; y < height; ++y) {
                for (size_t x = 0; x < width; ++x) {
                    const RGBQUAD& c =
                        palette[p[ui::kIndexedHeaderSize + (height - 1 - y) * stride + x]];
                    PutPixel(&rgba, y * width + x, c.rgbRed, c.rgbGreen, c.rgbBlue);
                }
            }
            return rgba;
        }
        case ImageKind::kPcx1: {
            const size_t stride = (width + 15) / 16 * 2;
            if (image.pixels.size() != stride * height) return {};
            for (size_t y = 0; y < height; ++y) {
                for (size_t x = 0; x < width; ++x) {
                    const uint8_t v = (p[y * stride + x / 8] >> (7 - x % 8)) & 1 ? 255 : 0;
                    PutPixel(&rgba, y * width + x, v, v, v);
                }
            }
            return rgba;
        }
        case ImageKind::kPng:
            if (image.pixels.size() != width * height * 4) return {};
            for (size_t k = 0; k < width * height; ++k, p += 4)
                PutPixel(&rgba, k, p[2], p[1], p[0], p[3]);
            return rgba;
        default:
            return {};
    }
}

bool IsConsistent(const ui::DecodedImage& image) {
    using ui::ImageKind;
    if (image.kind == ImageKind::kNone) return true;
    if (image.width <= 0 || image.height <= 0) return false;
    switch (image.kind) {
        case ImageKind::kIcon:
        case ImageKind::kCursor:
            return static_cast<bool>(image.icon);
        case ImageKind::kGif:
            if (image.animation) {
                if (image.animation->frames.size() < 2 || !image.pixels.empty()) return false;
                for (const ui::GifFrame& frame : image.animation->frames) {
                    if (frame.indexes.size() != size_t{frame.width} * frame.height ||
                        frame.palette.size() != 256 || frame.delayMs == 0) {
                        return false;
                    }
                }
                return true;
            }
            return IndexedHeaderFits(image);
        default:
            return !ToRgba(image).empty();
    }
}

Difference Compare(const std::vector<uint8_t>& actual, const std::vector<uint8_t>& expected,
                   bool withAlpha, uint32_t tolerance) {
    Difference difference;
    const size_t channels = withAlpha ? 4 : 3;
    for (size_t pixel = 0; pixel * 4 < actual.size() && pixel * 4 < expected.size(); ++pixel) {
        bool over = false;
        for (size_t c = 0; c < channels; ++c) {
            const int a = actual[pixel * 4 + c], e = expected[pixel * 4 + c];
            const uint32_t d = static_cast<uint32_t>(a > e ? a - e : e - a);
            if (d > difference.largest) {
                difference.largest = d;
                difference.firstPixel = pixel;
            }
            over = over || d > tolerance;
        }
        if (over) ++difference.pixelsOver;
    }
    return difference;
}

namespace {

using ui::ImageKind;

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

}  // namespace

uint32_t Kind(ImageKind kind) { return static_cast<uint32_t>(kind); }

BITMAPINFO TopDown32(int32_t width, int32_t height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

ui::DecodedImage Decode(const std::vector<uint8_t>& bytes, bool animate) {
    const fuzz::GuardedBytes guarded(bytes);
    return ui::DecodeImage(guarded.data(), guarded.size(), animate);
}

std::vector<Check> ChecksOf(const std::set<std::string>& types) {
    std::vector<Check> checks;
    for (const Check& check : image_test::ReadManifest()) {
        if (types.count(check.type)) checks.push_back(check);
    }
    return checks;
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

}  // namespace image_test
