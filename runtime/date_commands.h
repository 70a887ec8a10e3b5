// Core commands on date-times: reading, the current time, differences and
// the parts of the time of day.
#pragma once

#include "runtime/values.h"

namespace runtime {

// (text or date-time) -> date-time: a text is read as a date; unreadable gives the first date.
void ToDateTime(ArgRecord* result, int32_t argCount, const ArgRecord* args);
// () -> date-time: the local date and time, to the second.
void Now(ArgRecord* result, int32_t argCount, const ArgRecord* args);
// (date-time a, date-time b, unit 1..8) -> double: a - b in years, quarters, months, weeks,
// days, hours, minutes or seconds.
void TimeDifference(ArgRecord* result, int32_t argCount, const ArgRecord* args);
// (date-time) -> integer: 0 to 23.
void HourOf(ArgRecord* result, int32_t argCount, const ArgRecord* args);
// (date-time) -> integer: 0 to 59.
void MinuteOf(ArgRecord* result, int32_t argCount, const ArgRecord* args);
// (date-time) -> integer: 0 to 59.
void SecondOf(ArgRecord* result, int32_t argCount, const ArgRecord* args);

}  // namespace runtime
