#include "net/segment_pool.h"

#include <algorithm>
#include <utility>

#include "net/segment_download.h"

namespace net {

SegmentPool::SegmentPool(std::vector<SegmentDownload> downloads, int connections)
    : downloads_(std::move(downloads)),
      outcomes_(new std::atomic<int>[downloads_.size()]),
      finished_(::CreateEventA(nullptr, FALSE, FALSE, nullptr)) {
    size_t wanted = 0;
    for (size_t i = 0; i < downloads_.size(); ++i) {
        outcomes_[i] = downloads_[i].wanted ? kPending : kFailed;
        wanted += downloads_[i].wanted ? 1 : 0;
    }
    const size_t workers = std::min(wanted, static_cast<size_t>(connections < 1 ? 1 : connections));
    for (size_t i = 0; i < workers; ++i) {
        runtime::UniqueHandle worker(::CreateThread(nullptr, 0, Work, this, 0, nullptr));
        if (worker) workers_.push_back(std::move(worker));
    }
}

SegmentPool::~SegmentPool() {
    for (const runtime::UniqueHandle& worker : workers_) {
        ::WaitForSingleObject(worker.get(), INFINITE);
    }
}

bool SegmentPool::Arrived(size_t index, const std::function<void()>& waiting) {
    while (outcomes_[index] == kPending) {
        // Without a worker (none could start) the job's thread downloads itself.
        if (workers_.empty()) {
            const SegmentDownload& download = downloads_[index];
            outcomes_[index] =
                DownloadSegment(download.address, download.file) ? kArrived : kFailed;
            break;
        }
        ::WaitForSingleObject(finished_.get(), kWaitSliceMs);
        waiting();
    }
    return outcomes_[index] == kArrived;
}

DWORD __stdcall SegmentPool::Work(void* self) {
    SegmentPool& pool = *static_cast<SegmentPool*>(self);
    for (size_t index; (index = pool.next_++) < pool.downloads_.size();) {
        const SegmentDownload& download = pool.downloads_[index];
        if (!download.wanted) continue;
        const bool arrived = DownloadSegment(download.address, download.file);
        pool.outcomes_[index] = arrived ? kArrived : kFailed;
        ::SetEvent(pool.finished_.get());
    }
    return 0;
}

}  // namespace net
