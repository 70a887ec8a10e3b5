// Velmora end to end against a hostile server, a broken tool and odd input:
// every job ends in bounded time, its log says truthfully what happened, and
// nothing the user may still need is deleted. The server's fault modes are
// named in tests/servers/hls_test_server.py; tests of the time limits run the
// program with a limit of kTestWaitLimitMs instead of thirty seconds.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/end_to_end.h"
#include "tests/support/child_process.h"
#include "tests/support/window_driver.h"

namespace e2e {
namespace {

constexpr char kMergeSucceeded[] = " 视频合并成功。";
constexpr char kToolFailed[] = " 合并工具运行失败，没有生成视频。退出码：";

class Faults : public VelmoraEndToEnd {
  protected:
    // A job on the relative sample whose segment 2 fails: the other two are
    // merged and saved, and the segments stay where the last line says.
    void ExpectSecondSegmentMissing(const std::string& mode) {
        const std::string address = Server() + mode + "/relative/index.m3u8";
        RunJob(address, " 个分段下载失败");
        const std::vector<std::string> messages = LogMessages();
        const std::string job = JobDirectory(messages);
        EXPECT_EQ(Readable(Join(Join({kWarning}, ParseMessages(address, 3)),
                                DownloadMessages(job, {true, false, true}))) +
                      Readable({kMergeSucceeded, kSavedAt + Target(), IncompleteMessage(1, job)}),
                  Readable(messages));
        ExpectVideo(Target(), kSampleSeconds - kSegmentSeconds);
        EXPECT_EQ((std::vector<std::string>{"1.Tavrosi", "3.Tavrosi", "list.txt", "media.m3u8"}),
                  DirectoryNames(job.substr(0, job.size() - 1)));
    }

    // The parse of an address that gives no playlist: one line says why, then
    // the not-a-playlist line.
    std::string ExpectFetchFailure(const std::string& address) {
        Parse(address, kNotPlaylist);
        const std::vector<std::string> messages = LogMessages();
        EXPECT_EQ(4u, messages.size());
        if (messages.size() != 4u) return {};
        EXPECT_EQ(" 正在读入M3U8。（" + address + "）", messages[1]);
        EXPECT_EQ(kNotPlaylist, messages[3]);
        EXPECT_FALSE(app_->Enabled(windows::kStartButton));
        const std::string reason = MessageAfter(messages, kFetchFailed);
        EXPECT_NE("", reason) << Readable(messages);
        return reason;
    }
};

TEST_F(Faults, ASegmentCutShortFailsAfterThreeTriesAndTheJobSaysTheVideoIsIncomplete) {
    Start();
    ExpectSecondSegmentMissing("cut-seg001.ts");
    EXPECT_EQ(3u, CountOf(ServerRequests(), "/cut-seg001.ts/relative/seg001.ts"));
}

TEST_F(Faults, ASegmentAnswering404IsTriedThreeTimesAndItsSegmentsAreKept) {
    Start();
    ExpectSecondSegmentMissing("missing-seg001.ts");
    EXPECT_EQ(3u, CountOf(ServerRequests(), "/missing-seg001.ts/relative/seg001.ts"));
}

TEST_F(Faults, ASegmentThatFailsTwiceArrivesOnTheThirdTry) {
    Start();
    DownloadAll(Server() + "flaky-seg001.ts/relative/index.m3u8", {true, true, true});
    ExpectVideo(Target(), kSampleSeconds);
    EXPECT_EQ(3u, CountOf(ServerRequests(), "/flaky-seg001.ts/relative/seg001.ts"));
}

TEST_F(Faults, ASegmentThatTricklesFailsAtTheLowSpeedLimit) {
    Start("velmora", kTestWaitLimitMs);
    ExpectSecondSegmentMissing("trickle-seg001.ts");
}

TEST_F(Faults, ASegmentThatNeverComesFailsAtTheLowSpeedLimit) {
    Start("velmora", kTestWaitLimitMs);
    ExpectSecondSegmentMissing("never-seg001.ts");
}

// The chain is followed ten times before the segment fails, and not tried
// again; a download given up asks no more, also a while after the job.
TEST_F(Faults, ASegmentThatRedirectsToItselfFailsAfterTenRedirects) {
    Start();
    ExpectSecondSegmentMissing("loop-seg001.ts");
    ::Sleep(2000);
    EXPECT_EQ(11u, CountOf(ServerRequests(), "/loop-seg001.ts/relative/seg001.ts"));
}

TEST_F(Faults, APlaylistCutShortIsAFailedFetch) {
    Start();
    EXPECT_NE(std::string::npos,
              ExpectFetchFailure(Server() + "cut-index.m3u8/relative/index.m3u8").find("字节"));
}

TEST_F(Faults, AFailedFetchSaysWhyBeforeTheNotAPlaylistLine) {
    Start();
    EXPECT_EQ("HTTP 404 Not Found",
              ExpectFetchFailure(Server() + "missing-index.m3u8/relative/index.m3u8"));
}

TEST_F(Faults, AServerErrorSaysItsStatus) {
    Start();
    EXPECT_EQ("HTTP 500 Internal Server Error",
              ExpectFetchFailure(Server() + "error-index.m3u8/relative/index.m3u8"));
}

TEST_F(Faults, ARefusedConnectionSaysWhyInTheSystemsWords) {
    Start();
    EXPECT_EQ("尝试连接到服务器失败。", ExpectFetchFailure("http://127.0.0.1:1/index.m3u8"));
}

TEST_F(Faults, AnUnknownHostSaysWhyInTheSystemsWords) {
    Start();
    EXPECT_EQ("无法解析服务器域名。", ExpectFetchFailure("http://no-such-host.invalid/index.m3u8"));
}

TEST_F(Faults, APlaylistServerThatNeverAnswersIsGivenUpAtTheLimit) {
    Start("velmora", kTestWaitLimitMs);
    ExpectFetchFailure(Server() + "never-index.m3u8/relative/index.m3u8");
}

TEST_F(Faults, AnHttpsAddressToAPlainServerIsGivenUpAtTheLimit) {
    Start("velmora", kTestWaitLimitMs);
    ExpectFetchFailure("https" + Server().substr(4) + "plain/relative/index.m3u8");
    EXPECT_EQ(std::vector<std::string>{"TLS"}, ServerRequests());
}

TEST_F(Faults, AHugeLineWithoutASegmentNameParsesInTime) {
    Start();
    const std::string address = Server() + "plain/made/long-line-2000000.m3u8";
    Parse(address, kClickStart);
    EXPECT_EQ(Readable(Join({kWarning}, ParseMessages(address, 3))), Readable(LogMessages()));
}

// A good playlist padded past 64 MiB is refused before it is read; one just
// at the limit is read.
TEST_F(Faults, APlaylistFileOver64MiBIsNoPlaylist) {
    Start();
    const std::string playlist = "#EXTM3U\r\n#EXTINF:2.000,\r\nseg000.ts\r\n#EXT-X-ENDLIST\r\n";
    for (const LONGLONG size : {LONGLONG{64} << 20, (LONGLONG{64} << 20) + 1}) {
        const std::string path = run_->path() + "\\padded" + std::to_string(size) + ".m3u8";
        ASSERT_TRUE(WriteWholeFile(path, playlist));
        HANDLE file =
            ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        LARGE_INTEGER end;
        end.QuadPart = size;
        ASSERT_TRUE(::SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && ::SetEndOfFile(file));
        ::CloseHandle(file);
    }
    const std::string atLimit =
        "File@" + run_->path() + "\\padded" + std::to_string(64 << 20) + ".m3u8";
    const std::string over =
        "File@" + run_->path() + "\\padded" + std::to_string((64 << 20) + 1) + ".m3u8";
    Parse(atLimit, kClickStart);
    Parse(over, kNotPlaylist);
    const std::vector<std::string> messages = LogMessages();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(kNotPlaylist, messages.back());
    EXPECT_EQ(1u, static_cast<size_t>(std::count(messages.begin(), messages.end(), kClickStart)));
}

TEST_F(Faults, APlaylistWithAByteOrderMarkBecomesAVideo) {
    Start();
    DownloadAll(Server() + "bom/relative/index.m3u8", {true, true, true});
    ExpectVideo(Target(), kSampleSeconds);
}

TEST_F(Faults, ChunkedAnswersBecomeAVideo) {
    Start();
    DownloadAll(Server() + "chunked/relative/index.m3u8", {true, true, true});
    ExpectVideo(Target(), kSampleSeconds);
}

TEST_F(Faults, AnswersWithoutALengthBecomeAVideo) {
    Start();
    DownloadAll(Server() + "nolength/relative/index.m3u8", {true, true, true});
    ExpectVideo(Target(), kSampleSeconds);
}

// The https addresses are asked for as they stand (the server sees three TLS
// handshakes a segment), never behind the playlist's base address.
TEST_F(Faults, HttpsSegmentAddressesAreTakenAsTheyStand) {
    Start("velmora", kTestWaitLimitMs);
    Parse(Server() + "plain/made/https-segments.m3u8", kClickStart);
    ASSERT_TRUE(app_->Press(windows::kStartButton));
    AnswerQuestion(IDNO);  // nothing arrived, so the tool made nothing
    ASSERT_TRUE(app_->WaitForLog(" 有 [3] 个分段下载失败", kJobTimeoutMs)) << app_->Log();
    const std::vector<std::string> requests = ServerRequests();
    EXPECT_EQ(9u, CountOf(requests, "TLS"));
    for (const std::string& path : requests)
        EXPECT_EQ(std::string::npos, path.find("https:")) << path;
}

// The sample's header has a tag with an absolute URI; its segments are relative.
TEST_F(Faults, ATagLineWithAnAbsoluteAddressIsNoSegment) {
    Start();
    DownloadAll(Server() + "plain/tagged/index.m3u8", {true, true, true});
    ExpectVideo(Target(), kSampleSeconds);
}

TEST_F(Faults, ClicksMadeWhileAJobRunsAreNotReplayedAfterIt) {
    Start();
    const std::string address = Server() + "delay-seg000.ts/relative/index.m3u8";
    Parse(address, kClickStart);
    driver::BringToFront(app_->main());
    ASSERT_TRUE(app_->Press(windows::kStartButton));
    // The program is busy and answers no question: watch the server instead.
    for (int i = 0; i < 500 && !CountOf(ServerRequests(), "/delay-seg000.ts/relative/seg000.ts");
         ++i) {
        ::Sleep(20);
    }
    driver::ClickAtMiddle(app_->Control(windows::kStartButton));
    driver::ClickAtMiddle(app_->Control(windows::kParseButton));
    // The first segment takes five seconds: the job is still at it.
    ASSERT_FALSE(::IsWindowEnabled(app_->Control(windows::kStartButton)))
        << "the clicks came after the job";
    ASSERT_TRUE(app_->WaitForLog(kSavedAt, kJobTimeoutMs)) << app_->Log();
    ASSERT_TRUE(app_->WaitUntilEnabled(windows::kStartButton, kJobTimeoutMs));
    ::Sleep(2000);  // time for a replayed click to start another job
    const std::vector<std::string> messages = LogMessages();
    EXPECT_EQ(Readable(Join(Join(Join({kWarning}, ParseMessages(address, 3)),
                                 DownloadMessages(JobDirectory(messages), {true, true, true})),
                            {kMergeSucceeded, kSavedAt + Target()})),
              Readable(messages));
}

// No video came: the segments stay, and the log says why and where they are.
class BrokenTool : public Faults {
  protected:
    void ExpectSegmentsKept(const std::string& why, int answer,
                            const std::string& address = Server() + "plain/relative/index.m3u8") {
        Parse(address, kClickStart);
        ASSERT_TRUE(app_->Press(windows::kStartButton));
        AnswerQuestion(answer);
        ASSERT_TRUE(app_->WaitForLog(kSegmentsKept, kJobTimeoutMs)) << app_->Log();
        ASSERT_TRUE(app_->WaitUntilEnabled(windows::kStartButton, kJobTimeoutMs));
        const std::vector<std::string> messages = LogMessages();
        const std::string job = JobDirectory(messages);
        std::vector<std::string> expected = Join(Join({kWarning}, ParseMessages(address, 3)),
                                                 DownloadMessages(job, {true, true, true}));
        expected.push_back(why);
        if (answer == IDYES) {
            expected.insert(expected.end(), {"", why, " 视频合并失败。请重新下载" + Target()});
        }
        expected.push_back(kSegmentsKept + job);
        EXPECT_EQ(Readable(expected), Readable(Cut(messages, why)));
        EXPECT_EQ((std::vector<std::string>{"1.Tavrosi", "2.Tavrosi", "3.Tavrosi", "list.txt",
                                            "media.m3u8"}),
                  DirectoryNames(job.substr(0, job.size() - 1)));
    }
    // The messages with the tool's exit code cut from the line that names it.
    static std::vector<std::string> Cut(std::vector<std::string> messages, const std::string& why) {
        if (why != kToolFailed) return messages;
        for (std::string& message : messages) {
            if (message.compare(0, why.size(), why) == 0) message.resize(why.size());
        }
        return messages;
    }
    std::string NotStarted() const {
        return " 无法启动合并工具（文件不存在或不是可执行程序）：" + run_->path() +
               "\\tool\\ffmpeg.exe";
    }
};

TEST_F(BrokenTool, AMissingToolKeepsTheSegments) {
    Start();
    ASSERT_TRUE(::DeleteFileA((run_->path() + "\\tool\\ffmpeg.exe").c_str()));
    ExpectSegmentsKept(NotStarted(), IDNO);
}

TEST_F(BrokenTool, AToolThatIsNotAProgramKeepsTheSegmentsAfterTheRetry) {
    Start();
    ASSERT_TRUE(WriteWholeFile(run_->path() + "\\tool\\ffmpeg.exe", "not a program"));
    ExpectSegmentsKept(NotStarted(), IDYES);
}

// The segments are text: the real tool reads them and gives up.
TEST_F(BrokenTool, AToolThatFailsOnTheSegmentsKeepsThem) {
    Start();
    ExpectSegmentsKept(kToolFailed, IDNO, Server() + "plain/made/text-segments.m3u8");
}

TEST_F(Faults, ASaveNameThatIsNoPlainFileNameIsRefusedBeforeAnyDownload) {
    Start();
    const std::string address = Server() + "plain/relative/index.m3u8";
    Parse(address, kClickStart);
    const std::string names[] = {"..\\..\\x", "a/b", "c:d", "what?", "CON", "nul.video", "Lpt1 "};
    for (const std::string& name : names) {
        app_->SetText(windows::kOutputNameBox, name);
        const size_t logged = app_->Log().size();
        ASSERT_TRUE(app_->Press(windows::kStartButton));
        ASSERT_TRUE(app_->WaitForLog("”不能用作文件名", kJobTimeoutMs, logged)) << name;
        ASSERT_TRUE(app_->WaitUntilEnabled(windows::kStartButton, kJobTimeoutMs));
        const std::vector<std::string> messages = LogMessages();
        EXPECT_EQ(0u, messages.back().find(" 保存文件名“" + name + "”不能用作文件名：")) << name;
    }
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(run_->Data().c_str()))
        << "nothing is made";
    EXPECT_EQ(std::vector<std::string>{"/plain/relative/index.m3u8"}, ServerRequests());
}

}  // namespace
}  // namespace e2e
