// What the end-to-end tests share: the samples' server, the log lines a job
// writes, and a fixture that starts the real program in a run directory of
// its own and drives it through its window.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/e2e/velmora_session.h"

namespace e2e {

constexpr DWORD kParseTimeoutMs = 30000;
constexpr DWORD kJobTimeoutMs = 120000;
// Each sample is three segments of two seconds (the first a little longer).
constexpr double kSampleSeconds = 6.0;
constexpr double kSegmentSeconds = 2.0;
// The wait limit the program gets in tests of its limits, instead of 30 s.
constexpr DWORD kTestWaitLimitMs = 3000;

constexpr char kWarning[] = " 禁止把本软件放在中文目录，否则程序会出错。";
constexpr char kRetryQuestion[] = "视频合并失败了，是否重新合并？";
constexpr char kSavedAt[] = " 视频已保存在：";
constexpr char kJobMade[] = " 创建下载目录成功。（";
constexpr char kKeptAt[] = " 合并好的视频保留在：";
constexpr char kNotPlaylist[] = " 这不是标准的M3U8文件。";
constexpr char kFetchFailed[] = " 读取M3U8失败：";
constexpr char kClickStart[] = " 点击 开始 即可下载";
constexpr char kSegmentsKept[] = " 分段保留在：";

// The samples' server, with a slash at the end; with_http_server.sh tells its port.
std::string Server();
// The paths the server was asked for so far, in order ("TLS" for a handshake).
std::vector<std::string> ServerRequests();
// How often `path` is among them.
size_t CountOf(const std::vector<std::string>& paths, const std::string& path);

// The body the server gives for an address.
std::string ServerBody(const std::string& address);
// The sum of a playlist's #EXTINF durations, as the server gives it.
double PlaylistSeconds(const std::string& address);
// A duration as the program's lines give it: two decimals.
std::string SecondsText(double seconds);

std::vector<std::string> ParseMessages(const std::string& address, int found);
// The download lines for one result per segment, up to the tool's report,
// whose stamped line carries no message of its own; a failed segment's line
// gives `failure` as the reason.
std::vector<std::string> DownloadMessages(const std::string& jobDirectory,
                                          const std::vector<bool>& downloaded,
                                          const std::string& failure = {});
std::vector<std::string> Join(std::vector<std::string> first, const std::vector<std::string>& then);
// The last line of a job with `failed` segments missing.
std::string IncompleteMessage(int failed, const std::string& jobDirectory);
// Log messages as UTF-8 lines, so that a failure prints them as text.
std::string Readable(const std::vector<std::string>& messages);
void ExpectVideo(const std::string& path, double seconds);

class VelmoraEndToEnd : public ::testing::Test {
  protected:
    // A run directory with this name, and the program started in it; a wait
    // limit other than 0 replaces the program's thirty seconds.
    void Start(const std::string& directoryName = "velmora", DWORD waitLimitMs = 0);
    // The program started in a run directory made elsewhere.
    void StartIn(std::unique_ptr<RunDirectory> run);
    void TearDown() override;

    // Types the address and presses "解析"; returns once the parse has ended.
    void Parse(const std::string& address, const std::string& lastMessage);
    // The messages of the log from byte `from` on (a size the log had before).
    std::vector<std::string> LogMessages(size_t from = 0);
    // The job directory the log names, checked to be Data\~<16 hex digits>~\.
    std::string JobDirectory(const std::vector<std::string>& messages);
    // Parses a playlist of three segments, presses "开始" and waits for the job
    // to end with `lastMessage`.
    void RunJob(const std::string& address, const std::string& lastMessage);
    // RunJob for a job whose video is saved whole; checks its log and that only
    // the video stays in Data.
    void DownloadAll(const std::string& address, const std::vector<bool>& downloaded);
    // Waits for the merge question and answers it.
    void AnswerQuestion(int button);
    std::string Target() const;

    std::unique_ptr<RunDirectory> run_;
    std::unique_ptr<Velmora> app_;
};

}  // namespace e2e
