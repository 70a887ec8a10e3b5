// log_bench: what one line of a job's log costs, in Velmora's own main window
// on the runtime, as the download handler writes it: stamped, queued in the
// job's batch and added with the others. The box first holds COUNT lines,
// since part of each addition grows with the text already there; then 600
// lines (a job of 300 segments) are written, the batch added every
// LINES_PER_FLUSH lines: as many as a job writes in the 250 ms between
// flushes, at the pace the caller measured.
//
//   log_bench COUNT LINES_PER_FLUSH
// prints log_line_ms: the mean cost of one of the 600 lines.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/log.h"
#include "app/runtime_entries.h"
#include "app/units.h"
#include "runtime/app_header.h"
#include "runtime/startup.h"

extern "C" const runtime::AppHeader g_appHeader;

namespace {

constexpr int kJobLines = 600;

double Milliseconds() {
    LARGE_INTEGER frequency, now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000 / frequency.QuadPart;
}

std::string SegmentLine(int i) { return " 下载 [" + std::to_string(i) + "/300] 成功\r\n"; }

}  // namespace

int main(int argc, char** argv) {
    const long count = argc == 3 ? std::strtol(argv[1], nullptr, 10) : -1;
    const long linesPerFlush = argc == 3 ? std::strtol(argv[2], nullptr, 10) : 0;
    if (count < 0 || linesPerFlush < 1) {
        std::fprintf(stderr, "usage: log_bench COUNT LINES_PER_FLUSH\n");
        return 1;
    }
    runtime::AttachApplication(g_appHeader);
    runtime::InitialiseRuntime();
    LoadWindow(app::windows::kMainWindow.id);

    std::string earlier;
    for (long i = 1; i <= count; ++i) earlier += "[1:2:3]" + SegmentLine(static_cast<int>(i));
    app::SetContent(app::windows::kLogBox, earlier.c_str());

    const double start = Milliseconds();
    {
        const app::LogBatch batch;
        for (int i = 1; i <= kJobLines; ++i) {
            app::Log(SegmentLine(i));
            if (i % linesPerFlush == 0) app::FlushLog();
        }
    }
    std::printf("log_line_ms %.3f ms\n", (Milliseconds() - start) / kJobLines);
    return 0;
}
