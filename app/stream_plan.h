// What "解析" found beyond the segment addresses and "开始" needs to make a
// whole video of them: the keys that decrypt segments and the IV of each,
// and the initialization map of a fragmented MP4 stream.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace app {

struct SegmentCipher {
    int keyIndex = -1;  // into StreamPlan::keyAddresses; -1 when not encrypted
    bool ivValid = true;
    uint8_t iv[16] = {};
};

struct StreamPlan {
    std::vector<std::string> keyAddresses;  // resolved as segment addresses are
    std::vector<SegmentCipher> segments;    // one per address of segmentList
    std::string mapAddress;                 // empty without an #EXT-X-MAP

    void Clear() { *this = StreamPlan(); }
};

extern StreamPlan streamPlan;

}  // namespace app
