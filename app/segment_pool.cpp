#include "app/segment_pool.h"

#include <objbase.h>

#include <algorithm>
#include <utility>

#include "app/log.h"
#include "app/segment_download.h"

namespace app {

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

bool SegmentPool::Arrived(size_t index) {
    // Without a worker (none could start) the job's thread downloads itself.
    while (outcomes_[index] == kPending) {
        if (workers_.empty()) {
            const SegmentDownload& download = downloads_[index];
            SegmentWatcher watcher;
            outcomes_[index] = DownloadSegment(download.address.c_str(), download.file, watcher)
                                   ? kArrived
                                   : kFailed;
            break;
        }
        ::WaitForSingleObject(finished_.get(), kLogFlushIntervalMs);
        FlushLogIfDue();
    }
    return outcomes_[index] == kArrived;
}

DWORD __stdcall SegmentPool::Work(void* self) {
    SegmentPool& pool = *static_cast<SegmentPool*>(self);
    // urlmon's bindings need COM on the thread that starts them.
    const runtime::ComApartment com(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    SegmentWatcher watcher;
    for (size_t index; (index = pool.next_++) < pool.downloads_.size();) {
        const SegmentDownload& download = pool.downloads_[index];
        if (!download.wanted) continue;
        const bool arrived = DownloadSegment(download.address.c_str(), download.file, watcher);
        pool.outcomes_[index] = arrived ? kArrived : kFailed;
        ::SetEvent(pool.finished_.get());
    }
    return 0;
}

}  // namespace app
