// Reading little-endian fields from bytes that may be short or corrupt: every
// read is checked against what is there, and a failed read poisons the reader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace ui {

class ByteReader {
  public:
    ByteReader(const uint8_t* data, size_t length) : data_(data), length_(length) {}

    bool ok() const { return ok_; }
    size_t position() const { return position_; }
    size_t remaining() const { return ok_ ? length_ - position_ : 0; }

    bool Skip(size_t count) { return Take(count) != nullptr; }

    uint32_t U32() {
        uint32_t value = 0;
        if (const uint8_t* p = Take(4)) std::memcpy(&value, p, 4);
        return value;
    }
    int32_t I32() { return static_cast<int32_t>(U32()); }
    uint16_t U16() {
        uint16_t value = 0;
        if (const uint8_t* p = Take(2)) std::memcpy(&value, p, 2);
        return value;
    }

    // A u32 length, then that many bytes.
    const uint8_t* Counted(uint32_t* length) {
        *length = U32();
        const uint8_t* bytes = Take(*length);
        if (!bytes) *length = 0;
        return bytes;
    }
    std::string CountedText() {
        uint32_t length = 0;
        const uint8_t* bytes = Counted(&length);
        return bytes ? std::string(reinterpret_cast<const char*>(bytes), length) : std::string();
    }
    // Bytes up to and including a NUL, which must be there.
    const char* Terminated() {
        if (!ok_) return nullptr;
        const void* nul = std::memchr(data_ + position_, 0, length_ - position_);
        if (!nul) return Fail();
        const char* text = reinterpret_cast<const char*>(data_ + position_);
        position_ = static_cast<const uint8_t*>(nul) - data_ + 1;
        return text;
    }

    const uint8_t* Take(size_t count) {
        if (!ok_ || count > length_ - position_) return Fail();
        const uint8_t* p = data_ + position_;
        position_ += count;
        return p;
    }

  private:
    std::nullptr_t Fail() {
        ok_ = false;
        return nullptr;
    }

    const uint8_t* data_;
    size_t length_;
    size_t position_ = 0;
    bool ok_ = true;
};

}  // namespace ui
