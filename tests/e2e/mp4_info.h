// What a player first reads from an MP4 file: the movie header's duration and
// the kinds of its tracks, from the ISO base media boxes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

struct Mp4Info {
    bool valid = false;                        // ftyp, moov with mvhd, and a non-empty mdat
    double durationSeconds = 0;                // mvhd duration / timescale
    std::vector<std::string> trackKinds;       // hdlr handler type per trak: "vide", "soun"
    std::vector<double> trackSeconds;          // tkhd duration per trak, in seconds
    uint32_t videoWidth = 0, videoHeight = 0;  // the video track's tkhd size
};

Mp4Info ReadMp4Info(const std::string& bytes);

}  // namespace e2e
