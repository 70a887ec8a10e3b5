// How long a busy server (503 or 429) asked to be left alone, from its
// Retry-After header (RFC 9110, section 10.2.3).
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace net {

// The wait in milliseconds that `value` asks for: a number of seconds, or an
// HTTP date measured from the answer's Date (`date`) or, without a readable
// one, from `now` (UTC); 0 for a date already past. Nothing when the value
// is missing or unreadable. A wait too long for 32 bits is the longest one.
std::optional<uint32_t> RetryAfterMs(const std::string& value, const std::string& date,
                                     const SYSTEMTIME& now);

}  // namespace net
