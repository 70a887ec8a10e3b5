// Reading a date and time from text, as the to-date-time command does.
#pragma once

#include "runtime/date_time.h"

namespace runtime {

// Year (up to four digits), month, day, hour, minute and second (up to two
// digits each), with at most one separator between fields: "-", "/", ".",
// ":", a space, or the unit just read (年 月 日 时 分); missing fields are 0 and
// the text may end in 秒. False when the text is empty, has anything else
// after the second, or a field is out of its range.
bool ReadDate(const char* text, DateParts& parts);

}  // namespace runtime
