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
    const long yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long monthIndex = (5 * dayOfYear + 2) / 153;
    day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
}

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
long DaysFromCivil(int year, int month, int day) {
    const long y = year - (month <= 2 ? 1 : 0);
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yearOfEra = y - era * 400;
    const long dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
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
    CivilFromDays(static_cast<long>(whole) - kDaysFrom1899To1970, parts.year, parts.month,
                  parts.day);
    parts.hour = static_cast<int>(seconds / 3600);
    parts.minute = static_cast<int>(seconds / 60 % 60);
    parts.second = static_cast<int>(seconds % 60);
    return parts;
}

double JoinDate(const DateParts& parts) {
    const long days = DaysFromCivil(parts.year, parts.month, parts.day) + kDaysFrom1899To1970;
    const double time = (parts.hour * 3600 + parts.minute * 60 + parts.second) / 86400.0;
    return days < 0 ? days - time : days + time;
}

int WeekdayOf(double value) {
    const DateParts parts = SplitDate(value);
    // 1970-01-01 was a Thursday, weekday 5.
    const long days = DaysFromCivil(parts.year, parts.month, parts.day) + 4;
    return static_cast<int>((days % 7 + 7) % 7) + 1;
}

}  // namespace runtime
