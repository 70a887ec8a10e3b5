#include "app/code_page.h"

#include <vector>

#include "app/calls.h"
#include "app/declared_calls.h"

namespace app {

namespace {
constexpr uint32_t kGbk = 936;
constexpr uint32_t kUtf8 = 65001;
}  // namespace

std::string Utf8FromAnsi(const std::string& text) {
    if (text.empty()) return {};
    const int32_t characters = static_cast<int32_t>(
        CallDeclared(kMultiByteToWideChar, kGbk, 0, text.c_str(), -1, nullptr, 0));
    if (characters <= 0) return {};
    std::vector<uint8_t> wide(static_cast<size_t>(characters) * 2);
    CallDeclared(kMultiByteToWideChar, kGbk, 0, text.c_str(), -1, wide.data(), characters);
    const int32_t bytes = static_cast<int32_t>(CallDeclared(
        kWideCharToMultiByte, kUtf8, 0, wide.data(), -1, nullptr, 0, nullptr, nullptr));
    if (bytes <= 0) return {};
    std::vector<char> utf8(static_cast<size_t>(bytes));
    CallDeclared(kWideCharToMultiByte, kUtf8, 0, wide.data(), -1, utf8.data(), bytes, nullptr,
                 nullptr);
    return std::string(utf8.data());  // without the terminator the conversion wrote
}

}  // namespace app
