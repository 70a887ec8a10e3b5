#include "runtime/date_time.h"

#include <cmath>

namespace runtime {

namespace {

constexpr long kDaysFrom1899To1970 = 25569;

// Days since 1970-01-01 to a civil date (proleptic Gregorian).
void CivilFromDays(long days, int& year, int& month, int& day) {
    days += 719468;
    const long era = (days >= 0 ? days : days - 146096) / 146097;
    const long dayOfEra = days - era * 146097;
    const long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long monthIndex = (5 * dayOfYear + 2) / 153;
    day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
}

}  // namespace

double ClampDate(double value) {
    if (std::isnan(value) || value < kFirstDate) return kFirstDate;
    if (value > kLastDate) return kLastDate;
    return value;
}

DateParts SplitDate(double value) {
    value = ClampDate(value);
    double whole = std::trunc(value);
    long seconds = std::lround(std::fabs(value - whole) * 86400.0);
    if (seconds >= 86400) {
        seconds -= 86400;
        whole += 1;
    }
    DateParts parts{};
    CivilFromDays(static_cast<long>(whole) - kDaysFrom1899To1970, parts.year, parts.month, parts.day);
    parts.hour = static_cast<int>(seconds / 3600);
    parts.minute = static_cast<int>(seconds / 60 % 60);
    parts.second = static_cast<int>(seconds % 60);
    return parts;
}

}  // namespace runtime
