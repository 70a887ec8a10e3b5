// A slice of a resource, as a playlist names it with #EXT-X-BYTERANGE or a
// map's BYTERANGE attribute, and the HTTP headers that ask for it and
// answer it (RFC 9110, section 14).
#pragma once

#include <cstdint>
#include <string>

namespace net {

struct ByteRange {
    uint64_t offset = 0;
    uint64_t length = 0;  // never 0

    uint64_t end() const { return offset + length; }  // the byte after the slice
};

// Reads the decimal digits at `*at`, stepping past them; false without any,
// or for a number past 2^64.
bool ReadDecimal(const char** at, uint64_t* number);

// "bytes=first-last", the value of the Range header that asks for the slice.
std::string RangeRequestValue(const ByteRange& range);

// Whether a 206 answer's Content-Range ("bytes first-last/total", the total
// perhaps "*") names exactly the slice.
bool ContentRangeNames(const std::string& contentRange, const ByteRange& range);

}  // namespace net
