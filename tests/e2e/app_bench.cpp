// app_bench: times Velmora's own steps as a person sees them, in a fresh run
// directory, and prints "name value unit" lines.
//
//   app_bench job ADDRESS     parse, then time from the click on "开始":
//                               velmora_download_s  until list.txt is in the job
//                                                   directory (every segment fetched)
//                               velmora_job_s       until the video is in Data
//   app_bench download ADDRESS
//                             velmora_download_s alone, for segments that
//                             make no video
//   app_bench parse ADDRESS   velmora_parse_s: from the click on "解析" until
//                             "开始" is enabled after " 点击 开始 即可下载"
// Both also print `segments N`, the count the log reports.
//   app_bench log COUNT       log_line_ms: one line appended to the program's
//                             own log box as its add-text command does it
//                             (caret to the end, scroll to it, replace), the
//                             mean over COUNT lines
// Exit code 1 when the program did not get there.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/e2e/velmora_session.h"

namespace {

constexpr DWORD kTimeoutMs = 600000;
constexpr DWORD kPollMs = 2;

class Stopwatch {
  public:
    Stopwatch() {
        ::QueryPerformanceFrequency(&frequency_);
        ::QueryPerformanceCounter(&start_);
    }
    double Seconds() const {
        LARGE_INTEGER now;
        ::QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart - start_.QuadPart) / frequency_.QuadPart;
    }

  private:
    LARGE_INTEGER frequency_;
    LARGE_INTEGER start_;
};

int Fail(const char* what, const e2e::Velmora* app) {
    std::fprintf(stderr, "app_bench: %s\n", what);
    if (app) std::fprintf(stderr, "%s\n", app->Log().c_str());
    return 1;
}

// The count in " 一共发现 [N] 链接", or -1.
long SegmentCount(const e2e::Velmora& app) {
    const std::string found = e2e::MessageAfter(e2e::Messages(app.Log(), nullptr), " 一共发现 [");
    return found.empty() ? -1 : std::strtol(found.c_str(), nullptr, 10);
}

// The job directory under Data once the program has made it, else empty.
std::string JobDirectory(const std::string& data) {
    for (const std::string& name : e2e::DirectoryNames(data)) {
        if (name.size() == 18 && name.front() == '~' && name.back() == '~')
            return data + "\\" + name;
    }
    return {};
}

// Polls the file system, not the window: the program's window thread is busy
// for the whole job and would hold up any message sent to it.
bool WaitForFile(const std::string& data, const char* name, bool inJob) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        const std::string directory = inJob ? JobDirectory(data) : data;
        if (!directory.empty() && e2e::FileExists(directory + "\\" + name)) return true;
        if (::GetTickCount() - start > kTimeoutMs) return false;
        ::Sleep(kPollMs);
    }
}

bool ParseFirst(e2e::Velmora& app, const std::string& address) {
    app.SetText(e2e::windows::kAddressBox, address);
    return app.Press(e2e::windows::kParseButton) &&
           app.WaitUntilEnabled(e2e::windows::kStartButton, kTimeoutMs) &&
           app.WaitForLog(" 点击 开始 即可下载", kTimeoutMs);
}

int TimeJob(e2e::Velmora& app, const e2e::RunDirectory& run, const std::string& address,
            bool downloadOnly) {
    if (!ParseFirst(app, address)) return Fail("the parse did not end", &app);
    const Stopwatch clock;
    if (!app.Press(e2e::windows::kStartButton)) return Fail("开始 is disabled", &app);
    if (!WaitForFile(run.Data(), "list.txt", true)) return Fail("no list.txt", &app);
    const double download = clock.Seconds();
    if (downloadOnly) {
        std::printf("velmora_download_s %.3f s\nsegments %ld count\n", download, SegmentCount(app));
        app.process().WaitForExit(0);  // its segments make no video: it ends here
        return 0;
    }
    if (!WaitForFile(run.Data(), "output.mp4", false)) return Fail("no video", &app);
    const double job = clock.Seconds();
    if (!app.WaitForLog(" 视频已保存在：", kTimeoutMs)) return Fail("no saved line", &app);
    std::printf("velmora_download_s %.3f s\nvelmora_job_s %.3f s\nsegments %ld count\n", download,
                job, SegmentCount(app));
    return 0;
}

int TimeParse(e2e::Velmora& app, const std::string& address) {
    const Stopwatch clock;
    if (!ParseFirst(app, address)) return Fail("the parse did not end", &app);
    const double parse = clock.Seconds();
    std::printf("velmora_parse_s %.3f s\nsegments %ld count\n", parse, SegmentCount(app));
    return 0;
}

int TimeLogLines(e2e::Velmora& app, long count) {
    HWND box = app.Control(e2e::windows::kLogBox);
    const Stopwatch clock;
    for (long i = 1; i <= count; ++i) {
        const std::string line = "[1:2:3] 下载 [" + std::to_string(i) + "/300] 成功\r\n";
        const LRESULT end = ::SendMessageA(box, WM_GETTEXTLENGTH, 0, 0);
        ::SendMessageA(box, EM_SETSEL, static_cast<WPARAM>(end), end);
        ::SendMessageA(box, EM_SCROLLCARET, 0, 0);
        ::SendMessageA(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(line.c_str()));
    }
    std::printf("log_line_ms %.3f ms\n", clock.Seconds() * 1000 / count);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return Fail("usage: app_bench job|download|parse ADDRESS | log COUNT", nullptr);
    const std::string command = argv[1];
    e2e::RunDirectory run;
    if (!run.ok()) return Fail("no run directory", nullptr);
    e2e::Velmora app(run);
    if (!app.main()) return Fail("no main window", nullptr);
    if (command == "job" || command == "download")
        return TimeJob(app, run, argv[2], command == "download");
    if (command == "parse") return TimeParse(app, argv[2]);
    if (command == "log") return TimeLogLines(app, std::strtol(argv[2], nullptr, 10));
    return Fail("unknown command", nullptr);
}
