// Tells a stalled transfer from a slow one. The transfer's thread starts the
// watch when its body begins, reports how many bytes it has moved, and asks,
// piece by piece, whether the window that just ended moved less than the
// minimum average rate, and gives the transfer up if so. Another thread may
// read the total to see whether anything moves at all.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

namespace net {

class StallWatch {
  public:
    StallWatch(uint32_t windowMs, uint32_t bytesPerSecond)
        : windowMs_(windowMs), bytesPerSecond_(bytesPerSecond), windowStart_(::GetTickCount()) {}
    StallWatch(const StallWatch&) = delete;
    StallWatch& operator=(const StallWatch&) = delete;

    // From the transfer's thread: the first window begins.
    void Start() {
        windowStart_ = ::GetTickCount();
        bytesAtWindowStart_ = total();
    }
    // From the transfer's thread: the bytes moved so far.
    void Moved(uint32_t totalBytes) { total_.store(totalBytes, std::memory_order_relaxed); }
    // From any thread.
    uint32_t total() const { return total_.load(std::memory_order_relaxed); }

    // From the transfer's thread only. A window is judged at the first piece
    // after its end, over the time it really lasted; the next one begins there.
    bool Stalled() {
        const DWORD now = ::GetTickCount();
        const DWORD elapsed = now - windowStart_;
        if (elapsed < windowMs_) return false;
        const uint32_t moved = total() - bytesAtWindowStart_;
        if (uint64_t{moved} * 1000 < uint64_t{bytesPerSecond_} * elapsed) return true;
        windowStart_ = now;
        bytesAtWindowStart_ = total();
        return false;
    }

  private:
    std::atomic<uint32_t> total_{0};
    const uint32_t windowMs_;
    const uint32_t bytesPerSecond_;
    DWORD windowStart_;
    uint32_t bytesAtWindowStart_ = 0;
};

}  // namespace net
