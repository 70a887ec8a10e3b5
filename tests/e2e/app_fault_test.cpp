// Velmora end to end against a hostile server, a broken tool and odd input:
// every job ends in bounded time, its log says truthfully what happened, and
// nothing the user may still need is deleted. The server's fault modes are
// named in tests/servers/hls_test_server.py; tests of the time limits run the
// program with a limit of kTestWaitLimitMs instead of thirty seconds.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include <wincrypt.h>

#include "tests/e2e/end_to_end.h"
#include "tests/e2e/mp4_info.h"
#include "tests/support/child_process.h"
#include "tests/support/local_clock.h"
#include "tests/support/window_driver.h"

namespace e2e {
namespace {

constexpr char kMergeSucceeded[] = " 视频合并成功。";
constexpr char kToolFailed[] = " 合并工具运行失败，没有生成视频。退出码：";
constexpr char kTooSlow[] = "传输过慢：每秒平均不到 1024 字节。）";

class Faults : public VelmoraEndToEnd {
  protected:
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

// Segment 2's line of a three-segment job with its reason cut to `length`
// bytes: some reasons go on with sizes or the system's words.
std::vector<std::string> WithReasonCut(std::vector<std::string> messages, size_t length) {
    const std::string failed = " 下载 [2/3] 失败（";
    for (std::string& message : messages) {
        if (message.compare(0, failed.size(), failed) == 0) message.resize(failed.size() + length);
    }
    return messages;
}

// Each bad answer to segment 2 fails it, after the tries its fault allows,
// with a line that says why; the other two are merged and saved, and the
// segments stay where the last line says. One program runs every row, with
// the wait limit of the tests.
TEST_F(Faults, EachBadAnswerFailsItsSegmentWithItsReasonAndTheOthersAreKept) {
    const struct {
        const char* mode;    // the server's fault mode on seg001.ts
        std::string reason;  // how the reason in segment 2's line begins
        size_t requests;     // how often the server is asked for the segment
        // WinINet asks once more itself when a connection it reused closes
        // without an answer.
        size_t requestsAtMost = 0;
    } rows[] = {
        {"missing", "HTTP 404 Not Found）", 3},
        {"error", "HTTP 500 Internal Server Error）", 3},
        {"hangup", "服务器没有应答就关闭了连接。）", 3, 6},
        {"empty", "服务器返回的正文是空的。）", 3},
        {"html", "收到的是网页，不是视频数据）", 3},
        {"cut", "正文不完整：应有 ", 3},
        {"chunkcut", "MPEG-TS 数据不完整（长度不是 188 的整数倍））", 3},
        {"loop", "重定向超过 10 次。）", 11},
        {"trickle", kTooSlow, 3},
        {"drip2000", kTooSlow, 3},
        // WinINet's own limit and the program's end the wait at once; either says why.
        {"never", "", 3},
    };
    Start("velmora", kTestWaitLimitMs);
    for (size_t row = 0; row < std::size(rows); ++row) {
        const std::string mode = rows[row].mode + std::string("-seg001.ts");
        SCOPED_TRACE(mode);
        const size_t logged = app_->Log().size();
        app_->SetText(windows::kOutputNameBox, std::to_string(row));
        const std::string address = Server() + mode + "/relative/index.m3u8";
        Parse(address, kClickStart);
        ASSERT_TRUE(app_->Press(windows::kStartButton));
        ASSERT_TRUE(app_->WaitForLog(" 个分段下载失败", kJobTimeoutMs, logged)) << app_->Log();
        ASSERT_TRUE(app_->WaitUntilEnabled(windows::kStartButton, kJobTimeoutMs));
        const std::vector<std::string> messages = LogMessages(logged);
        const std::string job = JobDirectory(messages);
        const size_t cut = rows[row].reason.size();
        EXPECT_EQ(Readable(WithReasonCut(
                      Join(Join(ParseMessages(address, 3),
                                DownloadMessages(job, {true, false, true}, rows[row].reason + "…")),
                           {kMergeSucceeded, kSavedAt + Target(), IncompleteMessage(1, job)}),
                      cut)),
                  Readable(WithReasonCut(messages, cut)));
        ExpectVideo(Target(), kSampleSeconds - kSegmentSeconds);
        EXPECT_EQ((std::vector<std::string>{"1.Tavrosi", "3.Tavrosi", "job.txt", "list.txt",
                                            "media.m3u8"}),
                  DirectoryNames(job.substr(0, job.size() - 1)));
        const size_t requests = CountOf(ServerRequests(), "/" + mode + "/relative/seg001.ts");
        EXPECT_TRUE(requests >= rows[row].requests &&
                    requests <= std::max(rows[row].requests, rows[row].requestsAtMost))
            << requests;
    }
}

// The name of a job started at `seconds` since 08:00 of 1 January 1970:
// characters 9 to 24 of the MD5 of their ten digits, in lower case.
std::string JobNameAt(long long seconds) {
    const std::string digits = std::to_string(seconds);
    HCRYPTPROV provider = 0;
    HCRYPTHASH hash = 0;
    BYTE digest[16] = {};
    DWORD size = sizeof digest;
    const bool hashed =
        ::CryptAcquireContextA(&provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT) &&
        ::CryptCreateHash(provider, CALG_MD5, 0, 0, &hash) &&
        ::CryptHashData(hash, reinterpret_cast<const BYTE*>(digits.data()),
                        static_cast<DWORD>(digits.size()), 0) &&
        ::CryptGetHashParam(hash, HP_HASHVAL, digest, &size, 0);
    if (hash) ::CryptDestroyHash(hash);
    if (provider) ::CryptReleaseContext(provider, 0);
    if (!hashed) return {};
    std::string name;
    for (int i = 4; i < 12; ++i) {
        name += "0123456789abcdef"[digest[i] >> 4];
        name += "0123456789abcdef"[digest[i] & 0xF];
    }
    return name;
}

// Folders kept from other jobs stand under every name the job could take in
// the next two minutes: it takes none of them, and a job that ends well
// removes only its own folder.
TEST_F(Faults, AJobTakesNoFolderThatIsThereAndRemovesOnlyItsOwn) {
    Start();
    const long long now = support::LocalSecondsSince0800();
    std::vector<std::string> kept;
    ASSERT_TRUE(::CreateDirectoryA(run_->Data().c_str(), nullptr));
    for (long long seconds = now - 5; seconds <= now + 120; ++seconds) {
        const std::string folder = run_->Data() + "\\~" + JobNameAt(seconds) + "~";
        ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr)) << folder;
        ASSERT_TRUE(WriteWholeFile(folder + "\\1.Tavrosi", "a segment of another job"));
        kept.push_back(folder.substr(run_->Data().size() + 1));
    }
    const std::string address = Server() + "plain/relative/index.m3u8";
    RunJob(address, kSavedAt);
    const std::string job = JobDirectory(LogMessages());
    EXPECT_EQ(std::find(kept.begin(), kept.end(), job.substr(run_->Data().size() + 1, 18)),
              kept.end())
        << job;
    std::vector<std::string> expected = kept;
    expected.push_back(app_->Text(windows::kOutputNameBox) + ".mp4");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, DirectoryNames(run_->Data()));
    for (const std::string& folder : kept) {
        EXPECT_EQ("a segment of another job",
                  driver::ReadWholeFile(run_->Data() + "\\" + folder + "\\1.Tavrosi"));
    }
}

TEST_F(Faults, ASegmentThatFailsTwiceArrivesOnTheThirdTry) {
    Start();
    DownloadAll(Server() + "flaky-seg001.ts/relative/index.m3u8", {true, true, true});
    ExpectVideo(Target(), kSampleSeconds);
    EXPECT_EQ(3u, CountOf(ServerRequests(), "/flaky-seg001.ts/relative/seg001.ts"));
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

TEST_F(Faults, ClicksAndKeysMadeWhileAJobRunsAreNotReplayedAfterIt) {
    Start();
    const std::string name = app_->Text(windows::kOutputNameBox);
    const std::string address = Server() + "delay-seg000.ts/relative/index.m3u8";
    Parse(address, kClickStart);
    driver::BringToFront(app_->main());
    ASSERT_TRUE(app_->Press(windows::kStartButton));
    // The program is busy and answers no question: watch the server instead.
    for (int i = 0; i < 500 && !CountOf(ServerRequests(), "/delay-seg000.ts/relative/seg000.ts");
         ++i) {
        ::Sleep(20);
    }
    driver::ClickAtMiddle(app_->Control(windows::kOutputNameBox));
    driver::TypeKeys("XY7");
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
    EXPECT_EQ(name, app_->Text(windows::kOutputNameBox));
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
        EXPECT_EQ((std::vector<std::string>{"1.Tavrosi", "2.Tavrosi", "3.Tavrosi", "job.txt",
                                            "list.txt", "media.m3u8"}),
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

// The segments hold no media at all: the real tool reads them and gives up.
TEST_F(BrokenTool, AToolThatFailsOnTheSegmentsKeepsThem) {
    Start();
    ExpectSegmentsKept(kToolFailed, IDNO, Server() + "plain/made/tiny-3.m3u8");
}

TEST_F(BrokenTool, AToolThatNeverEndsIsEndedWhenItGoesQuietAndTheSegmentsAreKept) {
    Start("velmora", kTestWaitLimitMs);
    ASSERT_TRUE(::CopyFileA((driver::ProgramDirectory() + "slow_tool.exe").c_str(),
                            (run_->path() + "\\tool\\ffmpeg.exe").c_str(), FALSE));
    ExpectSegmentsKept(" 合并工具已有 12 秒既无输出也没写视频，已被结束。", IDNO);
}

// The tool ends well but its video lasts two seconds of six: no success. The
// video and the segments stay where the log says, and the log gives both
// durations.
TEST_F(BrokenTool, AVideoShorterThanItsSegmentsIsKeptAndNotCalledASuccess) {
    Start();
    const std::string tool = run_->path() + "\\tool\\";
    ASSERT_TRUE(::MoveFileA((tool + "ffmpeg.exe").c_str(), (tool + "ffmpeg-whole.exe").c_str()));
    ASSERT_TRUE(::CopyFileA((driver::ProgramDirectory() + "short_tool.exe").c_str(),
                            (tool + "ffmpeg.exe").c_str(), FALSE));
    const std::string address = Server() + "plain/relative/index.m3u8";
    RunJob(address, kSegmentsKept);
    const std::vector<std::string> messages = LogMessages();
    const std::string job = JobDirectory(messages);
    const Mp4Info merged = ReadMp4Info(driver::ReadWholeFile(job + "output.mp4"));
    EXPECT_NEAR(2.0, merged.durationSeconds, 0.25);
    std::vector<std::string> expected = Join(Join({kWarning}, ParseMessages(address, 3)),
                                             DownloadMessages(job, {true, true, true}));
    expected.insert(
        expected.end(),
        {" 合并后的视频长 " + SecondsText(merged.durationSeconds) + " 秒，下载到的分段共长 " +
             SecondsText(PlaylistSeconds(address)) + " 秒：视频不完整。",
         kKeptAt + job + "output.mp4", kSegmentsKept + job});
    EXPECT_EQ(Readable(expected), Readable(messages));
    EXPECT_EQ((std::vector<std::string>{"1.Tavrosi", "2.Tavrosi", "3.Tavrosi", "job.txt",
                                        "list.txt", "media.m3u8", "output.mp4"}),
              DirectoryNames(job.substr(0, job.size() - 1)));
    EXPECT_EQ(std::vector<std::string>{job.substr(run_->Data().size() + 1, 18)},
              DirectoryNames(run_->Data()))
        << "no video in Data";
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
