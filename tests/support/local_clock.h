// The clock a job name is made from, read the way a test can check it.
#pragma once

namespace support {

// Seconds since 1970-01-01 08:00:00 local time: the Unix time in a UTC+8 zone.
long long LocalSecondsSince0800();

}  // namespace support
