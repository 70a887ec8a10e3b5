// A job's segments downloaded side by side.
//
// Threads and what each may touch:
// - The job's thread (the window's) makes the pool, takes the outcomes in
//   index order with Arrived (and FailureOf), and destroys the pool. While it
//   waits it calls back whoever waits (the job writes its log there); the
//   pool itself knows nothing of the log, the windows or the application's
//   globals.
// - Up to `connections` worker threads (net/side_by_side.h) take the
//   downloads in index order, each into its own file, through
//   net::DownloadSegment. A worker touches only its download's address, file
//   and check (read-only, shared), the outcome and failure of that download,
//   the internet library's root, and the job's slice sources and server
//   pace, which lock themselves. The download's
//   content check runs on that worker, so it must touch nothing but the file
//   and what is its own or read-only. A worker runs no command of the runtime
//   and adds nothing to any window.
// So what the job writes is what a one-at-a-time download would have written.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "net/segment_download.h"
#include "net/side_by_side.h"

namespace net {

class SegmentPool {
  public:
    // Starts up to `connections` workers on the downloads; destroying the
    // pool waits for them, and they end when no download is left.
    SegmentPool(std::vector<SegmentDownload> downloads, int connections, SliceSources& slices,
                ServerPace& pace);

    // Whether download `index` arrived whole, waiting for it; `waiting` is
    // called at least every kWaitSliceMs while it waits.
    bool Arrived(size_t index, const std::function<void()>& waiting);
    // Why download `index` failed, once Arrived returned false; empty for one not wanted.
    std::string FailureOf(size_t index) const;

    static constexpr DWORD kWaitSliceMs = SideBySide::kWaitSliceMs;

  private:
    struct Outcome {
        bool arrived = false;
        std::string failure;
    };

    void Download(size_t index);

    const std::vector<SegmentDownload> downloads_;
    SliceSources& slices_;
    ServerPace& pace_;
    std::vector<Outcome> outcomes_;  // each written by its download's worker
    SideBySide runner_;              // last: its workers end before the rest goes
};

}  // namespace net
