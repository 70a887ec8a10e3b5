// A body gathered in memory, for a playlist or a key.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>

#include "net/http_get.h"

namespace net {

// Its room doubles as the body grows, but never past `largest`, its GET's
// cap: a 64 MiB playlist must not ask a 32-bit process for 128 MiB at once.
class MemorySink : public BodySink {
  public:
    explicit MemorySink(uint64_t largest) : largest_(largest) {}
    bool Keep(const char* data, uint32_t size) override {
        const uint64_t needed = uint64_t{body_.size()} + size;
        if (needed > body_.capacity()) {
            body_.reserve(static_cast<size_t>(
                std::min(std::max(needed, uint64_t{body_.capacity()} * 2), largest_)));
        }
        body_.append(data, size);
        return true;
    }
    std::string& body() { return body_; }

  private:
    const uint64_t largest_;
    std::string body_;
};

}  // namespace net
