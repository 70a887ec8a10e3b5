// Tells a stalled transfer from a slow one. The transfer's thread reports how
// many bytes it has moved and asks, piece by piece, whether fewer than the
// minimum moved in the last window, and gives the transfer up if so. Another
// thread may read the total to see whether anything moves at all.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

namespace net {

class StallWatch {
  public:
    StallWatch(uint32_t windowMs, uint32_t minBytes)
        : windowMs_(windowMs), minBytes_(minBytes), windowStart_(::GetTickCount()) {}
    StallWatch(const StallWatch&) = delete;
    StallWatch& operator=(const StallWatch&) = delete;

    // From the transfer's thread: the bytes moved so far.
    void Moved(uint32_t totalBytes) { total_.store(totalBytes, std::memory_order_relaxed); }
    // From any thread.
    uint32_t total() const { return total_.load(std::memory_order_relaxed); }

    // From the transfer's thread only.
    bool Stalled() {
        const DWORD now = ::GetTickCount();
        const uint32_t total = total_.load(std::memory_order_relaxed);
        if (total - bytesAtWindowStart_ >= minBytes_) {
            windowStart_ = now;
            bytesAtWindowStart_ = total;
            return false;
        }
        return now - windowStart_ >= windowMs_;
    }

  private:
    std::atomic<uint32_t> total_{0};
    const uint32_t windowMs_;
    const uint32_t minBytes_;
    DWORD windowStart_;
    uint32_t bytesAtWindowStart_ = 0;
};

}  // namespace net
