#include "tests/support/local_clock.h"

#include <windows.h>

namespace support {

long long LocalSecondsSince0800() {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    FILETIME asFileTime;
    ::SystemTimeToFileTime(&now, &asFileTime);
    ULARGE_INTEGER ticks;
    ticks.LowPart = asFileTime.dwLowDateTime;
    ticks.HighPart = asFileTime.dwHighDateTime;
    constexpr long long kTicksPerSecond = 10000000;
    constexpr long long kSecondsFrom1601To1970 = 11644473600;
    return static_cast<long long>(ticks.QuadPart / kTicksPerSecond) - kSecondsFrom1601To1970 -
           8 * 3600;
}

}  // namespace support
