// A job's segments downloaded side by side.
//
// Threads and what each may touch:
// - The job's thread (the window's) makes the pool, takes the outcomes in
//   index order with Arrived, and destroys the pool. While it waits it calls
//   back whoever waits (the job writes its log there); the pool itself knows
//   nothing of the log, the windows or the application's globals.
// - Up to `connections` worker threads take the downloads in index order,
//   each into its own file, through net::DownloadSegment. A worker touches
//   only its download's address and file (read-only, shared), the outcome
//   slot of that download, the shared index of the next download, the
//   `finished` event, and the internet library's root, which locks itself.
//   It runs no command of the runtime and adds nothing to any window.
// So what the job writes is what a one-at-a-time download would have written.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "runtime/owned.h"

namespace net {

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

    // Whether download `index` arrived whole, waiting for it; `waiting` is
    // called at least every kWaitSliceMs while it waits.
    bool Arrived(size_t index, const std::function<void()>& waiting);

    static constexpr DWORD kWaitSliceMs = 100;

  private:
    enum Outcome : int { kPending, kArrived, kFailed };

    static DWORD __stdcall Work(void* self);

    const std::vector<SegmentDownload> downloads_;
    std::unique_ptr<std::atomic<int>[]> outcomes_;
    std::atomic<size_t> next_{0};           // the next download a worker takes
    const runtime::UniqueHandle finished_;  // set whenever a download ends
    std::vector<runtime::UniqueHandle> workers_;
};

}  // namespace net
