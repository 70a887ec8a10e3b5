// The log box: every message is a line of the time stamp and the message.
#pragma once

#include <cstdint>
#include <string>

namespace app {

// "[" + hour + ":" + minute + ":" + second + "]", without leading zeros.
std::string LogStamp();

// Appends LogStamp() + message to the log box; the message starts with a
// blank and ends with "\r\n". While a LogBatch is open the line is stamped
// now and added with the others of its batch.
void Log(const std::string& message);

// Appends text to the line logged last, without a stamp: a tool's report as
// it comes.
void LogContinued(const std::string& text);

// Each line added to a visible multi-line edit box costs a redraw of its
// scroll bar; a job's lines go in batches instead, in order, each with the
// stamp of when it was written. The batch is added at least every
// kLogFlushIntervalMs (on the next line, or while a download waits), before
// anything that shows the user something else (the tool's run, a message
// box: FlushLog), and when the batch closes.
constexpr uint32_t kLogFlushIntervalMs = 250;

class LogBatch {
  public:
    LogBatch();
    ~LogBatch();
    LogBatch(const LogBatch&) = delete;
    LogBatch& operator=(const LogBatch&) = delete;
};

// Adds the lines queued so far.
void FlushLog();
// FlushLog when the last flush is kLogFlushIntervalMs or more ago; on any
// thread but the window's, nothing.
void FlushLogIfDue();

}  // namespace app
