// Segments fetched as the job's plan says: downloaded side by side, and
// decrypted with their key, in order, when they are encrypted.
#pragma once

#include <map>
#include <set>
#include <string>

#include "app/job_plan.h"
#include "net/segment_pool.h"

namespace app {

// The keys the plan's segments are encrypted with, each address read once,
// all before the first segment.
class KeyRing {
  public:
    explicit KeyRing(const JobPlan& plan);

    // The key, or null when it could not be had.
    const std::string* Find(int index) const;
    // Find, saying in the log, once for each address, why a key is missing.
    const std::string* KeyFor(int index);

  private:
    struct Key {
        std::string bytes;
        std::string failure;  // why it could not be read; empty when it was
    };
    const Key* Read(int index) const;

    const std::vector<std::string>& addresses_;
    std::map<std::string, Key> keys_;  // by address
    std::set<std::string> reported_;   // addresses said to be missing
};

// Whether a segment can be made whole once downloaded: it is not encrypted,
// or its key and IV are usable. Any other is not downloaded at all.
bool CanDecrypt(const SegmentCipher& cipher, const KeyRing& keys);

// Takes download `index` of the pool into `file` and decrypts it when
// `cipher` says it is encrypted; true when the segment is whole. The job's
// log is kept current while it waits.
bool TakeSegment(net::SegmentPool& pool, size_t index, const std::string& file,
                 const SegmentCipher& cipher, KeyRing& keys);

}  // namespace app
