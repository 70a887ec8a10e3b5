// Naming a download job: 16 lower-case hexadecimal digits of an MD5 of the
// current Unix time, so that each job gets a fresh directory.
#pragma once

#include <string>

namespace app {

// Seconds since 1970-01-01 08:00:00 local time joined with the milliseconds,
// cut or padded with "0" to 10 characters.
std::string UnixTimeText();
// 32 upper-case hexadecimal digits, or the empty text when CryptoAPI fails.
std::string Md5Hex(const std::string& bytes);
// The time text after `timeText`, as a number one greater: the next name to
// try when a job directory of this name is there already.
std::string NextTimeText(const std::string& timeText);
// Characters 9 to 24 of the time text's digest, in lower case.
std::string JobNameOf(const std::string& timeText);

}  // namespace app
