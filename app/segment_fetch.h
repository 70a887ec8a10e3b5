// Segments fetched as the playlist's tags say: downloaded, and decrypted
// with their key when they are encrypted.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "app/stream_plan.h"

namespace app {

// The stream's keys, each address read once, when a segment first needs it.
class KeyRing {
  public:
    explicit KeyRing(const StreamPlan& plan) : addresses_(plan.keyAddresses) {}

    // The key, or null when it could not be had (said once in the log).
    const std::string* KeyFor(int index);

  private:
    const std::vector<std::string>& addresses_;
    std::map<std::string, std::string> keys_;  // by address
};

// Downloads a segment into `file`, decrypting it when `cipher` says it is
// encrypted; a segment whose key or IV is unusable fails without a download.
bool FetchSegment(const char* address, const std::string& file, const SegmentCipher* cipher,
                  KeyRing& keys);

}  // namespace app
