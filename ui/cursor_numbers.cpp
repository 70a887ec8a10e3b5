#include "ui/cursor_numbers.h"

#include <windows.h>

#include <cstring>

namespace ui {

namespace {

// Position + 1 is the application's number for each system cursor.
const uint32_t kSystemCursors[] = {
    32512,  // 1 arrow
    32515,  // 2 cross
    32513,  // 3 I-beam
    32641,  // 4 icon
    32646,  // 5 size all
    32643,  // 6 size NE-SW
    32645,  // 7 size N-S
    32642,  // 8 size NW-SE
    32644,  // 9 size W-E
    32516,  // 10 up arrow
    32514,  // 11 wait
    32648,  // 12 no
    32650,  // 13 app starting
    32651,  // 14 help
    32649,  // 15 hand
};
constexpr uint32_t kCursorCount = sizeof kSystemCursors / sizeof kSystemCursors[0];

std::string WithFirstWord(std::string bytes, uint32_t word) {
    std::memcpy(&bytes[0], &word, 4);
    return bytes;
}

uint32_t FirstWord(const std::string& bytes) {
    uint32_t word;
    std::memcpy(&word, bytes.data(), 4);
    return word;
}

}  // namespace

std::string CursorBytesFromApplication(const std::string& bytes) {
    if (bytes.size() < 4) return bytes;
    const uint32_t number = FirstWord(bytes);
    return number >= 1 && number <= kCursorCount ? WithFirstWord(bytes, kSystemCursors[number - 1])
                                                 : bytes;
}

std::string CursorBytesToApplication(const std::string& bytes) {
    if (bytes.size() < 4) return bytes;
    const uint32_t id = FirstWord(bytes);
    for (uint32_t i = 0; i < kCursorCount; ++i) {
        if (kSystemCursors[i] == id) return WithFirstWord(bytes, i + 1);
    }
    return bytes;
}

}  // namespace ui
