#include "app/mp4_box.h"

namespace app {

uint32_t BigEndian32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

uint64_t BigEndian64(const uint8_t* p) {
    return (uint64_t{BigEndian32(p)} << 32) | BigEndian32(p + 4);
}

bool ReadBoxHeader(const uint8_t* header, size_t available, uint64_t room, BoxHeader* box) {
    if (available < 8) return false;
    box->type = BigEndian32(header + 4);
    box->size = BigEndian32(header);
    box->headerSize = 8;
    if (box->size == 1) {
        if (available < 16) return false;
        box->size = BigEndian64(header + 8);
        box->headerSize = 16;
    } else if (box->size == 0) {
        box->size = room;  // runs to the end
    }
    return box->size >= box->headerSize && box->size <= room;
}

}  // namespace app
