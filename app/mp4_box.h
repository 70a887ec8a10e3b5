// The header of an MP4 box, as every reader of MP4 bytes here takes it: a
// 32-bit size (1: a 64-bit size follows; 0: the box runs to the end) and a
// four-character type.
#pragma once

#include <cstddef>
#include <cstdint>

namespace app {

uint32_t BigEndian32(const uint8_t* p);
uint64_t BigEndian64(const uint8_t* p);

struct BoxHeader {
    uint32_t type = 0;
    uint64_t size = 0;        // the whole box, header included
    uint32_t headerSize = 8;  // 16 with a 64-bit size
};

// The header of a box that starts at `header` (`available` bytes there) and
// may run for `room` bytes; false when it does not fit.
bool ReadBoxHeader(const uint8_t* header, size_t available, uint64_t room, BoxHeader* box);

// A box type as its four characters read big-endian: BoxType("moov").
constexpr uint32_t BoxType(const char (&name)[5]) {
    return (uint32_t{static_cast<uint8_t>(name[0])} << 24) |
           (uint32_t{static_cast<uint8_t>(name[1])} << 16) |
           (uint32_t{static_cast<uint8_t>(name[2])} << 8) | static_cast<uint8_t>(name[3]);
}

}  // namespace app
