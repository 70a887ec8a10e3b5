#include "app/tool_run.h"

#include <cmath>

#include "runtime/piped_process.h"

namespace app {

namespace {

// Leaves room within `waiting`'s 100 ms for a pass over the pipes and the file.
constexpr DWORD kPollMs = 50;

constexpr char kTimeField[] = "time=";

// The file's size; -1 while there is none.
int64_t FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (path.empty() || !::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
        return -1;
    }
    return static_cast<int64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

// Tells a tool that has hung from a slow one. Any change of the output's size
// counts as work, not only growth: a tool run again first truncates the
// output a run before it left.
class QuietWatch {
  public:
    QuietWatch(const std::string& watchedFile, DWORD limitMs)
        : file_(watchedFile),
          limitMs_(limitMs),
          size_(FileSize(watchedFile)),
          lastWork_(::GetTickCount()) {}

    // Whether the limit has passed since the tool last reported or changed
    // the file.
    bool Quiet(bool reported) {
        const int64_t size = FileSize(file_);
        const DWORD now = ::GetTickCount();
        if (reported || size != size_) {
            size_ = size;
            lastWork_ = now;
            return false;
        }
        return now - lastWork_ >= limitMs_;
    }

  private:
    const std::string file_;
    const DWORD limitMs_;
    int64_t size_;
    DWORD lastWork_;
};

// Reads a run of digits at `at` into value; returns how many there were.
size_t ReadDigits(const std::string& text, size_t& at, double& value) {
    const size_t start = at;
    value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        value = value * 10 + (text[at] - '0');
    }
    return at - start;
}

bool Skip(const std::string& text, size_t& at, char expected) {
    if (at >= text.size() || text[at] != expected) return false;
    ++at;
    return true;
}

// The "HH:MM:SS.ss" at `at`, in seconds; negative when it is not one.
double ClockSeconds(const std::string& text, size_t at) {
    double hours = 0, minutes = 0, seconds = 0, fraction = 0;
    if (ReadDigits(text, at, hours) == 0 || !Skip(text, at, ':') ||
        ReadDigits(text, at, minutes) != 2 || !Skip(text, at, ':') ||
        ReadDigits(text, at, seconds) != 2 || !Skip(text, at, '.')) {
        return -1;
    }
    const size_t fractionDigits = ReadDigits(text, at, fraction);
    return hours * 3600 + minutes * 60 + seconds + fraction / std::pow(10.0, fractionDigits);
}

}  // namespace

ToolRun RunTool(const std::string& commandLine, const std::string& watchedFile, DWORD quietLimitMs,
                const std::function<void(const std::string&)>& onReport,
                const std::function<bool()>& waiting) {
    ToolRun run;
    runtime::OutputPipe output, error;
    if (commandLine.empty() || !runtime::CreateOutputPipe(output) ||
        !runtime::CreateOutputPipe(error)) {
        return run;
    }
    const runtime::UniqueHandle process =
        runtime::StartWithPipes(commandLine.c_str(), output, error);
    if (!process) return run;
    run.started = true;

    QuietWatch watch(watchedFile, quietLimitMs);
    bool ended = false;
    for (;;) {
        bool reported = false;
        for (runtime::OutputPipe* pipe : {&output, &error}) {
            const size_t before = pipe->collected.size();
            if (!pipe->read || !runtime::Drain(*pipe)) continue;
            reported = true;
            if (onReport) onReport(pipe->collected.substr(before));
        }
        // All the tool wrote was in its pipes when it ended, and this pass took
        // it; a child of the tool may hold them open for ever.
        if (ended) break;
        const bool goOn = !waiting || waiting();
        if (!run.stopped && (watch.Quiet(reported) || !goOn)) {
            // The code given is not reported: a stopped tool has none of its own.
            run.stopped = ::TerminateProcess(process.get(), 1) != FALSE;
        }
        ended = ::WaitForSingleObject(process.get(), reported ? 0 : kPollMs) == WAIT_OBJECT_0;
    }
    if (!run.stopped) run.exitCode = runtime::ExitCodeOf(process.get());
    run.report = output.collected.empty() ? error.collected : output.collected;
    return run;
}

double LastReportedTime(const std::string& report) {
    for (size_t at = report.rfind(kTimeField); at != std::string::npos;
         at = at > 0 ? report.rfind(kTimeField, at - 1) : std::string::npos) {
        const double seconds = ClockSeconds(report, at + sizeof kTimeField - 1);
        if (seconds >= 0) return seconds;
    }
    return -1;
}

}  // namespace app
