// The plan of a download job: what "解析" found in a playlist, and all that
// "开始" needs to make a whole video of it. One value, built in one place
// (PlanJob) from the playlist's text and where it came from; segmentList, the
// text the handlers keep, is made from it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "net/byte_range.h"

namespace app {

class RegexObject;

struct SegmentCipher {
    int keyIndex = -1;  // into JobPlan::keyAddresses; -1 when not encrypted
    bool ivValid = true;
    uint8_t iv[16] = {};
};

struct PlannedSegment {
    std::string address;   // resolved: what the server is asked for
    std::string fileName;  // in the job directory: "1.Tavrosi", "2.Tavrosi"...
    double seconds = 0;    // as the playlist says (#EXTINF); 0 when it does not
    SegmentCipher cipher;
    std::optional<net::ByteRange> range;  // the slice of the address, if only a slice
    int mapIndex = -1;  // into JobPlan::maps: the map it is joined after; -1 without one
    int period = 0;     // how many discontinuities come before it
};

struct PlannedMap {
    std::string address;  // resolved
    std::optional<net::ByteRange> range;
};

struct JobPlan {
    std::string address;                    // where the playlist came from
    std::vector<PlannedSegment> segments;   // in playlist order
    std::vector<std::string> keyAddresses;  // resolved
    std::vector<PlannedMap> maps;           // of fragmented MP4 streams, in playlist order
    // The first method this program cannot decrypt that a segment is
    // encrypted with, or empty.
    std::string unsupportedMethod;
    // The plan of the audio rendition the video plays with, when a master
    // playlist gives the sound a playlist of its own; else null.
    std::shared_ptr<JobPlan> audio;

    void Clear() { *this = JobPlan(); }
};

extern JobPlan jobPlan;

// Where a playlist came from: the address its body came from after the
// redirects, or the path of a local file. The names inside it are resolved
// against this, as RFC 3986 says.
struct PlaylistSource {
    std::string location;
    bool local = false;
};

// The plan of a media playlist. Each URI line is taken by the first segment
// pattern that matches it, run through `regex`; the lines no pattern matches
// give no segment, yet count in the media sequence. False when the regular
// expression object cannot run.
bool PlanJob(const char* playlist, const PlaylistSource& source, RegexObject& regex, JobPlan* plan);

// A name of a playlist (segment, key, map, variant) as the address to fetch.
std::string ResolveName(const PlaylistSource& source, const std::string& name);

}  // namespace app
