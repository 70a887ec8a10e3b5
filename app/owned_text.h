// A heap text a command handed to the application, freed when it goes out of
// scope; commands give null for the empty text.
#pragma once

#include <cstring>
#include <string>
#include <utility>

#include "app/runtime_entries.h"
#include "runtime/values.h"

namespace app {

class OwnedText {
public:
    OwnedText() = default;
    explicit OwnedText(char* text) : text_(text) {}
    explicit OwnedText(const runtime::ArgRecord& result) : text_(reinterpret_cast<char*>(result.low)) {}
    ~OwnedText() { FreeMemory(text_); }
    OwnedText(OwnedText&& other) noexcept : text_(std::exchange(other.text_, nullptr)) {}
    OwnedText& operator=(OwnedText&& other) noexcept {
        if (this != &other) {
            FreeMemory(text_);
            text_ = std::exchange(other.text_, nullptr);
        }
        return *this;
    }
    OwnedText(const OwnedText&) = delete;
    OwnedText& operator=(const OwnedText&) = delete;

    // Never null: the empty text reads as "".
    const char* c_str() const { return text_ ? text_ : ""; }
    bool empty() const { return !text_ || !*text_; }
    char* release() { return std::exchange(text_, nullptr); }

private:
    char* text_ = nullptr;
};

// A new heap text holding `text`; null for the empty text, as commands give it.
inline char* NewHeapText(const std::string& text) {
    if (text.empty()) return nullptr;
    char* copy = static_cast<char*>(AllocMemory(static_cast<uint32_t>(text.size() + 1)));
    std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

}  // namespace app
