#include "app/curl_command.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// What a download takes from a command, as one text: the address, each
// header, the program's own headers and the options left aside.
std::string Taken(const app::CurlCommand& command) {
    static const char* const kProblems[] = {"", "unbalanced quotes", "no address", "cookie file",
                                            "missing value"};
    if (command.problem != app::CurlProblem::kNone) {
        return std::string("problem: ") + kProblems[static_cast<int>(command.problem)];
    }
    std::string text = "address: " + command.address + "\n";
    for (const net::RequestHeader& header : command.headers) {
        text += header.name + ": " + header.value + "\n";
    }
    text += "own:";
    for (const std::string& name : command.programsOwn) text += " " + name;
    text += "\nignored:";
    for (const std::string& option : command.ignored) text += " " + option;
    return text;
}

std::string WithCrLf(std::string text) {
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 2)) {
        text.insert(at, 1, '\r');
    }
    return text;
}

constexpr char kChromeUserAgent[] =
    "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/128.0.0.0 Safari/537.36";

struct Row {
    const char* copiedFrom;
    bool crlf;
    std::string command;
    std::string taken;
};

// Requests as the browsers copy them, and what each gives the download. Each
// reads the same once its lines are joined, as a paste into the box joins them.
TEST(CurlCommand, ReadsTheAddressAndHeadersOfCommandsAsBrowsersCopyThem) {
    const Row rows[] = {
        {"Chrome, bash", false,
         R"(curl 'https://site.example/v/index.m3u8?token=a%20b&c=1' \
  -H 'accept: */*' \
  -b 'session=s3cret; theme=dark' \
  -H 'referer: https://site.example/watch/42' \
  -H 'sec-ch-ua: "Chromium";v="128", "Not;A=Brand";v="24"' \
  -H 'user-agent: )" +
             std::string(kChromeUserAgent) + R"(' \
  --compressed)",
         "address: https://site.example/v/index.m3u8?token=a%20b&c=1\naccept: */*\n"
         "Cookie: session=s3cret; theme=dark\nreferer: https://site.example/watch/42\n"
         "sec-ch-ua: \"Chromium\";v=\"128\", \"Not;A=Brand\";v=\"24\"\nuser-agent: " +
             std::string(kChromeUserAgent) + "\nown:\nignored: --compressed"},
        {"Chrome, cmd", true,
         R"(curl ^"https://site.example/v/index.m3u8?token=a^%^20b^&c=1^" ^
  -H ^"accept: */*^" ^
  -b ^"session=s3cret; theme=dark^" ^
  -H ^"referer: https://site.example/watch/42^" ^
  -H ^"sec-ch-ua: ^\^"Chromium^\^";v=^\^"128^\^", ^\^"Not;A=Brand^\^";v=^\^"24^\^"^" ^
  -H ^"user-agent: )" +
             std::string(kChromeUserAgent) + R"(^")",
         "address: https://site.example/v/index.m3u8?token=a%20b&c=1\naccept: */*\n"
         "Cookie: session=s3cret; theme=dark\nreferer: https://site.example/watch/42\n"
         "sec-ch-ua: \"Chromium\";v=\"128\", \"Not;A=Brand\";v=\"24\"\nuser-agent: " +
             std::string(kChromeUserAgent) + "\nown:\nignored:"},
        {"Edge, bash, a cookie in $'...'", false,
         R"(curl 'https://site.example/v/index.m3u8' \
  -H 'accept: */*' \
  -b $'session=s3cret; note=it\'s\u0021' \
  -H 'referer: https://site.example/watch/42' \
  -H 'user-agent: Mozilla/5.0 Edg/128.0.0.0')",
         "address: https://site.example/v/index.m3u8\naccept: */*\n"
         "Cookie: session=s3cret; note=it's!\nreferer: https://site.example/watch/42\n"
         "user-agent: Mozilla/5.0 Edg/128.0.0.0\nown:\nignored:"},
        {"Firefox, POSIX", false,
         "curl 'https://site.example/v/index.m3u8' -H 'User-Agent: Mozilla/5.0 (X11; Linux "
         "x86_64; rv:128.0) Gecko/20100101 Firefox/128.0' -H 'Accept: */*' -H 'Accept-Encoding: "
         "gzip, deflate, br, zstd' -H 'Referer: https://site.example/watch/42' -H 'Origin: "
         "https://site.example' -H 'Connection: keep-alive' -H 'Cookie: session=s3cret; "
         "theme=dark' -H 'If-None-Match: \"abc\"' -H 'Range: bytes=0-'",
         "address: https://site.example/v/index.m3u8\nUser-Agent: Mozilla/5.0 (X11; Linux "
         "x86_64; rv:128.0) Gecko/20100101 Firefox/128.0\nAccept: */*\n"
         "Referer: https://site.example/watch/42\nOrigin: https://site.example\n"
         "Cookie: session=s3cret; theme=dark\n"
         "own: Accept-Encoding Connection If-None-Match Range\nignored:"},
        {"Firefox, Windows", true,
         R"(curl.exe ^"https://site.example/v/index.m3u8^" -H ^"User-Agent: Mozilla/5.0 Firefox/128.0^" -H ^"Referer: https://site.example/watch/42^" -H ^"Cookie: session=s3cret; theme=dark^")",
         "address: https://site.example/v/index.m3u8\nUser-Agent: Mozilla/5.0 Firefox/128.0\n"
         "Referer: https://site.example/watch/42\nCookie: session=s3cret; theme=dark\n"
         "own:\nignored:"},
        {"options in every spelling", false,
         R"(curl -sS -XGET -k --url https://site.example/a.m3u8 -A 'Agent/1' \
  -e 'https://site.example/;auto' -H 'X-Token;' -H $'X-Bad: a\r\nHost: evil' \
  --connect-timeout 5 -b a=1 --cookie "b=2" https://other.example/)",
         "address: https://site.example/a.m3u8\nUser-Agent: Agent/1\n"
         "Referer: https://site.example/\nCookie: a=1; b=2\n"
         "own:\nignored: -s -S -X -k -H --connect-timeout"},
        {"an unclosed quote", false, "curl 'https://site.example/a.m3u8' -H 'a: b",
         "problem: unbalanced quotes"},
        {"no address", false, "curl -H 'Referer: https://site.example/' --compressed",
         "problem: no address"},
        {"a cookie file", false, "curl https://site.example/a.m3u8 -b cookies.txt",
         "problem: cookie file"},
        {"an option without its value", false, "curl https://site.example/a.m3u8 -H",
         "problem: missing value"},
    };
    for (const Row& row : rows) {
        const std::string command = row.crlf ? WithCrLf(row.command) : row.command;
        EXPECT_TRUE(app::IsCurlCommand(command)) << row.copiedFrom;
        EXPECT_EQ(row.taken, Taken(app::ReadCurlCommand(command))) << row.copiedFrom;
        EXPECT_EQ(row.taken, Taken(app::ReadCurlCommand(app::JoinCommandLines(command))))
            << row.copiedFrom << ", joined";
    }
}

}  // namespace
