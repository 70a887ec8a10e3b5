// The pictures made for the image decoder tests by scripts/make-test-images.py
// (tests/images beside tests/bin, or VELMORA_TEST_IMAGES), and the decoded
// pixels of each picture kind turned into R, G, B, A rows top-down.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "ui/units/picture/decoded_image.h"

namespace image_test {

// One manifest line: its check word and the words after it.
struct Check {
    std::string type;
    std::vector<std::string> words;
    int32_t Number(size_t index) const;
};

std::string ImagesDirectory();
std::vector<uint8_t> ReadImageFile(const std::string& relativePath);
// Every line of the manifest, in order; empty when there is none.
std::vector<Check> ReadManifest();

// R, G, B, A rows top-down of every kind drawn from pixels (alpha 255 where the
// kind has none; kind 7 as black for 0 bits and white for 1). Empty when the
// pixel block does not have the size the kind and picture size call for.
std::vector<uint8_t> ToRgba(const ui::DecodedImage& image);

// Whether the decoded picture is whole: kNone, or a kind with the pixels (or
// icon, or frames) its size calls for.
bool IsConsistent(const ui::DecodedImage& image);

struct Difference {
    uint32_t largest = 0;   // over all compared channels
    size_t firstPixel = 0;  // where the largest first appears
    size_t pixelsOver = 0;  // pixels with a channel beyond the tolerance
};

// Compares R, G, B (and A when `withAlpha`) of two RGBA pictures of one size.
Difference Compare(const std::vector<uint8_t>& actual, const std::vector<uint8_t>& expected,
                   bool withAlpha, uint32_t tolerance);

uint32_t Kind(ui::ImageKind kind);
// The header of 32-bit B, G, R, X rows top-down.
BITMAPINFO TopDown32(int32_t width, int32_t height);
ui::DecodedImage Decode(const std::vector<uint8_t>& bytes, bool animate = false);
// The manifest lines of these check types.
std::vector<Check> ChecksOf(const std::set<std::string>& types);
// Runs the reference checks of the given types (type FILE REFERENCE WIDTH
// HEIGHT TOLERANCE: decoded like the reference within the tolerance), and
// the refusals ("none") among the files whose names end in `suffix`.
void ExpectAllLikeReference(const std::map<std::string, ui::ImageKind>& kinds, bool withAlpha,
                            const std::string& suffix);

}  // namespace image_test
