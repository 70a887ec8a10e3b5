// Running the merge tool: its report as it comes, a wait that lets the window
// thread do its work, and an end for a tool that has gone quiet.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

namespace app {

// A tool that neither reports nor changes its output file for this long has
// hung: a merge that copies streams never pauses that long.
constexpr DWORD kToolQuietLimitMs = 120000;

struct ToolRun {
    bool started = false;   // false: the program could not be started (missing, not a program)
    bool stopped = false;   // true: ended by us: it went quiet, or the caller asked
    int32_t exitCode = -1;  // the tool's own; -1 when not started or stopped
    // Standard output when the tool wrote any, else standard error, byte for
    // byte as the tool wrote it (ffmpeg reports on standard error; the file
    // names in it are UTF-8).
    std::string report;
};

// Runs a command line with its window hidden, its standard output and error
// captured, and waits for it. onReport (may be empty) gets each piece of
// either stream as it arrives; for a tool that writes to one stream only, as
// ffmpeg does, the pieces joined are the report. waiting (may be empty) is
// called at least every 100 ms while the tool runs, not counting the time the
// two callbacks take. The tool is ended (TerminateProcess, then waited for)
// when waiting returns false, or when for quietLimitMs it has neither written
// anything nor changed the size of watchedFile (its output file, which may
// not exist yet; may be empty).
// What a child of the tool still holding its pipes writes after the tool's
// end is not waited for.
ToolRun RunTool(const std::string& commandLine, const std::string& watchedFile, DWORD quietLimitMs,
                const std::function<void(const std::string&)>& onReport,
                const std::function<bool()>& waiting);

// The last "time=HH:MM:SS.ss" the tool reported (ffmpeg's progress line), in
// seconds; negative when there is none.
double LastReportedTime(const std::string& report);

}  // namespace app
