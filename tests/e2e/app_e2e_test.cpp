// Velmora end to end: the real program in a run directory of its own, driven
// through its window as a person drives it, against the HLS samples' server
// (with_http_server.sh tells the port). Each job's log, the files it leaves
// and the video it makes are checked.
#include <gtest/gtest.h>

#include <windows.h>

#include <urlmon.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "tests/e2e/mp4_info.h"
#include "tests/e2e/velmora_session.h"
#include "tests/support/child_process.h"
#include "tests/support/window_driver.h"

namespace e2e {
namespace {

constexpr DWORD kParseTimeoutMs = 30000;
constexpr DWORD kJobTimeoutMs = 120000;
// Each sample is three segments of two seconds (the first a little longer).
constexpr double kSampleSeconds = 6.0;
constexpr double kSegmentSeconds = 2.0;
constexpr double kDurationTolerance = 0.25;

constexpr char kWarning[] = " 禁止把本软件放在中文目录，否则程序会出错。";
constexpr char kNoticeText[] = "如果你觉得软件好用，有能力的话可以赞助作者哦，毕竟作者开发也不容易";
constexpr char kRetryQuestion[] = "视频合并失败了，是否重新合并？";
constexpr char kSavedAt[] = " 视频已保存在：";
constexpr char kJobMade[] = " 创建下载目录成功。（";
constexpr char kKeptAt[] = " 合并好的视频保留在：";

std::string Server() {
    const char* port = std::getenv("VELMORA_HTTP_PORT");
    return std::string("http://127.0.0.1:") + (port ? port : "0") + "/";
}

std::vector<std::string> ParseMessages(const std::string& address, int found) {
    return {" 正在读入M3U8。（" + address + "）", " 读入M3U8完毕。", " 正在解析分段地址。",
            found ? " 一共发现 [" + std::to_string(found) + "] 链接" : " 找不到该链接",
            " 点击 开始 即可下载"};
}

// The download lines for one result per segment, up to the tool's report,
// whose stamped line carries no message of its own.
std::vector<std::string> DownloadMessages(const std::string& jobDirectory,
                                          const std::vector<bool>& downloaded) {
    std::vector<std::string> messages{kJobMade + jobDirectory + "）"};
    const std::string total = std::to_string(downloaded.size());
    for (size_t i = 0; i < downloaded.size(); ++i) {
        const std::string index = std::to_string(i + 1);
        messages.push_back(" 正在下载。[" + index + "/" + total + "]");
        messages.push_back(" 下载 [" + index + "/" + total + "] " +
                           (downloaded[i] ? "成功" : "失败"));
    }
    messages.insert(messages.end(), {" 下载完成。", " 正在进行合并。", ""});
    return messages;
}

std::vector<std::string> Join(std::vector<std::string> first,
                              const std::vector<std::string>& then) {
    first.insert(first.end(), then.begin(), then.end());
    return first;
}

// Log messages as UTF-8 lines, so that a failure prints them as text.
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

bool IsLowerHex(const std::string& text) {
    return text.find_first_not_of("0123456789abcdef") == std::string::npos;
}

void ExpectVideo(const std::string& path, double seconds) {
    SCOPED_TRACE(path);
    const Mp4Info info = ReadMp4Info(driver::ReadWholeFile(path));
    ASSERT_TRUE(info.valid);
    EXPECT_NEAR(seconds, info.durationSeconds, kDurationTolerance);
    EXPECT_EQ((std::vector<std::string>{"vide", "soun"}), info.trackKinds);
}

class VelmoraEndToEnd : public ::testing::Test {
  protected:
    // A run directory with this name, and the program started in it.
    void Start(const std::string& directoryName = "velmora") {
        run_ = std::make_unique<RunDirectory>(directoryName);
        ASSERT_TRUE(run_->ok()) << run_->path();
        app_ = std::make_unique<Velmora>(*run_);
        ASSERT_NE(nullptr, app_->main()) << "no main window from " << run_->path();
    }

    void TearDown() override {
        app_.reset();
        if (run_ && HasFailure()) {
            run_->Keep();
            std::printf("run directory kept: %s\n", run_->path().c_str());
        }
    }

    // Types the address and presses "解析"; returns once the parse has ended.
    void Parse(const std::string& address, const std::string& lastMessage) {
        const size_t logged = app_->Log().size();
        app_->SetText(kAddressBox, address);
        ASSERT_TRUE(app_->Press(kParseButton));
        ASSERT_TRUE(app_->WaitForLog(lastMessage + "\r\n", kParseTimeoutMs, logged)) << app_->Log();
        EXPECT_TRUE(app_->WaitUntilEnabled(kParseButton, kParseTimeoutMs));
        EXPECT_TRUE(app_->Enabled(kAddressBox));
    }

    std::vector<std::string> LogMessages() {
        std::vector<std::string> badStamps;
        std::vector<std::string> messages = Messages(app_->Log(), &badStamps);
        EXPECT_EQ(std::vector<std::string>{}, badStamps);
        return messages;
    }

    // The job directory the log names, checked to be Data\~<16 hex digits>~\.
    std::string JobDirectory(const std::vector<std::string>& messages) {
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

    // Parses a playlist of three segments, presses "开始" and waits for the saved video.
    void DownloadAll(const std::string& address, const std::vector<bool>& downloaded) {
        Parse(address, " 点击 开始 即可下载");
        ASSERT_TRUE(app_->Press(kStartButton));
        ASSERT_TRUE(app_->WaitForLog(kSavedAt, kJobTimeoutMs)) << app_->Log();
        ASSERT_TRUE(app_->WaitUntilEnabled(kStartButton, kJobTimeoutMs));
        const std::vector<std::string> messages = LogMessages();
        const std::string target = run_->Data() + "\\" + app_->Text(kOutputNameBox) + ".mp4";
        EXPECT_EQ(Readable(Join(Join(Join({kWarning}, ParseMessages(address, 3)),
                                     DownloadMessages(JobDirectory(messages), downloaded)),
                                {" 视频合并成功。", kSavedAt + target})),
                  Readable(messages));
        // Only the video stays in Data: the job directory went with the merge.
        EXPECT_EQ(std::vector<std::string>{app_->Text(kOutputNameBox) + ".mp4"},
                  DirectoryNames(run_->Data()));
    }

    std::unique_ptr<RunDirectory> run_;
    std::unique_ptr<Velmora> app_;
};

TEST_F(VelmoraEndToEnd, EveryStartLogsTheDirectoryWarningFirstWithAStampWithoutLeadingZeros) {
    Start();
    const std::string log = app_->Log();
    const size_t close = log.find(']');
    ASSERT_NE(std::string::npos, close) << log;
    EXPECT_TRUE(IsLogStamp(log.substr(0, close + 1))) << log;
    EXPECT_EQ(std::string(kWarning) + "\r\n", log.substr(close + 1)) << Readable({log});
    EXPECT_FALSE(app_->Enabled(kStartButton));
    EXPECT_TRUE(app_->Enabled(kParseButton));
    EXPECT_EQ("output", app_->Text(kOutputNameBox));
    EXPECT_EQ(0u, app_->Close());
}

TEST_F(VelmoraEndToEnd, ASecondCopyShowsTheNoticeEndsWithCodeZeroAndTheFirstGoesOn) {
    Start();
    RunDirectory secondRun("second");
    ASSERT_TRUE(secondRun.ok());
    driver::ChildProcess second("\"" + secondRun.path() + "\\Velmora.exe\"", secondRun.path());
    ASSERT_TRUE(second.started());
    HWND notice = driver::WaitForWindow(second.id(), "提示", 30000);
    ASSERT_NE(nullptr, notice);
    EXPECT_EQ(kNoticeText, driver::MessageBoxText(notice));
    EXPECT_TRUE(driver::HasIcon(notice));
    EXPECT_EQ(1u, driver::Buttons(notice).size());
    EXPECT_EQ(std::vector<HWND>{}, driver::TopLevelWindows(second.id(), kMainTitle));
    ASSERT_TRUE(driver::PressButton(notice, IDOK));
    EXPECT_EQ(0u, second.WaitForExit(30000));

    // The first copy still answers and still works.
    EXPECT_TRUE(::IsWindowVisible(app_->main()));
    Parse(Server() + "plain/made/no-segments.m3u8", " 点击 开始 即可下载");
    EXPECT_TRUE(app_->Enabled(kStartButton));
    EXPECT_EQ(0u, app_->Close());
}

TEST_F(VelmoraEndToEnd, TheDonationWindowIsModalOverTheMainWindow) {
    Start();
    ASSERT_TRUE(app_->Press(kDonateButton));
    HWND donation = driver::WaitForWindow(app_->process().id(), kDonationTitle, 30000);
    ASSERT_NE(nullptr, donation);
    EXPECT_FALSE(::IsWindowEnabled(app_->main()));

    ::PostMessageA(donation, WM_CLOSE, 0, 0);
    for (int i = 0; i < 500 && ::IsWindow(donation); ++i) ::Sleep(20);
    EXPECT_FALSE(::IsWindow(donation));
    EXPECT_TRUE(::IsWindowEnabled(app_->main()));
    EXPECT_TRUE(app_->Enabled(kDonateButton));
}

// https is fetched like http (and fails against a plain server); a prefix in
// capitals is not recognised; a text without #EXTM3U is refused. None of these
// enables "开始".
TEST_F(VelmoraEndToEnd, AddressesThatGiveNoPlaylistAreLoggedAndLeaveStartDisabled) {
    Start();
    const std::string https = "https" + Server().substr(4) + "plain/relative/index.m3u8";
    const std::string capitals = "HTTP" + Server().substr(4) + "plain/relative/index.m3u8";
    const std::string notPlaylist = Server() + "plain/made/not-a-playlist.m3u8";
    Parse(https, " 这不是标准的M3U8文件。");
    Parse(capitals, " 无法识别该地址。");
    Parse(notPlaylist, " 这不是标准的M3U8文件。");
    EXPECT_EQ(Readable({kWarning, " 正在读入M3U8。（" + https + "）", " 这不是标准的M3U8文件。",
                        " 正在读入M3U8。（" + capitals + "）", " 无法识别该地址。",
                        " 正在读入M3U8。（" + notPlaylist + "）", " 这不是标准的M3U8文件。"}),
              Readable(LogMessages()));
    EXPECT_FALSE(app_->Enabled(kStartButton));
}

TEST_F(VelmoraEndToEnd, APlaylistWithoutSegmentsFindsNoLinkAndEnablesStart) {
    Start();
    const std::string address = Server() + "plain/made/no-segments.m3u8";
    Parse(address, " 点击 开始 即可下载");
    EXPECT_EQ(Readable(Join({kWarning}, ParseMessages(address, 0))), Readable(LogMessages()));
    EXPECT_TRUE(app_->Enabled(kStartButton));
}

TEST_F(VelmoraEndToEnd, ARelativePlaylistOverHttpBecomesAVideoInData) {
    Start();
    DownloadAll(Server() + "plain/relative/index.m3u8", {true, true, true});
    ExpectVideo(run_->Data() + "\\output.mp4", kSampleSeconds);
}

TEST_F(VelmoraEndToEnd, AnAbsolutePlaylistOverHttpBecomesAVideoUnderTheChosenName) {
    Start();
    app_->SetText(kOutputNameBox, "movie");
    DownloadAll(Server() + "plain/absolute/index.m3u8", {true, true, true});
    ExpectVideo(run_->Data() + "\\movie.mp4", kSampleSeconds);
}

TEST_F(VelmoraEndToEnd, ACrLfPlaylistWithAnIndependentSegmentsTagBecomesAVideo) {
    Start();
    DownloadAll(Server() + "plain/crlf/index.m3u8", {true, true, true});
    ExpectVideo(run_->Data() + "\\output.mp4", kSampleSeconds);
}

TEST_F(VelmoraEndToEnd, APlaylistOfMp4SegmentsBecomesAVideo) {
    Start();
    DownloadAll(Server() + "plain/mp4/index.m3u8", {true, true, true});
    ExpectVideo(run_->Data() + "\\output.mp4", kSampleSeconds);
}

TEST_F(VelmoraEndToEnd, ASegmentAnswering404IsLeftOutOfTheVideo) {
    Start();
    DownloadAll(Server() + "missing-seg001.ts/relative/index.m3u8", {true, false, true});
    ExpectVideo(run_->Data() + "\\output.mp4", kSampleSeconds - kSegmentSeconds);
}

TEST_F(VelmoraEndToEnd, ARunDirectoryWithABlankMerges) {
    Start("Velmora run");
    DownloadAll(Server() + "plain/relative/index.m3u8", {true, true, true});
    ExpectVideo(run_->Data() + "\\output.mp4", kSampleSeconds);
}

TEST_F(VelmoraEndToEnd, ARunDirectoryWithChineseCharactersMerges) {
    Start("视频下载");
    DownloadAll(Server() + "plain/relative/index.m3u8", {true, true, true});
    ExpectVideo(run_->Data() + "\\output.mp4", kSampleSeconds);
}

// The list quotes every path: an apostrophe in one must be escaped in it.
TEST_F(VelmoraEndToEnd, ARunDirectoryWithAnApostropheMerges) {
    Start("Tavrosi's 视频");
    DownloadAll(Server() + "plain/relative/index.m3u8", {true, true, true});
    ExpectVideo(run_->Data() + "\\output.mp4", kSampleSeconds);
}

// A dropped playlist's names get no base address: relative names stay bare,
// and URLDownloadToFileA takes no bare name, even with the files right in the
// current directory. Nothing arrives, the tool has nothing to join, and the
// answer No leaves no job directory behind.
TEST_F(VelmoraEndToEnd, ADroppedLocalPlaylistKeepsItsRelativeNames) {
    Start();
    const std::string playlist = run_->path() + "\\local.m3u8";
    ASSERT_TRUE(WriteWholeFile(playlist,
                               "#EXTM3U\r\n#EXTINF:2.000,\r\nseg000.ts\r\n#EXTINF:2.000,\r\n"
                               "seg001.ts\r\n#EXT-X-ENDLIST\r\n"));
    for (const char* name : {"seg000.ts", "seg001.ts"}) {
        ASSERT_EQ(S_OK, ::URLDownloadToFileA(nullptr, (Server() + "plain/relative/" + name).c_str(),
                                             (run_->path() + "\\" + name).c_str(), 0, nullptr));
    }
    const std::string address = "File@" + playlist;
    Parse(address, " 点击 开始 即可下载");
    ASSERT_TRUE(app_->Press(kStartButton));
    HWND question = app_->WaitForBox(kQuestionCaption, kJobTimeoutMs);
    ASSERT_NE(nullptr, question) << app_->Log();
    EXPECT_EQ(kRetryQuestion, driver::MessageBoxText(question));
    ASSERT_TRUE(driver::PressButton(question, IDNO));
    ASSERT_TRUE(app_->WaitUntilEnabled(kStartButton, kJobTimeoutMs));

    const std::vector<std::string> messages = LogMessages();
    EXPECT_EQ(Readable(Join(Join({kWarning}, ParseMessages(address, 2)),
                            DownloadMessages(JobDirectory(messages), {false, false}))),
              Readable(messages));
    EXPECT_EQ(std::vector<std::string>{}, DirectoryNames(run_->Data()));
}

// A dropped file is read as it is: its absolute addresses are fetched.
TEST_F(VelmoraEndToEnd, ADroppedPlaylistOfAbsoluteAddressesBecomesAVideo) {
    Start();
    const std::string playlist = run_->path() + "\\absolute.m3u8";
    ASSERT_EQ(S_OK, ::URLDownloadToFileA(nullptr, (Server() + "plain/absolute/index.m3u8").c_str(),
                                         playlist.c_str(), 0, nullptr));
    DownloadAll("File@" + playlist, {true, true, true});
    ExpectVideo(run_->Data() + "\\output.mp4", kSampleSeconds);
}

// Data\output.mp4 is there already: the move fails after a good merge, the
// question comes once, and whatever the answer the merged video stays in the
// job directory, next to the untouched old file.
class ExistingTarget : public VelmoraEndToEnd, public ::testing::WithParamInterface<int> {};

TEST_P(ExistingTarget, TheQuestionComesOnceAndTheMergedVideoSurvives) {
    const bool retry = GetParam() == IDYES;
    Start();
    ASSERT_TRUE(::CreateDirectoryA(run_->Data().c_str(), nullptr));
    const std::string target = run_->Data() + "\\output.mp4";
    ASSERT_TRUE(WriteWholeFile(target, "an older video"));
    const std::string address = Server() + "plain/relative/index.m3u8";
    Parse(address, " 点击 开始 即可下载");
    ASSERT_TRUE(app_->Press(kStartButton));

    HWND question = app_->WaitForBox(kQuestionCaption, kJobTimeoutMs);
    ASSERT_NE(nullptr, question) << app_->Log();
    EXPECT_EQ(kRetryQuestion, driver::MessageBoxText(question));
    EXPECT_EQ(2u, driver::Buttons(question).size());
    ASSERT_TRUE(driver::PressButton(question, GetParam()));
    ASSERT_TRUE(app_->WaitForLog(kKeptAt, kJobTimeoutMs)) << app_->Log();
    ASSERT_TRUE(app_->WaitUntilEnabled(kStartButton, kJobTimeoutMs));
    EXPECT_EQ(nullptr, app_->WaitForBox(kQuestionCaption, 500));

    const std::vector<std::string> messages = LogMessages();
    const std::string job = JobDirectory(messages);
    std::vector<std::string> expected = Join(Join({kWarning}, ParseMessages(address, 3)),
                                             DownloadMessages(job, {true, true, true}));
    if (retry) expected.insert(expected.end(), {"", " 视频合并失败。请重新下载" + target});
    expected.push_back(kKeptAt + job + "output.mp4");
    EXPECT_EQ(Readable(expected), Readable(messages));

    EXPECT_EQ("an older video", driver::ReadWholeFile(target));
    ExpectVideo(job + "output.mp4", kSampleSeconds);
}

INSTANTIATE_TEST_SUITE_P(Answers, ExistingTarget, ::testing::Values(IDYES, IDNO),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(info.param == IDYES ? "Yes" : "No");
                         });

}  // namespace
}  // namespace e2e
