// The system's local time, read through the declared calls.
#pragma once

#include <cstdint>

namespace app {

// The fields of a SYSTEMTIME, kept as 32-bit integers.
struct LocalTime {
    int32_t year, month, dayOfWeek, day, hour, minute, second, milliseconds;
};

LocalTime ReadLocalTime();

}  // namespace app
