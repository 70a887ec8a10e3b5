#include "runtime/date_commands.h"

#include <windows.h>

#include <cmath>
#include <cstring>

#include "runtime/command_args.h"
#include "runtime/date_reader.h"
#include "runtime/date_time.h"

namespace runtime {

namespace {

// Added to hours, minutes and seconds before truncation, so that a difference
// a hair below a whole unit still counts as that unit.
constexpr double kRoundingTerm = 5.787037037037037e-6;

void SetDouble(ArgRecord* result, double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    result->low = static_cast<uint32_t>(bits);
    result->high = static_cast<uint32_t>(bits >> 32);
}

double DateArgument(const ArgRecord& value) { return ClampDate(DoubleOf(value)); }

// Days on a straight line: before 1899-12-30 the stored fraction counts
// forward from midnight while the day part counts backward.
double LinearDays(double date) {
    const double day = std::trunc(date);
    return day + std::fabs(date - day);
}

double Difference(double a, double b, int32_t unit) {
    const DateParts pa = SplitDate(a);
    const DateParts pb = SplitDate(b);
    const double days = LinearDays(a) - LinearDays(b);
    switch (unit) {
        case 1:
            return pa.year - pb.year;
        case 2:
            return (pa.month - 1) / 3 + 4 * (pa.year - pb.year) - (pb.month - 1) / 3;
        case 3:
            return 12 * (pa.year - pb.year) + pa.month - pb.month;
        case 4: {
            double weeks = std::trunc(std::trunc(days) / 7);
            const int weekdayA = WeekdayOf(a);
            const int weekdayB = WeekdayOf(b);
            if (days > 0 && weekdayA < weekdayB) weeks += 1;
            if (days < 0 && weekdayA > weekdayB) weeks -= 1;
            return weeks;
        }
        case 5:
            return days;
        case 6:
            return std::trunc(days * 24 + kRoundingTerm);
        case 7:
            return std::trunc(days * 1440 + kRoundingTerm);
        default:
            return std::trunc(days * 86400 + kRoundingTerm);
    }
}

template <int DateParts::*Field>
void SetPartOf(ArgRecord* result, int32_t argCount, const ArgRecord* args) {
    if (argCount >= 1) SetInteger(result, SplitDate(DateArgument(args[0])).*Field);
}

}  // namespace

void ToDateTime(ArgRecord* result, int32_t argCount, const ArgRecord* args) {
    double date = kFirstDate;
    DateParts parts{};
    if (argCount >= 1 && args[0].tag == tag::kDateTime) {
        date = DoubleOf(args[0]);
    } else if (argCount >= 1 && args[0].tag == tag::kText &&
               ReadDate(TextArgument(args[0]), parts)) {
        date = JoinDate(parts);
    }
    SetDouble(result, date);
}

void Now(ArgRecord* result, int32_t, const ArgRecord*) {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    SetDouble(result,
              JoinDate({now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond}));
}

void TimeDifference(ArgRecord* result, int32_t argCount, const ArgRecord* args) {
    if (argCount < 3) return;
    const double a = DateArgument(args[0]);
    const double b = DateArgument(args[1]);
    const int32_t unit = IntegerArgument(args[2]);
    SetDouble(result, a == b ? 0.0 : Difference(a, b, unit < 1 ? 1 : unit > 8 ? 8 : unit));
}

void HourOf(ArgRecord* result, int32_t argCount, const ArgRecord* args) {
    SetPartOf<&DateParts::hour>(result, argCount, args);
}

void MinuteOf(ArgRecord* result, int32_t argCount, const ArgRecord* args) {
    SetPartOf<&DateParts::minute>(result, argCount, args);
}

void SecondOf(ArgRecord* result, int32_t argCount, const ArgRecord* args) {
    SetPartOf<&DateParts::second>(result, argCount, args);
}

}  // namespace runtime
