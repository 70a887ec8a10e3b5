#include "net/http_reader.h"

#include "net/http_get.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <wininet.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/calls.h"
#include "net/internet_library.h"
#include "runtime/memory.h"
#include "tests/net/fetch_url.h"
#include "tests/net/libraries.h"
#include "tests/net/loopback_socket.h"
#include "tests/net/served_test.h"

namespace {

using runtime::ArgRecord;
using test_app::Fetched;
using test_app::FetchUrlWithReason;

// The server's body for every path it does not know.
constexpr char kNotFoundBody[] = "<html><body>404: no such playlist</body></html>";

// The server's pattern bytes: byte i is i * 31 + 7 modulo 256.
std::string Pattern(size_t length) {
    std::string bytes(length, '\0');
    for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<char>((i * 31 + 7) & 0xFF);
    return bytes;
}

// Position of the first differing byte, or -1 when the two are equal.
long long FirstDifference(const std::string& a, const std::string& b) {
    const size_t common = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < common; ++i) {
        if (a[i] != b[i]) return static_cast<long long>(i);
    }
    return a.size() == b.size() ? -1 : static_cast<long long>(common);
}

class HttpReader : public test_app::ServedTest {
  protected:
    // The fetch's result as application code receives it.
    void* FetchByteSet(const char* address) {
        const ArgRecord args[] = {app::TextArg(address)};
        return reinterpret_cast<void*>(
            ::CallLibraryCommand(test_app::kInternetLibraryIndex, net::FetchUrl, 1, args).low);
    }
    std::string Fetch(const std::string& address) { return FetchUrlWithReason(address).body; }
};

// Request head lines as the server's echo returns them, without their CR LF.
std::vector<std::string> HeadLines(const std::string& head) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = head.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(head.substr(start, end - start));
    }
    return lines;
}

std::string RequestLine(const std::string& head) { return head.substr(0, head.find("\r\n")); }

TEST_F(HttpReader, SendsAnHttp10GetWithTheFixedAgentAndAcceptHeader) {
    const std::string head = Fetch(Url("/echo/list.m3u8?id=7&q=a%20b"));
    const std::vector<std::string> lines = HeadLines(head);
    ASSERT_GE(lines.size(), 2u) << head;
    EXPECT_EQ("GET /echo/list.m3u8?id=7&q=a%20b HTTP/1.0", lines[0]);
    EXPECT_EQ("", lines.back()) << "the head ends with an empty line";
    int agents = 0, accepts = 0;
    for (const std::string& line : lines) {
        if (line.rfind("User-Agent:", 0) == 0) {
            ++agents;
            EXPECT_EQ("User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)", line);
        }
        if (line.rfind("Accept:", 0) == 0) {
            ++accepts;
            EXPECT_EQ("Accept: */*", line);
        }
    }
    EXPECT_EQ(1, agents) << head;
    EXPECT_EQ(1, accepts) << head;
}

TEST_F(HttpReader, DropsTheFragmentBeforeSending) {
    EXPECT_EQ("GET /echo?list=1 HTTP/1.0", RequestLine(Fetch(Url("/echo?list=1#part#more"))));
    EXPECT_EQ("GET /echo HTTP/1.0", RequestLine(Fetch(Url("/echo#?list=1"))));
}

TEST_F(HttpReader, BodiesArriveWholeAndByteExact) {
    struct Case {
        const char* path;
        size_t length;
    };
    const Case cases[] = {
        {"/length/5000", 5000},        // one read of 5,001
        {"/length/1000000", 1000000},  // reads of 102,400
        {"/length/102399", 102399},    // the largest single-read body
        {"/length/1", 1},
        {"/nolength/50000", 50000},  // close-delimited, reads of 10,240
        {"/chunked/50000", 50000},   // chunked transfer coding
        {"/chunked/10240", 10240},
    };
    for (const Case& c : cases) {
        const std::string body = Fetch(Url(c.path));
        EXPECT_EQ(c.length, body.size()) << c.path;
        EXPECT_EQ(-1, FirstDifference(Pattern(c.length), body)) << c.path;
    }
}

TEST_F(HttpReader, ChunkSizeFollowsTheAnnouncedLength) {
    EXPECT_EQ(5001u, net::ChunkSizeFor("5000", true));
    EXPECT_EQ(102400u, net::ChunkSizeFor("1000000", true));
    EXPECT_EQ(102400u, net::ChunkSizeFor("102399", true));
    EXPECT_EQ(102400u, net::ChunkSizeFor("102400", true));
    EXPECT_EQ(102399u, net::ChunkSizeFor("102398", true));
    EXPECT_EQ(2u, net::ChunkSizeFor("1", true));
    EXPECT_EQ(102400u, net::ChunkSizeFor("99999999999999999999", true));
}

// Pieces "abc", "de", then a failed read: what arrived stays, in order, each
// piece handed to the sink as it came.
TEST_F(HttpReader, AFailedReadKeepsWhatArrived) {
    struct Source {
        std::vector<std::string> pieces{"abc", "de"};
        size_t next = 0;
    } source;
    const auto read = [](void* from, void* into, DWORD size, DWORD* received) -> BOOL {
        auto* s = static_cast<Source*>(from);
        if (s->next == s->pieces.size()) {
            ::SetLastError(ERROR_INTERNET_CONNECTION_RESET);
            return FALSE;
        }
        const std::string& piece = s->pieces[s->next++];
        EXPECT_EQ(8u, size);
        std::memcpy(into, piece.data(), piece.size());
        *received = static_cast<DWORD>(piece.size());
        return TRUE;
    };
    struct Gathering : net::BodySink {
        bool Keep(const char* data, uint32_t size) override {
            body.append(data, size);
            pieces.push_back(size);
            return true;
        }
        std::string body = "x";
        std::vector<size_t> pieces;
    } sink;
    const net::PiecesRead result = net::ReadPieces(read, &source, 8, sink);
    EXPECT_EQ(5u, result.bytes);
    EXPECT_EQ(net::PiecesRead::kReadFailed, result.end);
    EXPECT_EQ(static_cast<DWORD>(ERROR_INTERNET_CONNECTION_RESET), result.error);
    EXPECT_EQ("xabcde", sink.body);
    EXPECT_EQ((std::vector<size_t>{3, 2}), sink.pieces);
}

TEST_F(HttpReader, ChunkSizeWithoutAUsableLengthIsTheDefault) {
    EXPECT_EQ(10240u, net::ChunkSizeFor("5000", false));
    EXPECT_EQ(10240u, net::ChunkSizeFor(nullptr, true));
    EXPECT_EQ(10240u, net::ChunkSizeFor("", true));
    EXPECT_EQ(10240u, net::ChunkSizeFor("0", true));
    EXPECT_EQ(10240u, net::ChunkSizeFor("-5000", true));
    EXPECT_EQ(10240u, net::ChunkSizeFor("many", true));
}

TEST_F(HttpReader, ChunkSizeOfRealResponses) {
    const net::InternetHandle root(
        ::InternetOpenA("chunk test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    ASSERT_TRUE(root);
    const struct {
        const char* path;
        uint32_t chunk;
    } cases[] = {
        {"/length/5000", 5001},  {"/length/1000000", 102400},     {"/nolength/100", 10240},
        {"/chunked/100", 10240}, {"/redirect/length/5000", 5001},
    };
    for (const auto& c : cases) {
        const net::InternetHandle request(::InternetOpenUrlA(root.get(), Url(c.path).c_str(),
                                                             nullptr, 0, INTERNET_FLAG_RELOAD, 0));
        ASSERT_TRUE(request) << c.path << " error " << ::GetLastError();
        EXPECT_EQ(c.chunk, net::ChunkSizeOf(request.get())) << c.path;
    }
}

// An error page, a body cut short and a redirect loop are failed fetches: the
// playlist's reader must never take them for a playlist.
TEST_F(HttpReader, ErrorStatusesFailWithTheStatusAsTheReason) {
    const Fetched missing = FetchUrlWithReason(Url("/missing.m3u8"));
    EXPECT_EQ("", missing.body);
    EXPECT_EQ("HTTP 404 Not Found", missing.failure);
    EXPECT_EQ("HTTP 500 Status", FetchUrlWithReason(Url("/status/500")).failure);
    EXPECT_EQ("", FetchUrlWithReason(Url("/status/200")).failure);
}

TEST_F(HttpReader, ABodyShorterThanAnnouncedFails) {
    const Fetched cut = FetchUrlWithReason(Url("/cut/100000/30000"));
    EXPECT_EQ("", cut.body);
    EXPECT_NE(std::string::npos, cut.failure.find("30000")) << cut.failure;
    EXPECT_NE(std::string::npos, cut.failure.find("100000")) << cut.failure;
}

TEST_F(HttpReader, RedirectsAreFollowed) {
    const std::string body = Fetch(Url("/redirect/length/5000"));
    EXPECT_EQ(5000u, body.size());
    EXPECT_EQ(-1, FirstDifference(Pattern(5000), body));
    EXPECT_EQ("GET /echo/after HTTP/1.0", RequestLine(Fetch(Url("/redirect/echo/after"))));
}

// The names inside a body are resolved against where it came from.
TEST_F(HttpReader, TheFinalAddressIsTheOneTheBodyCameFrom) {
    char* finalAddress = nullptr;
    const std::string address = Url("/redirect/length/50");  // outlives the call
    const ArgRecord args[] = {app::TextArg(address.c_str()),
                              {0, 0, runtime::tag::kNone},
                              {reinterpret_cast<uint32_t>(&finalAddress), 0, runtime::tag::kText}};
    runtime::FreeMemory(reinterpret_cast<void*>(
        ::CallLibraryCommand(test_app::kInternetLibraryIndex, net::FetchUrl, 3, args).low));
    EXPECT_STREQ(Url("/length/50").c_str(), finalAddress);
    runtime::FreeMemory(finalAddress);
}

TEST_F(HttpReader, TenRedirectsAreFollowedAndAnEleventhFails) {
    EXPECT_EQ("arrived", Fetch(Url("/redirects/10")));
    const Fetched eleven = FetchUrlWithReason(Url("/redirects/11"));
    EXPECT_EQ("", eleven.body);
    EXPECT_NE("", eleven.failure);
    EXPECT_EQ(eleven.failure, FetchUrlWithReason(Url("/loop")).failure);
}

// The test program runs with a wait limit of two seconds (CMakeLists.txt).
TEST_F(HttpReader, ATransferThatStallsFailsAtTheLimit) {
    const std::string stalled[] = {
        Url("/never"),                                     // no answer
        Url("/stall/10000/100"),                           // a head and a little, then nothing
        Url("/trickle/10000"),                             // ten bytes a second
        "https://127.0.0.1:" + std::string(port_) + "/x",  // a TLS handshake nobody answers
    };
    for (const std::string& address : stalled) {
        const Fetched fetched = FetchUrlWithReason(address);
        EXPECT_EQ("", fetched.body) << address;
        EXPECT_NE("", fetched.failure) << address;
    }
}

TEST_F(HttpReader, AddressesThatCannotBeFetchedGiveTheEmptyByteSet) {
    test_app::LoopbackSocket refusing;
    const std::string closed = "127.0.0.1:" + std::to_string(refusing.BindRefusingPort());
    const std::string addresses[] = {
        "",
        "#fragment-only",
        "127.0.0.1:" + std::string(port_) + "/echo",  // no scheme
        "www.example.com/playlist.m3u8",
        "http://",
        "http://" + closed + "/list.m3u8",
        "https://" + closed + "/list.m3u8",
    };
    for (const std::string& address : addresses) {
        EXPECT_EQ(nullptr, FetchByteSet(address.c_str())) << address;
    }
    // A refused connection says why in the system's words.
    EXPECT_NE("", FetchUrlWithReason("http://" + closed + "/list.m3u8").failure);
    const ArgRecord nullText[] = {{0, 0, runtime::tag::kText}};
    EXPECT_EQ(
        0u, ::CallLibraryCommand(test_app::kInternetLibraryIndex, net::FetchUrl, 1, nullText).low);
}

TEST_F(HttpReader, FetchesAgainAfterTheEndNotificationClosedTheRoot) {
    EXPECT_EQ(5000u, Fetch(Url("/length/5000")).size());
    net::kInternetLibrary.notify(runtime::library_notify::kEnd, 0, 0);
    EXPECT_EQ(5000u, Fetch(Url("/length/5000")).size());
    // A root already closed is left alone.
    net::kInternetLibrary.notify(runtime::library_notify::kEnd, 0, 0);
    net::kInternetLibrary.notify(runtime::library_notify::kEnd, 0, 0);
}

}  // namespace
