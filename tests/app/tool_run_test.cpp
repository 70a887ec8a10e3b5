#include "app/tool_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/support/child_process.h"

namespace {

std::string Program(const std::string& name, const std::string& arguments) {
    return "\"" + driver::ProgramDirectory() + name + "\" " + arguments;
}

// "e3o2" for "eeeoo": the test programs write runs of one letter.
std::string Runs(const std::string& text) {
    std::string runs;
    for (size_t at = 0, end = 0; at < text.size(); at = end) {
        end = text.find_first_not_of(text[at], at);
        if (end == std::string::npos) end = text.size();
        runs += text[at] + std::to_string(end - at);
    }
    return runs;
}

// What the caller of RunTool sees, in one line. The pieces are sorted: the
// two streams' pieces come in the order they arrive, which no test can fix.
std::string Outcome(const std::string& commandLine, const std::string& watchedFile,
                    DWORD quietLimitMs, bool goOn) {
    std::string pieces;
    bool waited = false;
    const app::ToolRun run = app::RunTool(
        commandLine, watchedFile, quietLimitMs, [&](const std::string& piece) { pieces += piece; },
        [&] {
            waited = true;
            return goOn;
        });
    std::sort(pieces.begin(), pieces.end());
    return "started=" + std::to_string(run.started) + " stopped=" + std::to_string(run.stopped) +
           " exit=" + std::to_string(run.exitCode) + " report=" + Runs(run.report) +
           " pieces=" + Runs(pieces) + " waited=" + std::to_string(waited);
}

TEST(ToolRun, ReportExitAndEnds) {
    const std::string output = driver::MakeTempDirectory() + "\\output.mp4";
    const struct {
        std::string commandLine;
        DWORD quietLimitMs;
        std::string expected;
        bool goOn = true;  // what waiting answers
    } rows[] = {
        // More than a pipe holds, on standard error as ffmpeg writes it.
        {Program("output_writer.exe", "0 200000 0"), 10000,
         "started=1 stopped=0 exit=0 report=e200000 pieces=e200000 waited=1"},
        // Standard output, when there is any, is the report.
        {Program("output_writer.exe", "5 3 3"), 10000,
         "started=1 stopped=0 exit=3 report=o5 pieces=e3o5 waited=1"},
        {Program("no_such_tool.exe", ""), 10000,
         "started=0 stopped=0 exit=-1 report= pieces= waited=0"},
        {Program("slow_tool.exe", ""), 1000,
         "started=1 stopped=1 exit=-1 report= pieces= waited=1"},
        {Program("slow_tool.exe", "\"" + output + "\" 6000"), 3000,
         "started=1 stopped=0 exit=0 report= pieces= waited=1"},
        // The caller's wait ends the tool long before its quiet limit.
        {Program("slow_tool.exe", ""), 600000,
         "started=1 stopped=1 exit=-1 report= pieces= waited=1", false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.expected, Outcome(row.commandLine, output, row.quietLimitMs, row.goOn))
            << row.commandLine;
    }
}

TEST(ToolRun, LastReportedTime) {
    const struct {
        const char* report;
        double expected;
    } rows[] = {
        {"", -1},
        {"frame=    1 fps=0.0 q=-1.0 size=       0kB bitrate=N/A speed=N/A", -1},
        {"size=     256kB time=00:00:01.50 bitrate=1398.1kbits/s", 1.5},
        {"time=00:00:01.00 a\rtime=01:02:03.25 b\r\nvideo:1kB", 3723.25},
        {"time=00:00:04.00 a\rtime=N/A b", 4},
        {"time=00:0:01.00 time=-00:00:00.50 time=00:00:01", -1},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.expected, app::LastReportedTime(row.report)) << row.report;
    }
}

}  // namespace
