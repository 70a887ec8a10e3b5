// The log box: every message is a line of the time stamp and the message.
#pragma once

#include <string>

namespace app {

// "[" + hour + ":" + minute + ":" + second + "]", without leading zeros.
std::string LogStamp();

// Appends LogStamp() + message to the log box; the message starts with a
// blank and ends with "\r\n".
void Log(const std::string& message);

}  // namespace app
