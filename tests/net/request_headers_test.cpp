#include "net/request_headers.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The credentials go to the host of the command's address, at any port, and
// nowhere else; a header that would end the request's head early goes nowhere.
TEST(RequestHeaders, CredentialsReachOnlyTheHostTheyCameWith) {
    const net::RequestHeaders headers({{"Referer", "https://site.example/watch"},
                                       {"Cookie", "session=s3cret"},
                                       {"Authorization", "Bearer t0ken"},
                                       {"X-Injected", "a\r\nHost: evil.example"},
                                       {"Accept-Encoding", "gzip"}},
                                      "https://Site.Example:8443/v/index.m3u8");
    const std::string everyone = "Referer: https://site.example/watch\r\n";
    const std::string owner =
        everyone + "Cookie: session=s3cret\r\nAuthorization: Bearer t0ken\r\n";
    const struct {
        const char* host;
        std::string lines;
    } rows[] = {
        {"site.example", owner},         {"SITE.EXAMPLE", owner}, {"cdn.site.example", everyone},
        {"site.example.evil", everyone}, {"127.0.0.2", everyone},
    };
    for (const auto& row : rows) EXPECT_EQ(row.lines, headers.LinesFor(row.host)) << row.host;
}

}  // namespace
