// Velmora end to end on good streams and good input: the real program in a
// run directory of its own, driven through its window as a person drives it,
// against the HLS samples' server. Each job's log, the files it leaves and the
// video it makes are checked.
#include <gtest/gtest.h>

#include <windows.h>

#include <urlmon.h>
#include <wininet.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tests/e2e/end_to_end.h"
#include "tests/support/child_process.h"
#include "tests/support/window_driver.h"

namespace e2e {
namespace {

constexpr char kNoticeText[] = "如果你觉得软件好用，有能力的话可以赞助作者哦，毕竟作者开发也不容易";

TEST_F(VelmoraEndToEnd, EveryStartLogsTheDirectoryWarningFirstWithAStampWithoutLeadingZeros) {
    Start();
    const std::string log = app_->Log();
    const size_t close = log.find(']');
    ASSERT_NE(std::string::npos, close) << log;
    EXPECT_TRUE(IsLogStamp(log.substr(0, close + 1))) << log;
    EXPECT_EQ(std::string(kWarning) + "\r\n", log.substr(close + 1)) << Readable({log});
    EXPECT_FALSE(app_->Enabled(windows::kStartButton));
    EXPECT_TRUE(app_->Enabled(windows::kParseButton));
    EXPECT_EQ("output", app_->Text(windows::kOutputNameBox));
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
    EXPECT_EQ(std::vector<HWND>{},
              driver::TopLevelWindows(second.id(), windows::kMainWindow.title));
    ASSERT_TRUE(driver::PressButton(notice, IDOK));
    EXPECT_EQ(0u, second.WaitForExit(30000));

    // The first copy still answers and still works.
    EXPECT_TRUE(::IsWindowVisible(app_->main()));
    Parse(Server() + "plain/made/no-segments.m3u8", " 点击 开始 即可下载");
    EXPECT_TRUE(app_->Enabled(windows::kStartButton));
    EXPECT_EQ(0u, app_->Close());
}

TEST_F(VelmoraEndToEnd, TheDonationWindowIsModalOverTheMainWindow) {
    Start();
    ASSERT_TRUE(app_->Press(windows::kDonateButton));
    HWND donation =
        driver::WaitForWindow(app_->process().id(), windows::kDonationWindow.title, 30000);
    ASSERT_NE(nullptr, donation);
    EXPECT_FALSE(::IsWindowEnabled(app_->main()));

    ::PostMessageA(donation, WM_CLOSE, 0, 0);
    for (int i = 0; i < 500 && ::IsWindow(donation); ++i) ::Sleep(20);
    EXPECT_FALSE(::IsWindow(donation));
    EXPECT_TRUE(::IsWindowEnabled(app_->main()));
    EXPECT_TRUE(app_->Enabled(windows::kDonateButton));
}

// A prefix in capitals is not recognised; a text without #EXTM3U is refused.
// Neither enables "开始".
TEST_F(VelmoraEndToEnd, AddressesThatGiveNoPlaylistAreLoggedAndLeaveStartDisabled) {
    Start();
    const std::string capitals = "HTTP" + Server().substr(4) + "plain/relative/index.m3u8";
    const std::string notPlaylist = Server() + "plain/made/not-a-playlist.m3u8";
    Parse(capitals, " 无法识别该地址。");
    Parse(notPlaylist, kNotPlaylist);
    EXPECT_EQ(Readable({kWarning, " 正在读入M3U8。（" + capitals + "）", " 无法识别该地址。",
                        " 正在读入M3U8。（" + notPlaylist + "）", kNotPlaylist}),
              Readable(LogMessages()));
    EXPECT_FALSE(app_->Enabled(windows::kStartButton));
}

TEST_F(VelmoraEndToEnd, APlaylistWithoutSegmentsFindsNoLinkAndEnablesStart) {
    Start();
    const std::string address = Server() + "plain/made/no-segments.m3u8";
    Parse(address, " 点击 开始 即可下载");
    EXPECT_EQ(Readable(Join({kWarning}, ParseMessages(address, 0))), Readable(LogMessages()));
    EXPECT_TRUE(app_->Enabled(windows::kStartButton));
}

// The segments leave no copy in the system's download cache.
TEST_F(VelmoraEndToEnd, ARelativePlaylistOverHttpBecomesAVideoInData) {
    Start();
    DownloadAll(Server() + "plain/relative/index.m3u8", {true, true, true});
    ExpectVideo(run_->Data() + "\\output.mp4", kSampleSeconds);
    for (const char* name : {"seg000.ts", "seg001.ts", "seg002.ts"}) {
        const std::string address = Server() + "plain/relative/" + name;
        DWORD size = 0;
        EXPECT_FALSE(::GetUrlCacheEntryInfoA(address.c_str(), nullptr, &size));
        EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), ::GetLastError()) << address;
    }
}

TEST_F(VelmoraEndToEnd, AnAbsolutePlaylistOverHttpBecomesAVideoUnderTheChosenName) {
    Start();
    app_->SetText(windows::kOutputNameBox, "movie");
    DownloadAll(Server() + "plain/absolute/index.m3u8", {true, true, true});
    ExpectVideo(run_->Data() + "\\movie.mp4", kSampleSeconds);
}

TEST_F(VelmoraEndToEnd, ACrLfPlaylistWithAnIndependentSegmentsTagBecomesAVideo) {
    Start();
    DownloadAll(Server() + "plain/crlf/index.m3u8", {true, true, true});
    ExpectVideo(run_->Data() + "\\output.mp4", kSampleSeconds);
}

// Absolute addresses end where their lines do: no CR reaches the server.
TEST_F(VelmoraEndToEnd, ACrLfPlaylistOfAbsoluteAddressesAsksForExactlyThem) {
    Start();
    DownloadAll(Server() + "plain/made/absolute-crlf.m3u8", {true, true, true});
    ExpectVideo(run_->Data() + "\\output.mp4", kSampleSeconds);
    // The segments are asked for side by side, in any order.
    std::vector<std::string> requests = ServerRequests();
    std::sort(requests.begin() + (requests.empty() ? 0 : 1), requests.end());
    EXPECT_EQ((std::vector<std::string>{"/plain/made/absolute-crlf.m3u8", "/plain/made/seg000.ts",
                                        "/plain/made/seg001.ts", "/plain/made/seg002.ts"}),
              requests);
}

TEST_F(VelmoraEndToEnd, APlaylistOfMp4SegmentsBecomesAVideo) {
    Start();
    DownloadAll(Server() + "plain/mp4/index.m3u8", {true, true, true});
    ExpectVideo(run_->Data() + "\\output.mp4", kSampleSeconds);
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

// A job's lines go to the log in batches: every line stays, in order, with a
// valid stamp, past 65,535 characters; the lines queued before the tool ran,
// and its report, are there when the merge question comes.
TEST_F(VelmoraEndToEnd, ALongJobsLogKeepsEveryLineInOrder) {
    constexpr int kSegments = 1500;
    Start();
    Parse(Server() + "plain/made/tiny-" + std::to_string(kSegments) + ".m3u8", kClickStart);
    ASSERT_TRUE(app_->Press(windows::kStartButton));
    HWND question = app_->WaitForBox(kQuestionCaption, kJobTimeoutMs);
    ASSERT_NE(nullptr, question) << app_->Log();
    const std::string atQuestion = app_->Log();
    const size_t merging = atQuestion.find(" 正在进行合并。\r\n");
    ASSERT_NE(std::string::npos, merging);
    // The tool's report (it finds no media in the segments) follows.
    EXPECT_GT(atQuestion.size(), merging + std::strlen(" 正在进行合并。\r\n") + 12);
    AnswerQuestion(IDNO);
    ASSERT_TRUE(app_->WaitForLog(kSegmentsKept, kJobTimeoutMs)) << app_->Log();

    const std::vector<std::string> messages = LogMessages();
    const std::string job = JobDirectory(messages);
    const std::vector<std::string> downloads =
        DownloadMessages(job, std::vector<bool>(kSegments, true));
    ASSERT_GE(messages.size(), 6 + downloads.size());
    // From the job's first line to " 正在进行合并。", as a one-at-a-time job logs them.
    const std::vector<std::string> logged(messages.begin() + 6,
                                          messages.begin() + 6 + downloads.size() - 1);
    EXPECT_EQ(std::vector<std::string>(downloads.begin(), downloads.end() - 1), logged);
    const std::string log = app_->Log();
    EXPECT_GT(
        ::MultiByteToWideChar(CP_ACP, 0, log.data(), static_cast<int>(log.size()), nullptr, 0),
        65535);
}

// A dropped playlist's relative names are files beside it.
TEST_F(VelmoraEndToEnd, ADroppedLocalPlaylistWithRelativeNamesBecomesAVideo) {
    Start();
    const std::string folder = run_->path() + "\\本地 视频";
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_TRUE(WriteWholeFile(folder + "\\local.m3u8",
                               "#EXTM3U\r\n#EXTINF:2.000,\r\nseg000.ts\r\n#EXTINF:2.000,\r\n"
                               "seg001.ts\r\n#EXTINF:2.000,\r\nseg002.ts\r\n#EXT-X-ENDLIST\r\n"));
    for (const char* name : {"seg000.ts", "seg001.ts", "seg002.ts"}) {
        ASSERT_EQ(S_OK, ::URLDownloadToFileA(nullptr, (Server() + "plain/relative/" + name).c_str(),
                                             (folder + "\\" + name).c_str(), 0, nullptr));
    }
    DownloadAll("File@" + folder + "\\local.m3u8", {true, true, true});
    ExpectVideo(run_->Data() + "\\output.mp4", kSampleSeconds);
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

// Data\output.mp4 is there already: the move fails after a good merge, and
// the log says why. Merging again would not help, so no question comes; the
// merged video stays in the job directory, next to the untouched old file.
TEST_F(VelmoraEndToEnd, AnExistingTargetIsNamedAndTheMergedVideoSurvives) {
    Start();
    ASSERT_TRUE(::CreateDirectoryA(run_->Data().c_str(), nullptr));
    ASSERT_TRUE(WriteWholeFile(Target(), "an older video"));
    const std::string address = Server() + "plain/relative/index.m3u8";
    RunJob(address, kKeptAt);
    EXPECT_EQ(nullptr, app_->WaitForBox(kQuestionCaption, 500));

    const std::vector<std::string> messages = LogMessages();
    const std::string job = JobDirectory(messages);
    EXPECT_EQ(Readable(Join(Join({kWarning}, ParseMessages(address, 3)),
                            DownloadMessages(job, {true, true, true}))) +
                  Readable({" 视频无法移动到：" + Target() + "（文件已存在。）",
                            kKeptAt + job + "output.mp4"}),
              Readable(messages));
    EXPECT_EQ("an older video", driver::ReadWholeFile(Target()));
    ExpectVideo(job + "output.mp4", kSampleSeconds);
}

}  // namespace
}  // namespace e2e
