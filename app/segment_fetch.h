// Segments fetched as the job's plan says: downloaded side by side, and
// decrypted with their key, in order, when they are encrypted.
#pragma once

#include <map>
#include <string>

#include "app/job_plan.h"
#include "app/segment_check.h"
#include "net/segment_download.h"
#include "net/segment_pool.h"

namespace app {

// The keys the plan's segments are encrypted with, each address read once,
// side by side, all before the first segment; each read gets a line that
// says how it went.
class KeyRing {
  public:
    explicit KeyRing(const JobPlan& plan);

    // The key, or null when it could not be had.
    const std::string* Find(int index) const;

  private:
    const std::vector<std::string>& addresses_;
    std::map<std::string, std::string> keys_;  // the usable keys, by address
};

// Whether a segment can be made whole once downloaded: it is not encrypted,
// or its key and IV are usable. Any other is not downloaded at all.
bool CanDecrypt(const SegmentCipher& cipher, const KeyRing& keys);

// FileContentProblem of a segment, once a picture in front of its stream, if
// any, is taken off; `hadPicture` (may be null) is set when there was one.
std::string SegmentProblem(const std::string& file, SegmentKind kind, bool* hadPicture);

// The check a segment's download passes once it arrived: its bytes are of
// `kind` (SegmentProblem). An encrypted segment is checked only once
// decrypted (TakeSegment). The check runs on a pool worker and writes
// nothing but the file and *hadPicture, which is the segment's own.
net::ContentCheck ArrivalCheck(const SegmentCipher& cipher, SegmentKind kind, bool* hadPicture);

// Takes download `index` of the pool into `file` and decrypts it when
// `cipher` says it is encrypted; true when the segment is whole and of
// `kind`, else `failure` says why not. The job's log is kept current while it
// waits.
bool TakeSegment(net::SegmentPool& pool, size_t index, const std::string& file,
                 const SegmentCipher& cipher, SegmentKind kind, const KeyRing& keys,
                 bool* hadPicture, std::string* failure);

}  // namespace app
