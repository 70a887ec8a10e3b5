#include "ui/drag_drop/drop_target_mark.h"

#include <cstdint>

namespace drag_drop {

namespace {

// '#' is the mark.
constexpr const char* kRows[kDropMarkSize] = {
    "................",  //
    "......####......",  //
    "......####......",  //
    "......####......",  //
    "......####......",  //
    "...##########...",  //
    "....########....",  //
    ".....######.....",  //
    "......####......",  //
    ".......##.......",  //
    "..#..........#..",  //
    "..#..........#..",  //
    "..#..........#..",  //
    "..############..",  //
    "..############..",  //
    "................",  //
};

}  // namespace

ui::UniqueBitmap CreateDropMark() {
    // Rows of a one-bit bitmap are padded to 16 bits: one word per row here.
    uint8_t bits[kDropMarkSize * 2] = {};
    for (int y = 0; y < kDropMarkSize; ++y) {
        for (int x = 0; x < kDropMarkSize; ++x) {
            if (kRows[y][x] != '#') bits[y * 2 + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        }
    }
    return ui::UniqueBitmap(::CreateBitmap(kDropMarkSize, kDropMarkSize, 1, 1, bits));
}

}  // namespace drag_drop
