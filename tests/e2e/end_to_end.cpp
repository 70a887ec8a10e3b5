#include "tests/e2e/end_to_end.h"

#include <windows.h>

#include <wininet.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "tests/e2e/mp4_info.h"
#include "tests/support/child_process.h"
#include "tests/support/window_driver.h"

namespace e2e {

namespace {

constexpr double kDurationTolerance = 0.25;

bool IsLowerHex(const std::string& text) {
    return text.find_first_not_of("0123456789abcdef") == std::string::npos;
}

std::string HttpGet(const std::string& address) {
    std::string body;
    HINTERNET root = ::InternetOpenA("e2e", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    HINTERNET request = ::InternetOpenUrlA(root, address.c_str(), nullptr, 0,
                                           INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);
    char buffer[4096];
    DWORD read = 0;
    while (request && ::InternetReadFile(request, buffer, sizeof buffer, &read) && read > 0) {
        body.append(buffer, read);
    }
    if (request) ::InternetCloseHandle(request);
    ::InternetCloseHandle(root);
    return body;
}

}  // namespace

std::string Server() {
    const char* port = std::getenv("VELMORA_HTTP_PORT");
    return std::string("http://127.0.0.1:") + (port ? port : "0") + "/";
}

std::vector<std::string> ServerRequests() {
    std::vector<std::string> paths;
    const std::string text = HttpGet(Server() + "requests");
    for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
         start = end + 1) {
        paths.push_back(text.substr(start, end - start));
    }
    return paths;
}

size_t CountOf(const std::vector<std::string>& paths, const std::string& path) {
    return static_cast<size_t>(std::count(paths.begin(), paths.end(), path));
}

std::string ServerBody(const std::string& address) { return HttpGet(address); }

double PlaylistSeconds(const std::string& address) {
    const std::string playlist = HttpGet(address);
    const std::string tag = "#EXTINF:";
    double seconds = 0;
    for (size_t at = playlist.find(tag); at != std::string::npos; at = playlist.find(tag, at + 1))
        seconds += std::strtod(playlist.c_str() + at + tag.size(), nullptr);
    return seconds;
}

std::string SecondsText(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", seconds);
    return text;
}

std::vector<std::string> ParseMessages(const std::string& address, int found) {
    return {" 正在读入M3U8。（" + address + "）", " 读入M3U8完毕。", " 正在解析分段地址。",
            found ? " 一共发现 [" + std::to_string(found) + "] 链接" : " 找不到该链接",
            kClickStart};
}

std::vector<std::string> DownloadMessages(const std::string& jobDirectory,
                                          const std::vector<bool>& downloaded,
                                          const std::string& failure) {
    std::vector<std::string> messages{kJobMade + jobDirectory + "）"};
    const std::string total = std::to_string(downloaded.size());
    for (size_t i = 0; i < downloaded.size(); ++i) {
        const std::string index = std::to_string(i + 1);
        messages.push_back(" 正在下载。[" + index + "/" + total + "]");
        messages.push_back(" 下载 [" + index + "/" + total + "] " +
                           (downloaded[i]     ? "成功"
                            : failure.empty() ? "失败"
                                              : "失败（" + failure + "）"));
    }
    messages.insert(messages.end(), {" 下载完成。", " 正在进行合并。", ""});
    return messages;
}

std::vector<std::string> Join(std::vector<std::string> first,
                              const std::vector<std::string>& then) {
    first.insert(first.end(), then.begin(), then.end());
    return first;
}

std::string IncompleteMessage(int failed, const std::string& jobDirectory) {
    return " 有 [" + std::to_string(failed) + "] 个分段下载失败，视频不完整。分段保留在：" +
           jobDirectory;
}

std::string Readable(const std::vector<std::string>& messages) {
    std::string lines;
    for (const std::string& message : messages) {
        const int wide = ::MultiByteToWideChar(936, 0, message.data(),
                                               static_cast<int>(message.size()), nullptr, 0);
        std::wstring text(static_cast<size_t>(wide), L'\0');
        ::MultiByteToWideChar(936, 0, message.data(), static_cast<int>(message.size()), &text[0],
                              wide);
        const int size =
            ::WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
        std::string utf8(static_cast<size_t>(size), '\0');
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, &utf8[0], size, nullptr, nullptr);
        lines += utf8 + "\n";
    }
    return lines;
}

void ExpectVideo(const std::string& path, double seconds) {
    SCOPED_TRACE(path);
    const Mp4Info info = ReadMp4Info(driver::ReadWholeFile(path));
    ASSERT_TRUE(info.valid);
    EXPECT_NEAR(seconds, info.durationSeconds, kDurationTolerance);
    EXPECT_EQ((std::vector<std::string>{"vide", "soun"}), info.trackKinds);
    // The sound runs as long as the picture: none of it was lost on the way.
    for (const double trackSeconds : info.trackSeconds)
        EXPECT_NEAR(seconds, trackSeconds, kDurationTolerance);
}

void VelmoraEndToEnd::Start(const std::string& directoryName, DWORD waitLimitMs) {
    ::SetEnvironmentVariableA("VELMORA_TEST_WAIT_LIMIT_MS",
                              waitLimitMs ? std::to_string(waitLimitMs).c_str() : nullptr);
    StartIn(std::make_unique<RunDirectory>(directoryName));
}

void VelmoraEndToEnd::StartIn(std::unique_ptr<RunDirectory> run) {
    run_ = std::move(run);
    ASSERT_TRUE(run_->ok()) << run_->path();
    app_ = std::make_unique<Velmora>(*run_);
    ASSERT_NE(nullptr, app_->main()) << "no main window from " << run_->path();
}

void VelmoraEndToEnd::TearDown() {
    app_.reset();
    if (run_ && HasFailure()) {
        run_->Keep();
        std::printf("run directory kept: %s\n", run_->path().c_str());
    }
}

void VelmoraEndToEnd::Parse(const std::string& address, const std::string& lastMessage) {
    const size_t logged = app_->Log().size();
    app_->SetText(windows::kAddressBox, address);
    ASSERT_TRUE(app_->Press(windows::kParseButton));
    ASSERT_TRUE(app_->WaitForLog(lastMessage + "\r\n", kParseTimeoutMs, logged)) << app_->Log();
    EXPECT_TRUE(app_->WaitUntilEnabled(windows::kParseButton, kParseTimeoutMs));
    EXPECT_TRUE(app_->WaitUntilEnabled(windows::kAddressBox, kParseTimeoutMs));
}

std::vector<std::string> VelmoraEndToEnd::LogMessages(size_t from) {
    std::vector<std::string> badStamps;
    std::vector<std::string> messages = Messages(app_->Log().substr(from), &badStamps);
    EXPECT_EQ(std::vector<std::string>{}, badStamps);
    return messages;
}

std::string VelmoraEndToEnd::JobDirectory(const std::vector<std::string>& messages) {
    std::string directory = MessageAfter(messages, kJobMade);
    const std::string close = "）";
    if (directory.size() >= close.size()) directory.resize(directory.size() - close.size());
    const std::string prefix = run_->Data() + "\\~";
    const bool wellFormed = directory.size() == prefix.size() + 18 &&
                            directory.compare(0, prefix.size(), prefix) == 0 &&
                            IsLowerHex(directory.substr(prefix.size(), 16)) &&
                            directory.compare(prefix.size() + 16, 2, "~\\") == 0;
    EXPECT_TRUE(wellFormed) << directory;
    return directory;
}

void VelmoraEndToEnd::RunJob(const std::string& address, const std::string& lastMessage) {
    Parse(address, kClickStart);
    ASSERT_TRUE(app_->Press(windows::kStartButton));
    ASSERT_TRUE(app_->WaitForLog(lastMessage, kJobTimeoutMs)) << app_->Log();
    ASSERT_TRUE(app_->WaitUntilEnabled(windows::kStartButton, kJobTimeoutMs));
}

void VelmoraEndToEnd::DownloadAll(const std::string& address, const std::vector<bool>& downloaded) {
    RunJob(address, kSavedAt);
    const std::vector<std::string> messages = LogMessages();
    EXPECT_EQ(Readable(Join(Join(Join({kWarning}, ParseMessages(address, 3)),
                                 DownloadMessages(JobDirectory(messages), downloaded)),
                            {" 视频合并成功。", kSavedAt + Target()})),
              Readable(messages));
    // Only the video stays in Data: the job directory went with the merge.
    EXPECT_EQ(std::vector<std::string>{app_->Text(windows::kOutputNameBox) + ".mp4"},
              DirectoryNames(run_->Data()));
}

void VelmoraEndToEnd::AnswerQuestion(int button) {
    HWND question = app_->WaitForBox(kQuestionCaption, kJobTimeoutMs);
    ASSERT_NE(nullptr, question) << app_->Log();
    EXPECT_EQ(kRetryQuestion, driver::MessageBoxText(question));
    EXPECT_EQ(2u, driver::Buttons(question).size());
    ASSERT_TRUE(driver::PressButton(question, button));
}

std::string VelmoraEndToEnd::Target() const {
    const std::string name = app_->Text(windows::kOutputNameBox);
    return run_->Data() + "\\" + (name.empty() ? "output" : name) + ".mp4";
}

}  // namespace e2e
