// Velmora end to end on the stream kinds sites publish beyond plain TS
// playlists, made by ffmpeg's HLS muxer (scripts/make-hls-kinds.sh): master
// playlists, AES-128 encryption, fragmented MP4 and segments behind a
// picture. Each saved video is decoded whole by the merge tool to see that it
// has no errors.
#include <gtest/gtest.h>

#include <windows.h>

#include <urlmon.h>

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "tests/e2e/end_to_end.h"
#include "tests/e2e/mp4_info.h"
#include "tests/support/child_process.h"

namespace e2e {
namespace {

constexpr char kMasterHigh[] =
    " 这是多清晰度的主列表，共有 [2] 个清晰度，选用 BANDWIDTH=900000，RESOLUTION=320x240 的一个。";

constexpr char kMapDownloading[] = " 正在下载初始化分段。";

// The line of a key read whole: the key.bin of a stream kind's folder.
std::string KeyRead(const std::string& kind) {
    return " 读取密钥成功：" + Server() + "plain/" + kind + "/key.bin";
}

class StreamKinds : public VelmoraEndToEnd {
  protected:
    // The target with "-N" before its extension.
    std::string NumberedTarget(int number) const {
        const std::string target = Target();
        const size_t dot = target.rfind('.');
        return target.substr(0, dot) + "-" + std::to_string(number) + target.substr(dot);
    }

    // A job on the stream whose log holds `extra` after the line `after` and
    // is otherwise a whole job's; returns the saved video's header.
    Mp4Info ExpectWholeJob(const std::string& address, const std::string& after,
                           const std::vector<std::string>& extra) {
        RunJob(address, kSavedAt);
        const std::vector<std::string> messages = LogMessages();
        std::vector<std::string> expected =
            Join(Join(Join({kWarning}, ParseMessages(address, 3)),
                      DownloadMessages(JobDirectory(messages), {true, true, true})),
                 {" 视频合并成功。", kSavedAt + Target()});
        for (size_t i = 0; i < expected.size() && !extra.empty(); ++i) {
            if (expected[i].compare(0, after.size(), after) == 0) {
                expected.insert(expected.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                extra.begin(), extra.end());
                break;
            }
        }
        EXPECT_EQ(Readable(expected), Readable(messages));
        ExpectVideo(Target(), kSampleSeconds);
        ExpectDecodesWithoutErrors(Target());
        return ReadMp4Info(driver::ReadWholeFile(Target()));
    }

    // The merge tool decodes every frame of the video and reports no error.
    void ExpectDecodesWithoutErrors(const std::string& video) {
        const std::string report = run_->path() + "\\decode.txt";
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE errors = ::CreateFileA(report.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, errors);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdError = errors;
        startup.hStdOutput = errors;
        std::string commandLine = "\"" + run_->path() +
                                  "\\tool\\ffmpeg.exe\" -v error -xerror -i \"" + video +
                                  "\" -f null -";
        PROCESS_INFORMATION process{};
        const bool started =
            ::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                             nullptr, nullptr, &startup, &process);
        ::CloseHandle(errors);
        ASSERT_TRUE(started);
        ::WaitForSingleObject(process.hProcess, kJobTimeoutMs);
        DWORD exitCode = 1;
        ::GetExitCodeProcess(process.hProcess, &exitCode);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
        EXPECT_EQ(0u, exitCode);
        EXPECT_EQ("", driver::ReadWholeFile(report));
    }

    // The segments decrypted are, byte for byte, the stream's unencrypted ones
    // (aes-plain, numbered from 5): the video alone would not show an IV
    // that spoils only a packet's filler. The tool is taken away so that
    // the job keeps them.
    void ExpectSegmentsDecryptedExactly(const std::string& kind) {
        ASSERT_TRUE(::DeleteFileA((run_->path() + "\\tool\\ffmpeg.exe").c_str()));
        const size_t logged = app_->Log().size();
        Parse(Server() + "plain/" + kind + "/index.m3u8", kClickStart);
        ASSERT_TRUE(app_->Press(windows::kStartButton));
        AnswerQuestion(IDNO);
        ASSERT_TRUE(app_->WaitForLog(kSegmentsKept, kJobTimeoutMs, logged)) << app_->Log();
        ASSERT_TRUE(app_->WaitUntilEnabled(windows::kStartButton, kJobTimeoutMs));
        const std::string job = JobDirectory(LogMessages(logged));
        for (int i = 1; i <= 3; ++i) {
            const std::string plain =
                ServerBody(Server() + "plain/aes-plain/seg00" + std::to_string(4 + i) + ".ts");
            EXPECT_FALSE(plain.empty());
            EXPECT_TRUE(driver::ReadWholeFile(job + std::to_string(i) + ".Tavrosi") == plain)
                << "segment " << i << " decrypted wrong";
        }
    }

    // The log of a job whose three segments all lack their key.
    std::string LogOfJobWithoutKey(const std::string& playlist) {
        Start();
        Parse(Server() + playlist, kClickStart);
        EXPECT_TRUE(app_->Press(windows::kStartButton));
        AnswerQuestion(IDNO);  // nothing arrived, so the tool made nothing
        EXPECT_TRUE(app_->WaitForLog(" 有 [3] 个分段下载失败", kJobTimeoutMs)) << app_->Log();
        return app_->Log();
    }

    void ExpectKeyAndSegmentsAskedForWhereTheyAre(const std::string& playlist) {
        Start();
        ExpectWholeJob(Server() + playlist, kJobMade, {KeyRead("aes-sequence")});
        ExpectSameVideoAsUnencrypted();
        const std::vector<std::string> requests = ServerRequests();
        EXPECT_EQ(1u, CountOf(requests, "/plain/aes-sequence/key.bin"));
        EXPECT_EQ(1u, CountOf(requests, "/plain/aes-sequence/seg006.ts"));
    }

    // The video equals, byte for byte, the one the same segments unencrypted
    // make: every block of every segment was decrypted right.
    void ExpectSameVideoAsUnencrypted() {
        const std::string decrypted = driver::ReadWholeFile(Target());
        app_->SetText(windows::kOutputNameBox, "plain");
        const size_t logged = app_->Log().size();
        Parse(Server() + "plain/aes-plain/index.m3u8", kClickStart);
        ASSERT_TRUE(app_->Press(windows::kStartButton));
        ASSERT_TRUE(app_->WaitForLog(kSavedAt + Target(), kJobTimeoutMs, logged)) << app_->Log();
        ASSERT_TRUE(app_->WaitUntilEnabled(windows::kStartButton, kJobTimeoutMs));
        const std::string plain = driver::ReadWholeFile(Target());
        EXPECT_FALSE(plain.empty());
        EXPECT_TRUE(decrypted == plain) << "the decrypted stream's video differs";
    }
};

// Relative variant addresses with "../" are resolved against the master's.
TEST_F(StreamKinds, AMasterPlaylistGivesItsHighestVariantWhole) {
    Start();
    const Mp4Info info =
        ExpectWholeJob(Server() + "plain/masters/relative.m3u8", " 正在读入M3U8。", {kMasterHigh});
    EXPECT_EQ(320u, info.videoWidth);
    EXPECT_EQ(240u, info.videoHeight);
    const std::vector<std::string> requests = ServerRequests();
    EXPECT_EQ(1u, CountOf(requests, "/plain/high/index.m3u8"));
    EXPECT_EQ(0u, CountOf(requests, "/plain/low/index.m3u8"));
}

TEST_F(StreamKinds, AMasterOfAbsoluteAddressesGivesItsHighestVariant) {
    Start();
    const Mp4Info info =
        ExpectWholeJob(Server() + "plain/masters/absolute.m3u8", " 正在读入M3U8。", {kMasterHigh});
    EXPECT_EQ(320u, info.videoWidth);
}

TEST_F(StreamKinds, AMasterWhoseVariantIsAMasterIsNoPlaylist) {
    Start();
    const std::string address = Server() + "plain/masters/nested.m3u8";
    Parse(address, kNotPlaylist);
    EXPECT_EQ(
        Readable(
            {kWarning, " 正在读入M3U8。（" + address + "）",
             " 这是多清晰度的主列表，共有 [1] 个清晰度，选用 BANDWIDTH=1，RESOLUTION=未知 的一个。",
             kNotPlaylist}),
        Readable(LogMessages()));
}

// A dropped master's relative variant is a file beside it, "../" and all.
TEST_F(StreamKinds, ADroppedMasterReadsItsVariantFromTheFilesFolder) {
    Start();
    const std::string folder = run_->path() + "\\本地 列表";
    for (const std::string& made : {folder, folder + "\\masters", folder + "\\v"}) {
        ASSERT_TRUE(::CreateDirectoryA(made.c_str(), nullptr)) << made;
    }
    ASSERT_TRUE(WriteWholeFile(folder + "\\masters\\master.m3u8",
                               "#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=1\n../v/index.m3u8\n"));
    ASSERT_EQ(S_OK, ::URLDownloadToFileA(nullptr, (Server() + "plain/absolute/index.m3u8").c_str(),
                                         (folder + "\\v\\index.m3u8").c_str(), 0, nullptr));
    const std::string address = "File@" + folder + "\\masters\\master.m3u8";
    Parse(address, kClickStart);
    std::vector<std::string> expected = Join({kWarning}, ParseMessages(address, 3));
    expected.insert(
        expected.begin() + 2,
        " 这是多清晰度的主列表，共有 [1] 个清晰度，选用 BANDWIDTH=1，RESOLUTION=未知 的一个。");
    EXPECT_EQ(Readable(expected), Readable(LogMessages()));
}

// The key is fetched once; the tag's IV, or else each segment's sequence
// number (from 5), decrypts the segments.
TEST_F(StreamKinds, AesSegmentsAreDecryptedWithTheTagsIv) {
    Start();
    ExpectWholeJob(Server() + "plain/aes-iv/index.m3u8", kJobMade, {KeyRead("aes-iv")});
    EXPECT_EQ(1u, CountOf(ServerRequests(), "/plain/aes-iv/key.bin"));
    ExpectSegmentsDecryptedExactly("aes-iv");
}

TEST_F(StreamKinds, AesSegmentsWithoutIvAreDecryptedWithTheirSequenceNumbers) {
    Start();
    ExpectWholeJob(Server() + "plain/aes-sequence/index.m3u8", kJobMade, {KeyRead("aes-sequence")});
    EXPECT_EQ(1u, CountOf(ServerRequests(), "/plain/aes-sequence/key.bin"));
    ExpectSegmentsDecryptedExactly("aes-sequence");
}

// A method that cannot be decrypted is said at once, and no job starts.
TEST_F(StreamKinds, SampleAesIsRefusedBeforeTheJob) {
    Start();
    const std::string address = Server() + "plain/aes-sequence/sample-aes.m3u8";
    Parse(address, " 无法下载：视频的加密方式 METHOD=SAMPLE-AES 本程序不能解密。");
    std::vector<std::string> expected = Join({kWarning}, ParseMessages(address, 3));
    expected.back() = " 无法下载：视频的加密方式 METHOD=SAMPLE-AES 本程序不能解密。";
    EXPECT_EQ(Readable(expected), Readable(LogMessages()));
    EXPECT_FALSE(app_->Enabled(windows::kStartButton));
}

// A key that is no 16-byte key fails every segment it covers; they are not
// fetched, and the job says the video is incomplete.
TEST_F(StreamKinds, AKeyThatIsNoKeyFailsItsSegments) {
    const std::string log = LogOfJobWithoutKey("plain/aes-sequence/short-key.m3u8");
    EXPECT_NE(std::string::npos, log.find(" 读取密钥失败（密钥应为 16 字节）：" + Server() +
                                          "plain/aes-sequence/index.m3u8"));
    EXPECT_EQ(0u, CountOf(ServerRequests(), "/plain/aes-sequence/seg005.ts"));
}

// A key and segments named from the server's root or by full addresses are
// asked for where they are, never behind the playlist's folder.
TEST_F(StreamKinds, AKeyNamedFromTheRootIsAskedForWhereItIs) {
    ExpectKeyAndSegmentsAskedForWhereTheyAre("plain/made/root-key.m3u8");
}

TEST_F(StreamKinds, AKeyNamedByItsFullAddressIsAskedForThere) {
    ExpectKeyAndSegmentsAskedForWhereTheyAre("plain/made/absolute-key.m3u8");
}

// A key that cannot be fetched says why, in the server's words, not that it
// has the wrong length.
TEST_F(StreamKinds, AKeyThatCannotBeFetchedSaysWhy) {
    const std::string log = LogOfJobWithoutKey("plain/made/missing-key.m3u8");
    EXPECT_NE(std::string::npos, log.find(" 读取密钥失败（HTTP 404 Not Found）：" + Server() +
                                          "plain/made/missing.bin"))
        << log;
}

// A key that cannot be had fails only the segments under it: the others
// are decrypted, merged and saved, and the job says what is missing.
TEST_F(StreamKinds, AKeyThatFailsFailsOnlyTheSegmentsItCovers) {
    Start();
    const std::string address = Server() + "plain/made/split-key.m3u8";
    Parse(address, kClickStart);
    ASSERT_TRUE(app_->Press(windows::kStartButton));
    ASSERT_TRUE(app_->WaitForLog(" 有 [1] 个分段下载失败", kJobTimeoutMs)) << app_->Log();
    const std::vector<std::string> messages = LogMessages();
    const std::string job = JobDirectory(messages);
    std::vector<std::string> downloads =
        DownloadMessages(job, {true, true, false}, "没有可用的密钥");
    downloads.insert(downloads.begin() + 1,
                     {KeyRead("aes-sequence"), " 读取密钥失败（HTTP 404 Not Found）：" + Server() +
                                                   "plain/made/missing.bin"});
    EXPECT_EQ(Readable(Join(Join(Join({kWarning}, ParseMessages(address, 3)), downloads),
                            {" 视频合并成功。", kSavedAt + Target(), IncompleteMessage(1, job)})),
              Readable(messages));
    ExpectVideo(Target(), kSampleSeconds - kSegmentSeconds);
    EXPECT_EQ(0u, CountOf(ServerRequests(), "/plain/aes-sequence/seg007.ts"));
}

// A map that cannot be had ends the job before its fragments, with the
// server's reason; the job's folder stays.
TEST_F(StreamKinds, AMissingMapSaysWhyAndKeepsTheFolder) {
    Start();
    const std::string address = Server() + "missing-init.mp4/fmp4/index.m3u8";
    Parse(address, kClickStart);
    ASSERT_TRUE(app_->Press(windows::kStartButton));
    const std::string failed = " 初始化分段下载失败（";
    ASSERT_TRUE(app_->WaitForLog(failed, kJobTimeoutMs)) << app_->Log();
    ASSERT_TRUE(app_->WaitUntilEnabled(windows::kStartButton, kJobTimeoutMs));
    const std::vector<std::string> messages = LogMessages();
    const std::string job = JobDirectory(messages);
    EXPECT_EQ(Readable(Join(Join({kWarning}, ParseMessages(address, 3)),
                            {kJobMade + job + "）", kMapDownloading,
                             failed + "HTTP 404 Not Found），无法合并。分段保留在：" + job})),
              Readable(messages));
    EXPECT_EQ((std::vector<std::string>{"job.txt", "media.m3u8"}),
              DirectoryNames(job.substr(0, job.size() - 1)));
    EXPECT_EQ(0u, CountOf(ServerRequests(), "/missing-init.mp4/fmp4/seg000.m4s"));
}

// A key that no segment is encrypted with is never asked for.
TEST_F(StreamKinds, AKeyNoSegmentUsesIsNotFetched) {
    Start();
    DownloadAll(Server() + "plain/made/unused-key.m3u8", {true, true, true});
    EXPECT_EQ(0u, CountOf(ServerRequests(), "/plain/made/unused.bin"));
}

// Fragments under two keys of one address, the first with the IV its tag
// gives, the others with their sequence numbers: a wrong IV would break a
// fragment's first box.
TEST_F(StreamKinds, EncryptedFragmentsAreDecryptedEachWithItsIv) {
    Start();
    ExpectWholeJob(Server() + "plain/aes-fmp4/index.m3u8", kJobMade,
                   {kMapDownloading, KeyRead("aes-fmp4")});
    EXPECT_EQ(1u, CountOf(ServerRequests(), "/plain/aes-fmp4/key.bin"));
}

// The map comes first; map and fragments are joined into one file the tool
// copies into the MP4.
TEST_F(StreamKinds, AFragmentedMp4StreamIsJoinedWithItsMap) {
    Start();
    ExpectWholeJob(Server() + "plain/fmp4/index.m3u8", kJobMade, {kMapDownloading});
    const std::vector<std::string> requests = ServerRequests();
    ASSERT_GE(requests.size(), 3u);
    EXPECT_EQ("/plain/fmp4/init.mp4", requests[1]);
}

// What the server is asked for a stream of byte ranges of one file: each
// range of the playlist as "PATH bytes=first-last", the map's first.
std::vector<std::string> RangeRequests(const std::string& playlist, const std::string& path) {
    std::vector<std::string> requests;
    const std::regex range("BYTERANGE[:=]\"?(\\d+)@(\\d+)");
    for (std::sregex_iterator at(playlist.begin(), playlist.end(), range), end; at != end; ++at) {
        const unsigned long long length = std::stoull((*at)[1]), offset = std::stoull((*at)[2]);
        requests.push_back(path + " bytes=" + std::to_string(offset) + "-" +
                           std::to_string(offset + length - 1));
    }
    return requests;
}

// The requests for the path, sorted: the pool's workers ask side by side.
std::vector<std::string> RequestsOf(const std::string& path) {
    std::vector<std::string> of;
    for (const std::string& request : ServerRequests()) {
        if (request.compare(0, path.size(), path) == 0) of.push_back(request);
    }
    std::sort(of.begin(), of.end());
    return of;
}

// Segments (and a map) that are byte ranges of one file: a server that
// honours Range is asked for each slice; one that ignores it sends the whole
// file once, and the slices are taken from it.
TEST_F(StreamKinds, ByteRangeSegmentsAreSlicesOfTheirFile) {
    const struct {
        const char* mode;
        const char* kind;
        const char* file;
        bool honoursRange;
    } rows[] = {
        {"plain", "single", "seg.ts", true},
        {"norange", "single", "seg.ts", false},
        {"plain", "single-fmp4", "seg.m4s", true},
        {"norange", "single-fmp4", "seg.m4s", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.mode) + "/" + row.kind);
        app_.reset();  // one instance at a time
        Start();
        const std::string folder = std::string(row.mode) + "/" + row.kind + "/";
        const bool map = std::string(row.kind) == "single-fmp4";
        ExpectWholeJob(
            Server() + folder + "index.m3u8", kJobMade,
            map ? std::vector<std::string>{kMapDownloading} : std::vector<std::string>{});
        const std::string path = "/" + folder + row.file;
        std::vector<std::string> slices =
            RangeRequests(ServerBody(Server() + "plain/" + row.kind + "/index.m3u8"), path);
        ASSERT_EQ(map ? 4u : 3u, slices.size());
        std::sort(slices.begin(), slices.end());
        if (row.honoursRange) {
            EXPECT_EQ(slices, RequestsOf(path));
        } else {
            EXPECT_EQ(1u, RequestsOf(path).size());
        }
    }
}

// A dropped playlist's slices are read from the file beside it.
TEST_F(StreamKinds, ADroppedPlaylistOfByteRangesReadsTheSlicesFromItsFile) {
    Start();
    const std::string folder = run_->path() + "\\本地 列表";
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    for (const char* name : {"index.m3u8", "seg.ts"}) {
        ASSERT_EQ(S_OK, ::URLDownloadToFileA(nullptr, (Server() + "plain/single/" + name).c_str(),
                                             (folder + "\\" + name).c_str(), 0, nullptr));
    }
    const size_t asked = ServerRequests().size();
    ExpectWholeJob("File@" + folder + "\\index.m3u8", kJobMade, {});
    EXPECT_EQ(asked, ServerRequests().size());
}

// The only variant is video only: its sound comes from the audio rendition
// chosen (the DEFAULT one, here the second of two), downloaded after the
// video's segments and merged with them. Subtitles are named, not saved.
TEST_F(StreamKinds, AnAudioRenditionGivesTheVideoItsSound) {
    const struct {
        const char* master;
        const char* chosen;
        const char* subtitles;
        const char* read;
        const char* unread;
    } rows[] = {
        {"master.m3u8", " 选用音轨 NAME=audio_1，LANGUAGE=en，共 [4] 个分段。", nullptr,
         "audio.m3u8", "audio2.m3u8"},
        {"two-audio.m3u8", " 选用音轨 NAME=Commentary，LANGUAGE=fr，共 [4] 个分段。",
         " 字幕（en）不会保存。", "audio2.m3u8", "audio.m3u8"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.master);
        app_.reset();  // one instance at a time
        Start();
        const size_t asked = ServerRequests().size();
        const std::string address = Server() + "plain/audio/" + row.master;
        RunJob(address, kSavedAt);
        const std::vector<std::string> messages = LogMessages();
        std::vector<std::string> parse = Join({kWarning}, ParseMessages(address, 3));
        parse.insert(parse.begin() + 2,
                     " 这是多清晰度的主列表，共有 [1] 个清晰度，选用 "
                     "BANDWIDTH=70400，RESOLUTION=320x240 的一个。");
        if (row.subtitles) parse.insert(parse.begin() + 3, row.subtitles);
        parse.insert(parse.end() - 1, row.chosen);
        std::vector<std::string> download =
            DownloadMessages(JobDirectory(messages), {true, true, true});
        for (int i = 1; i <= 4; ++i) {
            const std::string of = std::to_string(i) + "/4";
            download.insert(download.end() - 3,
                            {" 正在下载音频。[" + of + "]", " 下载音频 [" + of + "] 成功"});
        }
        EXPECT_EQ(Readable(Join(Join(parse, download), {" 视频合并成功。", kSavedAt + Target()})),
                  Readable(messages));
        ExpectVideo(Target(), kSampleSeconds);  // a video track and a sound track
        ExpectDecodesWithoutErrors(Target());
        const std::vector<std::string> requests = ServerRequests();
        const std::vector<std::string> job(requests.begin() + asked, requests.end());
        EXPECT_EQ(1u, CountOf(job, std::string("/plain/audio/") + row.read));
        EXPECT_EQ(0u, CountOf(job, std::string("/plain/audio/") + row.unread));
        EXPECT_EQ(1u, CountOf(job, "/plain/audio/audio-seg003.ts"));
    }
}

// A failed audio segment counts as a failed segment: the folder stays.
TEST_F(StreamKinds, AFailedAudioSegmentLeavesTheJobIncomplete) {
    Start();
    RunJob(Server() + "missing-audio-seg001.ts/audio/master.m3u8", " 有 [1] 个分段下载失败");
    const std::vector<std::string> messages = LogMessages();
    EXPECT_EQ(1u, CountOf(messages, " 下载音频 [2/4] 失败（HTTP 404 Not Found）"));
    EXPECT_EQ(IncompleteMessage(1, JobDirectory(messages)), messages.back());
}

// After a discontinuity a second map applies: each fragment is joined after
// its own map, and the two runs make one video of eight seconds.
TEST_F(StreamKinds, EachFragmentIsJoinedAfterTheMapInForceForIt) {
    Start();
    const std::string address = Server() + "plain/two-maps/index.m3u8";
    RunJob(address, kSavedAt);
    const std::vector<std::string> messages = LogMessages();
    std::vector<std::string> expected = Join({kWarning}, ParseMessages(address, 4));
    const std::vector<std::string> download =
        DownloadMessages(JobDirectory(messages), {true, true, true, true});
    expected.push_back(download[0]);
    expected.insert(expected.end(), {kMapDownloading, kMapDownloading});
    expected.insert(expected.end(), download.begin() + 1, download.end());
    EXPECT_EQ(Readable(Join(expected, {" 视频合并成功。", kSavedAt + Target()})),
              Readable(messages));
    ExpectVideo(Target(), 8.0);
    ExpectDecodesWithoutErrors(Target());
    const std::vector<std::string> requests = ServerRequests();
    EXPECT_EQ(1u, CountOf(requests, "/plain/two-maps/first.mp4"));
    EXPECT_EQ(1u, CountOf(requests, "/plain/two-maps/second.mp4"));
}

// An inserted clip in another format (HEVC after H.264) becomes a
// video of its own, named after the save name with "-2".
TEST_F(StreamKinds, AClipInAnotherFormatBecomesAVideoOfItsOwn) {
    Start();
    const std::string address = Server() + "plain/codec-change/index.m3u8";
    RunJob(address, kSavedAt + NumberedTarget(2));
    const std::vector<std::string> messages = LogMessages();
    EXPECT_EQ(
        Readable(Join(Join(Join({kWarning}, ParseMessages(address, 4)),
                           DownloadMessages(JobDirectory(messages), {true, true, true, true})),
                      {" 视频合并成功。", kSavedAt + Target(), "", " 视频合并成功。",
                       kSavedAt + NumberedTarget(2)})),
        Readable(messages));
    for (const std::string& video : {Target(), NumberedTarget(2)}) {
        ExpectVideo(video, 4.0);
        ExpectDecodesWithoutErrors(video);
    }
}

// Each segment stands behind a PNG: the picture goes before the merge, once
// per segment, and one line counts them.
TEST_F(StreamKinds, SegmentsBehindAPictureLoseItAndBecomeAVideo) {
    Start();
    ExpectWholeJob(Server() + "plain/picture/index.m3u8", " 下载完成。",
                   {" 有 [3] 个分段的视频数据前面附有一张图片，合并前已去掉图片部分。"});
    EXPECT_EQ(1u, CountOf(ServerRequests(), "/plain/picture/seg001.ts"));
}

}  // namespace
}  // namespace e2e
