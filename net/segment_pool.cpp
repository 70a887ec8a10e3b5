#include "net/segment_pool.h"

#include <utility>

namespace net {

SegmentPool::SegmentPool(std::vector<SegmentDownload> downloads, int connections,
                         SliceSources& slices, ServerPace& pace)
    : downloads_(std::move(downloads)),
      slices_(slices),
      pace_(pace),
      outcomes_(downloads_.size()),
      runner_(downloads_.size(), connections, [this](size_t index) { Download(index); }) {}

bool SegmentPool::Arrived(size_t index, const std::function<void()>& waiting) {
    runner_.WaitFor(index, waiting);
    return outcomes_[index].arrived;
}

std::string SegmentPool::FailureOf(size_t index) const { return outcomes_[index].failure; }

void SegmentPool::Download(size_t index) {
    const SegmentDownload& download = downloads_[index];
    if (!download.wanted) return;
    Outcome& outcome = outcomes_[index];
    outcome.arrived = DownloadSegment(download, slices_, pace_, &outcome.failure);
}

}  // namespace net
