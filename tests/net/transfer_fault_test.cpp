// The transfers against a server that misbehaves: each bad answer must fail,
// with its reason, whether a segment, the playlist or a key asked for it; a
// whole answer must arrive byte for byte. The server is
// tests/servers/hls_test_server.py (its fault modes are named at its top);
// the program runs with a wait limit of 2 s (CMakeLists.txt).
#include <gtest/gtest.h>

#include <windows.h>
#include <wininet.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <tlhelp32.h>

#include "net/body_fetch.h"
#include "net/segment_download.h"
#include "net/segment_pool.h"
#include "net/server_pace.h"
#include "net/transfer_limits.h"
#include "runtime/owned.h"
#include "runtime/system_error_text.h"
#include "tests/net/fetch_url.h"
#include "tests/net/loopback_socket.h"
#include "tests/net/made_segments.h"
#include "tests/net/served_test.h"

namespace {

using test_app::TinyName;
using test_app::TinySegment;

// The server's made playlist relative-N.m3u8.
std::string RelativePlaylist(int segments) {
    std::string text = "#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-TARGETDURATION:2\n";
    for (int i = 0; i < segments; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "seg%06d.ts", i);
        text += "#EXTINF:2.000,\n" + std::string(name) + "\n";
    }
    return text + "#EXT-X-ENDLIST\n";
}

// Threads that WinINet may start on its own and keep, such as the one that
// closes its idle connections.
constexpr size_t kThreadsOfWinInet = 2;

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Who asks: a segment into a file, the playlist by FetchUrl, a key by FetchBodies.
enum class Asker { kSegment, kPlaylist, kKey };

class TransferFaults : public test_app::ServedTest {
  protected:
    // What the asker got: "arrived" with whether its bytes are `whole`, or
    // "failed" with the reason and, for a segment, whether a file was left.
    std::string Outcome(Asker asker, const std::string& path, const std::string& whole) {
        bool arrived = false;
        std::string bytes, failure;
        const std::string file = directory_ + "segment.ts";
        switch (asker) {
            case Asker::kSegment:
                arrived = net::DownloadSegment({Url(path), file}, slices_, pace_, &failure);
                bytes = ReadFile(file);
                ::DeleteFileA(file.c_str());
                break;
            case Asker::kPlaylist: {
                const test_app::Fetched fetched = test_app::FetchUrlWithReason(Url(path));
                arrived = fetched.failure.empty();
                bytes = fetched.body;
                failure = fetched.failure;
                break;
            }
            case Asker::kKey: {
                const net::FetchedBody key = net::FetchBodies({Url(path)}, 1024, [] {})[0];
                arrived = key.arrived;
                bytes = key.bytes;
                failure = key.failure;
                break;
            }
        }
        if (arrived) {
            return "arrived, " + (bytes == whole
                                      ? std::string("whole")
                                      : "other " + std::to_string(bytes.size()) + " bytes");
        }
        return "failed: " + failure + (bytes.empty() ? "" : " (file left)");
    }

    const std::string directory_ = ::testing::TempDir();
    net::SliceSources slices_{directory_};
    net::ServerPace pace_{net::kSegmentConnections};
};

TEST_F(TransferFaults, EachBadAnswerFailsWithItsReasonAndWholeOnesArrive) {
    const std::string tiny = TinySegment("tiny000000.ts");
    const std::string chain = RelativePlaylist(2000);  // many chunks, many reads
    // The drip comes every two thirds of a window, as the shipped 20 s in 30 s.
    const std::string drip = std::to_string(net::TimeLimitMs(net::kLowSpeedWindowMs) * 2 / 3);
    const HMODULE wininet = ::GetModuleHandleA("wininet.dll");
    const std::string aborted =
        runtime::SystemErrorText(ERROR_INTERNET_CONNECTION_ABORTED, wininet);
    const std::string timeout = runtime::SystemErrorText(ERROR_INTERNET_TIMEOUT, wininet);
    const struct {
        const char* what;
        Asker asker;
        std::string path;
        std::string expected;
        std::string whole;        // the bytes of an answer that arrives
        int idleConnections;      // held open while it is asked for
        std::string alternative;  // another outcome that is as right
    } rows[] = {
        {"hangup", Asker::kSegment, "/hangup-tiny000000.ts/made/tiny000000.ts",
         "failed: 服务器没有应答就关闭了连接。"},
        {"hangup playlist", Asker::kPlaylist, "/hangup-tiny000000.ts/made/tiny000000.ts",
         "failed: 服务器没有应答就关闭了连接。"},
        {"empty", Asker::kSegment, "/empty-tiny000000.ts/made/tiny000000.ts",
         "failed: 服务器返回的正文是空的。"},
        {"empty playlist", Asker::kPlaylist, "/empty-tiny000000.ts/made/tiny000000.ts",
         "arrived, whole", ""},
        // Wine mostly takes a reset before the answer for a close.
        {"busy", Asker::kSegment, "/busy-tiny000000.ts/made/tiny000000.ts", "failed: " + aborted,
         "", 2, "failed: 服务器没有应答就关闭了连接。"},
        {"drip", Asker::kSegment, "/drip" + drip + "-tiny000000.ts/made/tiny000000.ts",
         "failed: 传输过慢：每秒平均不到 1024 字节。"},
        {"404", Asker::kSegment, "/missing-tiny000000.ts/made/tiny000000.ts",
         "failed: HTTP 404 Not Found"},
        {"400", Asker::kSegment, "/bad-tiny000000.ts/made/tiny000000.ts",
         "failed: HTTP 400 Bad Request"},
        {"ten redirects", Asker::kSegment, "/redirect10-tiny000000.ts/made/tiny000000.ts",
         "arrived, whole", tiny},
        {"eleven redirects", Asker::kSegment, "/redirect11-tiny000000.ts/made/tiny000000.ts",
         "failed: 重定向超过 10 次。"},
        {"overlong", Asker::kSegment, "/overlong-tiny000000.ts/made/tiny000000.ts",
         "failed: 正文过长：应有 94 字节，却收到 188 字节。"},
        {"stall without a length", Asker::kPlaylist,
         "/stall-relative-2000.m3u8/made/relative-2000.m3u8",
         "failed: 接收正文时连接出错：" + timeout},
        {"stall after a burst", Asker::kSegment,
         "/stall-relative-2000.m3u8/made/relative-2000.m3u8",
         "failed: 接收正文时连接出错：" + timeout},
        {"huge playlist", Asker::kPlaylist, "/huge-tiny000000.ts/made/tiny000000.ts",
         "failed: 正文长 600000000 字节，超过 67108864 字节的上限。"},
        {"key over 1 KiB", Asker::kKey, "/chunked/made/relative-100.m3u8",
         "failed: 正文超过 1024 字节的上限。"},
        {"key", Asker::kKey, "/plain/made/tiny000000.ts", "arrived, whole", tiny},
        {"chunked", Asker::kSegment, "/chunked/made/relative-2000.m3u8", "arrived, whole", chain},
        // Compressed unasked, as misconfigured servers send them.
        {"gzip", Asker::kSegment, "/gzip/made/tiny000000.ts", "arrived, whole", tiny},
        {"deflate", Asker::kSegment, "/deflate/made/tiny000000.ts", "arrived, whole", tiny},
        {"gzip playlist", Asker::kPlaylist, "/gzip/made/relative-2000.m3u8", "arrived, whole",
         chain},
        {"deflate playlist", Asker::kPlaylist, "/deflate/made/relative-2000.m3u8", "arrived, whole",
         chain},
        {"nolength", Asker::kSegment, "/nolength/made/relative-2000.m3u8", "arrived, whole", chain},
    };
    for (const auto& row : rows) {
        std::vector<std::unique_ptr<test_app::LoopbackSocket>> idle;
        for (int i = 0; i < row.idleConnections; ++i) {
            idle.push_back(std::make_unique<test_app::LoopbackSocket>());
            idle.back()->Connect(std::atoi(port_));
        }
        const std::string actual = Outcome(row.asker, row.path, row.whole);
        EXPECT_EQ(actual == row.alternative ? row.alternative : row.expected, actual) << row.what;
    }
}

// A segment that is not what the playlist promises is tried again, and what
// it left is removed.
TEST_F(TransferFaults, ASegmentThatFailsItsCheckIsTriedThreeTimesAndRemoved) {
    const std::string file = directory_ + "page.ts";
    const std::string path = "/html-tiny000000.ts/made/tiny000000.ts";
    std::vector<std::string> checked;
    const net::ContentCheck noPages = [&](const std::string& arrived) {
        checked.push_back(ReadFile(arrived).substr(0, 6));
        return std::string("不是视频");
    };
    std::string failure;
    EXPECT_FALSE(net::DownloadSegment({Url(path), file, true, noPages}, slices_, pace_, &failure));
    EXPECT_EQ("不是视频", failure);
    EXPECT_EQ(std::vector<std::string>(net::kSegmentTries, "<html>"), checked);
    EXPECT_FALSE(FileExists(file));
}

// Side by side, each download and each key says how it ended, in the order asked.
TEST_F(TransferFaults, ThePoolAndTheKeysSayWhyEachFailedInTheirOrder) {
    const std::string paths[] = {"/missing-tiny000000.ts/made/tiny000000.ts",
                                 "/plain/made/tiny000001.ts",
                                 "/bad-tiny000002.ts/made/tiny000002.ts"};
    std::vector<net::SegmentDownload> downloads;
    std::vector<std::string> addresses;
    for (const std::string& path : paths) {
        downloads.push_back({Url(path), directory_ + path.substr(path.rfind('/') + 1)});
        addresses.push_back(Url(path));
    }
    downloads.push_back({Url(paths[1]), directory_ + "unwanted.ts", false});
    std::vector<std::string> segments;
    net::SegmentPool pool(std::move(downloads), 3, slices_, pace_);
    for (size_t i = 0; i < 4; ++i) {
        segments.push_back(pool.Arrived(i, [] {}) ? "arrived" : "failed: " + pool.FailureOf(i));
    }
    std::vector<std::string> keys;
    for (const net::FetchedBody& key : net::FetchBodies(addresses, 1024, [] {})) {
        keys.push_back(key.arrived ? "arrived " + std::to_string(key.bytes.size())
                                   : "failed: " + key.failure);
    }
    EXPECT_EQ((std::vector<std::string>{"failed: HTTP 404 Not Found", "arrived",
                                        "failed: HTTP 400 Bad Request", "failed: "}),
              segments);
    EXPECT_EQ((std::vector<std::string>{"failed: HTTP 404 Not Found", "arrived 188",
                                        "failed: HTTP 400 Bad Request"}),
              keys);
}

// A server that asks to slow down gets its wait, as long as the wait limit
// at most, and the segment arrives; one that never stops asking is given up
// in bounded time.
TEST_F(TransferFaults, ABusyServerGetsTheWaitItAsksForAndTheSegmentStillArrives) {
    const DWORD limit = net::TimeLimitMs(net::kWaitLimitMs);
    const struct {
        const char* fault;
        std::string expected;
        DWORD leastMs;  // the waits the server asked for, within the limit
    } rows[] = {
        {"slowdown1", "arrived", 2 * 1000},
        {"ratelimit1", "arrived", 2 * 1000},
        {"slowdown3600", "arrived", 2 * limit},
        {"slowdown", "arrived", 0},
        {"overload3600", "failed: HTTP 503 Service Unavailable", 0},
    };
    for (const auto& row : rows) {
        net::ServerPace pace(net::kSegmentConnections);
        const std::string file = directory_ + "busy.ts";
        std::string failure;
        const DWORD start = ::GetTickCount();
        const bool arrived = net::DownloadSegment(
            {Url("/" + std::string(row.fault) + "-tiny000000.ts/made/tiny000000.ts"), file},
            slices_, pace, &failure);
        const DWORD elapsed = ::GetTickCount() - start;
        ::DeleteFileA(file.c_str());
        EXPECT_EQ(row.expected, arrived ? "arrived" : "failed: " + failure) << row.fault;
        EXPECT_GE(elapsed, row.leastMs) << row.fault;
        EXPECT_TRUE(pace.askedToSlowDown()) << row.fault;
    }
}

// A server that answers only so many requests at once, with a 503 or a
// reset for the rest, gives every segment to a pool that asks it for six.
TEST_F(TransferFaults, AServerThatTakesOneRequestAtATimeGivesThePoolEverySegment) {
    std::string names;
    for (int i = 0; i < 6; ++i) names += (i ? "+" : "") + TinyName(i);
    for (const std::string fault : {"limit1", "refuse1"}) {
        net::ServerPace pace(net::kSegmentConnections);
        std::vector<net::SegmentDownload> downloads;
        for (int i = 0; i < 6; ++i) {
            downloads.push_back({Url("/" + fault + "-" + names + "/made/" + TinyName(i)),
                                 directory_ + fault + TinyName(i)});
        }
        net::SegmentPool pool(downloads, net::kSegmentConnections, slices_, pace);
        for (size_t i = 0; i < downloads.size(); ++i) {
            EXPECT_TRUE(pool.Arrived(i, [] {})) << fault << " " << i << ": " << pool.FailureOf(i);
            EXPECT_EQ(TinySegment(TinyName(static_cast<int>(i))), ReadFile(downloads[i].file));
            ::DeleteFileA(downloads[i].file.c_str());
        }
        EXPECT_EQ(fault == "limit1", pace.askedToSlowDown()) << fault;  // a reset asks nothing
        // Six answers, and at most the five refusals of the first round, each of
        // which WinINet may send once more on a new connection: after it the
        // pool asks one at a time. Asking six at a time to the end takes 21.
        const std::string requests = test_app::FetchUrlWithReason(Url("/requests")).body;
        size_t asked = 0;
        for (size_t at = 0; (at = requests.find("/" + fault + "-", at)) != std::string::npos; ++at)
            ++asked;
        EXPECT_LE(asked, 16u) << fault;
    }
}

size_t ThreadsOfThisProcess() {
    const runtime::UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry{sizeof entry};
    size_t threads = 0;
    for (BOOL more = ::Thread32First(snapshot.get(), &entry); more;
         more = ::Thread32Next(snapshot.get(), &entry)) {
        if (entry.th32OwnerProcessID == ::GetCurrentProcessId()) ++threads;
    }
    return threads;
}

// Every try of an https segment to a plain server waits for a handshake
// that never comes and is given up at the wait limit; its thread ends soon
// after, so a job of many such segments leaves no threads behind.
TEST_F(TransferFaults, GetsLeftBehindInAHandshakeEndTheirThreads) {
    const size_t before = ThreadsOfThisProcess();
    std::vector<net::SegmentDownload> downloads;
    for (int i = 0; i < 8; ++i) {
        downloads.push_back({"https" + Url("/plain/made/" + TinyName(i)).substr(4),
                             directory_ + "https" + TinyName(i)});
    }
    {
        net::SegmentPool pool(downloads, 4, slices_, pace_);
        for (size_t i = 0; i < downloads.size(); ++i) EXPECT_FALSE(pool.Arrived(i, [] {}));
    }
    // The last tries were given up just now: their threads have the wait limit to end.
    size_t after = ThreadsOfThisProcess();
    for (DWORD waited = 0;
         after > before + kThreadsOfWinInet && waited < 2 * net::TimeLimitMs(net::kWaitLimitMs);
         waited += 100) {
        ::Sleep(100);
        after = ThreadsOfThisProcess();
    }
    EXPECT_LE(after, before + kThreadsOfWinInet) << "threads before the job: " << before;
}

}  // namespace
