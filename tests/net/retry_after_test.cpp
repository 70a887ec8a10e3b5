#include "net/retry_after.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

constexpr uint32_t kLongest = 0xFFFFFFFFu;

// 21 October 2015, 07:28:00 UTC.
SYSTEMTIME Now() {
    SYSTEMTIME now{};
    now.wYear = 2015;
    now.wMonth = 10;
    now.wDay = 21;
    now.wHour = 7;
    now.wMinute = 28;
    return now;
}

TEST(RetryAfter, TheWaitIsTheSecondsOrTheTimeUntilTheDate) {
    const struct {
        const char* value;
        const char* date;  // the answer's Date header
        std::optional<uint32_t> ms;
    } rows[] = {
        {"120", "", 120000},
        {"  3 ", "", 3000},
        {"0", "", 0},
        {"3600", "Wed, 21 Oct 2015 07:28:00 GMT", 3600000},
        {"99999999999999999999", "", kLongest},
        {"4294968", "", kLongest},  // seconds whose milliseconds pass 32 bits
        {"Wed, 21 Oct 2015 07:30:00 GMT", "", 120000},
        // Measured from the answer's own clock, not this machine's.
        {"Wed, 21 Oct 2015 07:30:00 GMT", "Wed, 21 Oct 2015 07:29:00 GMT", 60000},
        {"Wed, 21 Oct 2015 07:00:00 GMT", "", 0},
        {"Wednesday, 21-Oct-15 07:28:10 GMT", "", 10000},
        {"Wed Oct 21 07:29:00 2015", "", 60000},
        {"Wed, 21 Oct 2015 07:30:00 GMT", "yesterday", 120000},  // no readable Date
        {"Wed, 32 Oct 2015 07:30:00 GMT", "", std::nullopt},
        {"Wed, 21 Oct 2015 25:30:00 GMT", "", std::nullopt},
        {"", "", std::nullopt},
        {"-5", "", std::nullopt},
        {"1.5", "", std::nullopt},
        {"soon", "", std::nullopt},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.ms, net::RetryAfterMs(row.value, row.date, Now()))
            << '"' << row.value << "\" with Date \"" << row.date << '"';
    }
}

}  // namespace
