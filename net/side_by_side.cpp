#include "net/side_by_side.h"

#include <algorithm>
#include <utility>

namespace net {

SideBySide::SideBySide(size_t count, int threads, std::function<void(size_t)> work)
    : count_(count),
      work_(std::move(work)),
      done_(new std::atomic<bool>[count]()),
      finished_(::CreateEventA(nullptr, FALSE, FALSE, nullptr)) {
    const size_t workers = std::min(count, static_cast<size_t>(threads < 1 ? 1 : threads));
    for (size_t i = 0; i < workers; ++i) {
        runtime::UniqueHandle worker(::CreateThread(nullptr, 0, Work, this, 0, nullptr));
        if (worker) workers_.push_back(std::move(worker));
    }
}

SideBySide::~SideBySide() {
    for (const runtime::UniqueHandle& worker : workers_) {
        ::WaitForSingleObject(worker.get(), INFINITE);
    }
}

void SideBySide::WaitFor(size_t index, const std::function<void()>& waiting) {
    // Without a worker (none could start) the owner's thread does the work.
    if (workers_.empty() && !done_[index]) {
        work_(index);
        done_[index] = true;
    }
    // A message for the waiting thread ends the wait too: `waiting` may handle it at once.
    const HANDLE finished = finished_.get();
    while (!done_[index]) {
        ::MsgWaitForMultipleObjects(1, &finished, FALSE, kWaitSliceMs, QS_ALLINPUT);
        waiting();
    }
}

DWORD __stdcall SideBySide::Work(void* self) {
    SideBySide& runner = *static_cast<SideBySide*>(self);
    for (size_t index; (index = runner.next_++) < runner.count_;) {
        runner.work_(index);
        runner.done_[index] = true;
        ::SetEvent(runner.finished_.get());
    }
    return 0;
}

}  // namespace net
