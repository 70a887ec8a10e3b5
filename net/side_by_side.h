// Work items run side by side on a few threads of their own.
//
// Threads and what each may touch:
// - The owner's thread makes the runner, waits for items with WaitFor and
//   destroys it; while it waits it calls back whoever waits.
// - Up to `threads` workers take the items in index order and run `work` once
//   for each, while the other workers run it for other items: it may touch
//   only what belongs to its item and what locks itself.
// An item's work has returned, with all it wrote visible, once WaitFor for it
// returns.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "runtime/owned.h"

namespace net {

class SideBySide {
  public:
    static constexpr DWORD kWaitSliceMs = 100;

    // Starts up to `threads` workers (at least one) on items 0 to count - 1,
    // no more than there are items.
    SideBySide(size_t count, int threads, std::function<void(size_t)> work);
    // Waits for the workers, which end when no item is left.
    ~SideBySide();
    SideBySide(const SideBySide&) = delete;
    SideBySide& operator=(const SideBySide&) = delete;

    // Waits until item `index` is done, calling `waiting` at least every
    // kWaitSliceMs and whenever a message comes for the calling thread; runs
    // it on the calling thread when no worker could start.
    void WaitFor(size_t index, const std::function<void()>& waiting);

  private:
    static DWORD __stdcall Work(void* self);

    const size_t count_;
    const std::function<void(size_t)> work_;
    std::unique_ptr<std::atomic<bool>[]> done_;
    std::atomic<size_t> next_{0};           // the next item a worker takes
    const runtime::UniqueHandle finished_;  // set whenever an item is done
    std::vector<runtime::UniqueHandle> workers_;
};

}  // namespace net
