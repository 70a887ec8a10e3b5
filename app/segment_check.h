// Whether a segment's bytes are what its playlist promises. A server that is
// overloaded may answer 200 with an error page or with nothing at all; such
// a body must never pass for video, or the merge would stop at it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace app {

enum class SegmentKind {
    // A segment that stands alone (no #EXT-X-MAP): MPEG-TS, packed audio
    // behind an ID3 tag, or a whole MP4 file, as some sites serve.
    kStandalone,
    kFragment,  // a fragmented MP4 stream's map or fragment
};

// Empty when `head` (the first bytes of a segment of `totalSize` bytes; at
// least kCheckedBytes of them when there are that many) is of the kind; else
// why not, in words for the log.
std::string ContentProblem(const uint8_t* head, size_t headSize, uint64_t totalSize,
                           SegmentKind kind);
// ContentProblem of a file's first bytes.
std::string FileContentProblem(const std::string& path, SegmentKind kind);

constexpr size_t kCheckedBytes = 189;  // the first TS packet and the sync byte of the second

}  // namespace app
