#include "runtime/date_reader.h"

#include <cstring>

namespace runtime {

namespace {

// Each is two bytes in code page 936.
constexpr const char* kFieldUnits[] = {"年", "月", "日", "时", "分"};
constexpr const char* kSecondUnit = "秒";
constexpr int kFieldDigits[] = {4, 2, 2, 2, 2, 2};

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

int ReadField(const char*& p, int maxDigits) {
    int value = 0;
    for (int n = 0; n < maxDigits && *p >= '0' && *p <= '9'; ++n, ++p)
        value = value * 10 + (*p - '0');
    return value;
}

// strncmp stops at the terminator, so a unit is never looked for past the text's end.
bool Skip(const char*& p, const char* unit) {
    const size_t length = std::strlen(unit);
    if (std::strncmp(p, unit, length) != 0) return false;
    p += length;
    return true;
}

bool InRange(const DateParts& d) {
    return d.year >= 100 && d.year <= 9999 && d.month >= 1 && d.month <= 12 && d.day >= 1 &&
           d.day <= DaysInMonth(d.year, d.month) && d.hour >= 0 && d.hour <= 23 && d.minute >= 0 &&
           d.minute <= 59 && d.second >= 0 && d.second <= 59;
}

}  // namespace

bool ReadDate(const char* text, DateParts& parts) {
    if (!text || !*text) return false;
    int* const fields[] = {&parts.year, &parts.month,  &parts.day,
                           &parts.hour, &parts.minute, &parts.second};
    const char* p = text;
    for (int i = 0; i < 6; ++i) {
        *fields[i] = ReadField(p, kFieldDigits[i]);
        if (i == 5) break;
        if (*p && std::strchr("-/.: ", *p)) {
            ++p;
        } else {
            Skip(p, kFieldUnits[i]);
        }
    }
    Skip(p, kSecondUnit);
    return *p == '\0' && InRange(parts);
}

}  // namespace runtime
