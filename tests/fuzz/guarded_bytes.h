// A copy of some bytes placed so that they end where readable memory ends:
// the next page may not be touched, so a reader that reads one byte past its
// input faults at once instead of reading whatever lies behind it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace fuzz {

class GuardedBytes {
  public:
    explicit GuardedBytes(const std::vector<uint8_t>& bytes) : size_(bytes.size()) {
        SYSTEM_INFO system;
        ::GetSystemInfo(&system);
        const size_t page = system.dwPageSize;
        const size_t readable = (size_ + page - 1) / page * page;
        base_ = static_cast<uint8_t*>(
            ::VirtualAlloc(nullptr, readable + page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD previous;
        ::VirtualProtect(base_ + readable, page, PAGE_NOACCESS, &previous);
        data_ = base_ + readable - size_;
        if (size_ != 0) std::memcpy(data_, bytes.data(), size_);
    }
    ~GuardedBytes() { ::VirtualFree(base_, 0, MEM_RELEASE); }
    GuardedBytes(const GuardedBytes&) = delete;
    GuardedBytes& operator=(const GuardedBytes&) = delete;

    const uint8_t* data() const { return data_; }
    size_t size() const { return size_; }

  private:
    size_t size_;
    uint8_t* base_ = nullptr;
    uint8_t* data_ = nullptr;
};

}  // namespace fuzz
