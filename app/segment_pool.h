// A job's segments downloaded side by side: worker threads take them in
// index order, each into its own file, while the job's thread takes the
// outcomes in index order, so that what it writes is what a one-at-a-time
// download would have written.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "runtime/owned.h"

namespace app {

struct SegmentDownload {
    std::string address;
    std::string file;
    bool wanted = true;  // false: the segment fails without a download
};

class SegmentPool {
  public:
    // Starts up to `connections` workers on the wanted downloads.
    SegmentPool(std::vector<SegmentDownload> downloads, int connections);
    // Waits for the workers, which end when no download is left.
    ~SegmentPool();
    SegmentPool(const SegmentPool&) = delete;
    SegmentPool& operator=(const SegmentPool&) = delete;

    // Whether download `index` arrived whole, waiting for it; the job's log
    // keeps being added to while it waits.
    bool Arrived(size_t index);

  private:
    enum Outcome : int { kPending, kArrived, kFailed };

    static DWORD __stdcall Work(void* self);

    const std::vector<SegmentDownload> downloads_;
    std::unique_ptr<std::atomic<int>[]> outcomes_;
    std::atomic<size_t> next_{0};           // the next download a worker takes
    const runtime::UniqueHandle finished_;  // set whenever a download ends
    std::vector<runtime::UniqueHandle> workers_;
};

}  // namespace app
