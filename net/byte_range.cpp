#include "net/byte_range.h"

namespace net {

bool ReadDecimal(const char** at, uint64_t* number) {
    if (**at < '0' || **at > '9') return false;
    *number = 0;
    for (; **at >= '0' && **at <= '9'; ++*at) {
        const auto digit = static_cast<uint64_t>(**at - '0');
        if (*number > (UINT64_MAX - digit) / 10) return false;
        *number = *number * 10 + digit;
    }
    return true;
}

std::string RangeRequestValue(const ByteRange& range) {
    return "bytes=" + std::to_string(range.offset) + "-" + std::to_string(range.end() - 1);
}

bool ContentRangeNames(const std::string& contentRange, const ByteRange& range) {
    constexpr char kUnit[] = "bytes ";
    if (contentRange.compare(0, sizeof kUnit - 1, kUnit) != 0) return false;
    const char* at = contentRange.c_str() + sizeof kUnit - 1;
    uint64_t first = 0, last = 0;
    if (!ReadDecimal(&at, &first) || *at++ != '-' || !ReadDecimal(&at, &last) || *at++ != '/')
        return false;
    return first == range.offset && last == range.end() - 1;
}

}  // namespace net
