// Date-time values: an IEEE double counting days since 1899-12-30, the
// fraction being the time of day.
#pragma once

namespace runtime {

constexpr double kFirstDate = -657434.0;  // 0100-01-01
constexpr double kLastDate = 2958465.0;   // 9999-12-31

double ClampDate(double value);

struct DateParts {
    int year, month, day;
    int hour, minute, second;
};

// Splits a clamped date-time to the nearest second. As in OLE dates, the
// fraction of a negative value still counts forward from midnight.
DateParts SplitDate(double value);

// The date-time of fields that are in range; before 1899-12-30 the fraction
// again counts forward from midnight.
double JoinDate(const DateParts& parts);

// 1 for Sunday to 7 for Saturday, of the day SplitDate gives.
int WeekdayOf(double value);

}  // namespace runtime
