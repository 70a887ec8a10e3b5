#include "tests/e2e/mp4_info.h"

#include <cstdint>

namespace e2e {

namespace {

uint32_t U32(const std::string& bytes, size_t at) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + at);
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

uint64_t U64(const std::string& bytes, size_t at) {
    return uint64_t{U32(bytes, at)} << 32 | U32(bytes, at + 4);
}

struct Box {
    std::string type;
    size_t body = 0;  // offset of the box's content
    size_t end = 0;   // offset just past the box
};

// The boxes directly inside [begin, end); stops at the first one that does not fit.
std::vector<Box> Children(const std::string& bytes, size_t begin, size_t end) {
    std::vector<Box> boxes;
    size_t at = begin;
    while (at + 8 <= end) {
        uint64_t size = U32(bytes, at);
        size_t header = 8;
        if (size == 1) {
            if (at + 16 > end) break;
            size = U64(bytes, at + 8);
            header = 16;
        } else if (size == 0) {
            size = end - at;
        }
        if (size < header || size > end - at) break;
        boxes.push_back({bytes.substr(at + 4, 4), at + header, at + static_cast<size_t>(size)});
        at += static_cast<size_t>(size);
    }
    return boxes;
}

const Box* Find(const std::vector<Box>& boxes, const std::string& type) {
    for (const Box& box : boxes) {
        if (box.type == type) return &box;
    }
    return nullptr;
}

// The handler type of a trak: trak/mdia/hdlr, after version, flags and pre-defined.
std::string TrackKind(const std::string& bytes, const Box& trak) {
    const std::vector<Box> trakBoxes = Children(bytes, trak.body, trak.end);
    const Box* mdia = Find(trakBoxes, "mdia");
    if (!mdia) return {};
    const std::vector<Box> mdiaBoxes = Children(bytes, mdia->body, mdia->end);
    const Box* hdlr = Find(mdiaBoxes, "hdlr");
    if (!hdlr || hdlr->body + 12 > hdlr->end) return {};
    return bytes.substr(hdlr->body + 8, 4);
}

// A trak's tkhd duration in the movie's timescale, after the fields whose
// size the version decides; -1 without one.
double TrackSeconds(const std::string& bytes, const Box& trak, uint32_t timescale) {
    const std::vector<Box> trakBoxes = Children(bytes, trak.body, trak.end);
    const Box* tkhd = Find(trakBoxes, "tkhd");
    if (!tkhd || tkhd->body >= tkhd->end) return -1;
    const bool wide = bytes[tkhd->body] == 1;
    const size_t durationAt = tkhd->body + (wide ? 28 : 20);
    if (durationAt + (wide ? 8 : 4) > tkhd->end) return -1;
    return static_cast<double>(wide ? U64(bytes, durationAt) : U32(bytes, durationAt)) / timescale;
}

// A trak's tkhd width and height (16.16 fixed point), after the fields whose
// size the version decides.
void TrackSize(const std::string& bytes, const Box& trak, Mp4Info* info) {
    const std::vector<Box> trakBoxes = Children(bytes, trak.body, trak.end);
    const Box* tkhd = Find(trakBoxes, "tkhd");
    if (!tkhd || tkhd->body >= tkhd->end) return;
    const size_t sizeAt = tkhd->body + (bytes[tkhd->body] == 1 ? 88 : 76);
    if (sizeAt + 8 > tkhd->end) return;
    info->videoWidth = U32(bytes, sizeAt) >> 16;
    info->videoHeight = U32(bytes, sizeAt + 4) >> 16;
}

}  // namespace

Mp4Info ReadMp4Info(const std::string& bytes) {
    Mp4Info info;
    const std::vector<Box> top = Children(bytes, 0, bytes.size());
    const Box* moov = Find(top, "moov");
    const Box* mdat = Find(top, "mdat");
    if (!Find(top, "ftyp") || !moov || !mdat || mdat->end == mdat->body) return info;

    const std::vector<Box> movie = Children(bytes, moov->body, moov->end);
    const Box* mvhd = Find(movie, "mvhd");
    if (!mvhd || mvhd->body + 4 > mvhd->end) return info;
    // Version 1 has 64-bit times and duration; version 0 32-bit ones.
    const bool wide = bytes[mvhd->body] == 1;
    const size_t timescaleAt = mvhd->body + (wide ? 20 : 12);
    if (timescaleAt + (wide ? 12 : 8) > mvhd->end) return info;
    const uint32_t timescale = U32(bytes, timescaleAt);
    const uint64_t duration = wide ? U64(bytes, timescaleAt + 4) : U32(bytes, timescaleAt + 4);
    if (timescale == 0) return info;
    info.durationSeconds = static_cast<double>(duration) / timescale;
    for (const Box& box : movie) {
        if (box.type != "trak") continue;
        info.trackKinds.push_back(TrackKind(bytes, box));
        info.trackSeconds.push_back(TrackSeconds(bytes, box, timescale));
        if (info.trackKinds.back() == "vide") TrackSize(bytes, box, &info);
    }
    info.valid = true;
    return info;
}

}  // namespace e2e
