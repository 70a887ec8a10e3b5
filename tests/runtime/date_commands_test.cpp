#include "runtime/date_commands.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <cstring>

#include "app/calls.h"
#include "runtime/date_reader.h"
#include "runtime/date_time.h"

namespace {

using runtime::ArgRecord;
namespace tag = runtime::tag;

constexpr double kEpochInChina = 25569.0 + 8.0 / 24;  // 1970-01-01 08:00:00

ArgRecord DateArg(double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return {static_cast<uint32_t>(bits), static_cast<uint32_t>(bits >> 32), tag::kDateTime};
}

double Date(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return runtime::JoinDate({year, month, day, hour, minute, second});
}

double ToDate(const ArgRecord& value) {
    const ArgRecord args[] = {value};
    return runtime::DoubleOf(app::CallCore(runtime::ToDateTime, args));
}

double ReadText(const char* text) { return ToDate(app::TextArg(text)); }

double Difference(double a, double b, int32_t unit) {
    const ArgRecord args[] = {DateArg(a), DateArg(b), app::IntegerArg(unit)};
    return runtime::DoubleOf(app::CallCore(runtime::TimeDifference, args));
}

double Now() {
    const ArgRecord none[] = {{0, 0, 0}};
    return runtime::DoubleOf(::CallCoreCommand(runtime::Now, 0, none));
}

TEST(DateReader, ReadsNumericAndChineseForms) {
    EXPECT_DOUBLE_EQ(kEpochInChina, ReadText("1970-01-01 08:00:00"));
    EXPECT_DOUBLE_EQ(kEpochInChina, ReadText("1970年1月1日8时"));
    EXPECT_DOUBLE_EQ(Date(2024, 2, 29, 12, 30, 15), ReadText("2024年2月29日12时30分15秒"));
    EXPECT_DOUBLE_EQ(Date(2024, 2, 29, 12, 30, 15), ReadText("2024/2/29 12.30:15"));
    EXPECT_DOUBLE_EQ(Date(2024, 2, 29, 12, 30, 15), ReadText("2024-02-29 12:30:15秒"));
    EXPECT_DOUBLE_EQ(Date(2000, 2, 29), ReadText("2000-2-29"));
    // Fields are read by their digit counts, so separators may be left out.
    EXPECT_DOUBLE_EQ(Date(2024, 1, 2, 3, 4), ReadText("202401020304"));
    // One separator after the last field read still leaves missing fields at 0.
    EXPECT_DOUBLE_EQ(Date(2024, 5, 6), ReadText("2024-05-06 "));
    EXPECT_DOUBLE_EQ(Date(100, 1, 1), ReadText("100-1-1"));
    EXPECT_DOUBLE_EQ(Date(9999, 12, 31, 23, 59, 59), ReadText("9999-12-31 23:59:59"));
}

TEST(DateReader, RefusesOutOfRangeFieldsAndTrailingText) {
    for (const char* text :
         {"", "1900-02-29", "2023-02-29", "2024-13-01", "2024-00-10", "2024-04-31", "2024-01-00",
          "99-01-01", "2024-01-01 24:00:00", "2024-01-01 23:60:00", "2024-01-01 23:00:60", "2024",
          "2024-01", "2024-01-01x", "2024-01-01 08:00:00 ", "2024-01-01 08:00:00秒秒",
          " 2024-01-01", "1970年1月1日 8时", "2024--01-01"}) {
        runtime::DateParts parts{};
        EXPECT_FALSE(runtime::ReadDate(text, parts)) << "\"" << text << "\"";
        EXPECT_EQ(runtime::kFirstDate, ReadText(text)) << "\"" << text << "\"";
    }
}

TEST(DateCommands, ToDateTimeTakesDatesAsTheyAreAndRefusesOtherTypes) {
    EXPECT_EQ(45000.75, ToDate(DateArg(45000.75)));
    EXPECT_EQ(runtime::kFirstDate, ToDate(app::IntegerArg(45000)));
    EXPECT_EQ(runtime::kFirstDate, ToDate({0, 0, 0}));
}

TEST(DateCommands, PartsOfTheTimeOfDay) {
    const ArgRecord args[] = {DateArg(Date(1970, 1, 1, 8, 9, 10))};
    EXPECT_EQ(8u, app::CallCore(runtime::HourOf, args).low);
    EXPECT_EQ(9u, app::CallCore(runtime::MinuteOf, args).low);
    EXPECT_EQ(10u, app::CallCore(runtime::SecondOf, args).low);
    const ArgRecord lastSecond[] = {DateArg(Date(2024, 12, 31, 23, 59, 59))};
    EXPECT_EQ(23u, app::CallCore(runtime::HourOf, lastSecond).low);
    EXPECT_EQ(59u, app::CallCore(runtime::SecondOf, lastSecond).low);
}

TEST(DateCommands, NowIsTheLocalTimeToTheSecond) {
    SYSTEMTIME before;
    ::GetLocalTime(&before);
    const double now = Now();
    const double earlier = Date(before.wYear, before.wMonth, before.wDay, before.wHour,
                                before.wMinute, before.wSecond);
    // In seconds with a margin: x87 code may keep `earlier` in extended precision.
    const double seconds = (now - earlier) * 86400;
    EXPECT_GT(seconds, -1e-3);
    EXPECT_LT(seconds, 2.0);
    EXPECT_NEAR(std::round(now * 86400), now * 86400, 1e-3);  // no milliseconds
}

TEST(DateCommands, SecondsSinceAReadDateAreWhole) {
    const double seconds = Difference(Now(), ReadText("1970-01-01 08:00:00"), 8);
    EXPECT_EQ(std::trunc(seconds), seconds);
    EXPECT_GT(seconds, 1.7e9);
    EXPECT_NEAR((Now() - kEpochInChina) * 86400, seconds, 2.0);
}

TEST(DateCommands, CalendarUnitsCountBoundariesCrossed) {
    const double may = Date(2024, 5, 10);
    const double lastDecember = Date(2023, 12, 31);
    EXPECT_EQ(1.0, Difference(may, lastDecember, 1));
    EXPECT_EQ(2.0, Difference(may, lastDecember, 2));  // Q2 2024 against Q4 2023
    EXPECT_EQ(-2.0, Difference(lastDecember, may, 2));
    EXPECT_EQ(5.0, Difference(may, lastDecember, 3));
    EXPECT_EQ(1.0, Difference(Date(2024, 1, 1), Date(2023, 12, 31, 23, 59, 59), 1));
    // Units out of range are brought into it.
    EXPECT_EQ(1.0, Difference(may, lastDecember, 0));
    EXPECT_EQ(Difference(may, lastDecember, 8), Difference(may, lastDecember, 12));
    EXPECT_EQ(0.0, Difference(may, may, 4));
}

TEST(DateCommands, WeeksCountSundaysCrossed) {
    const double saturday = Date(2024, 6, 1);
    const double sunday = Date(2024, 6, 2);
    const double nextSaturday = Date(2024, 6, 8);
    const double mondayAfter = Date(2024, 6, 17);
    EXPECT_EQ(1.0, Difference(sunday, saturday, 4));
    EXPECT_EQ(-1.0, Difference(saturday, sunday, 4));
    EXPECT_EQ(0.0, Difference(nextSaturday, sunday, 4));
    EXPECT_EQ(1.0, Difference(Date(2024, 6, 9), sunday, 4));
    EXPECT_EQ(3.0, Difference(mondayAfter, saturday, 4));  // June 2, 9 and 16
    EXPECT_EQ(-3.0, Difference(saturday, mondayAfter, 4));
    EXPECT_EQ(1.0, Difference(Date(2024, 6, 2, 1), Date(2024, 6, 1, 23), 4));
}

TEST(DateCommands, TimeUnitsAreTruncatedDayFractions) {
    const double start = Date(2024, 3, 1, 6);
    EXPECT_EQ(1.5, Difference(start + 1.5, start, 5));
    EXPECT_EQ(36.0, Difference(start + 1.5, start, 6));
    // The small term is added whatever the sign, so a whole negative count loses one.
    EXPECT_EQ(-35.0, Difference(start, start + 1.5, 6));
    EXPECT_EQ(0.0, Difference(Date(2024, 3, 1, 6, 0, 59), start, 7));
    EXPECT_EQ(1.0, Difference(Date(2024, 3, 1, 6, 1, 0), start, 7));
    EXPECT_EQ(59.0, Difference(Date(2024, 3, 1, 6, 0, 59), start, 8));
    // Before 1899-12-30 the fraction counts forward from midnight: -1.25 is
    // 29 December, 06:00, eighteen hours before the 30th.
    EXPECT_EQ(-0.75, Difference(-1.25, 0.0, 5));
    EXPECT_EQ(1080.0, Difference(0.0, -1.25, 7));
    EXPECT_DOUBLE_EQ(-1.25, Date(1899, 12, 29, 6));
}

}  // namespace
