// A site that serves its playlist, key and segments only to its own pages'
// requests, its segments from a second host: downloaded with the request a
// browser copied as cURL, pasted into the address box as a person pastes.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/e2e/end_to_end.h"
#include "tests/support/window_driver.h"

namespace e2e {
namespace {

constexpr char kSecret[] = "s3cret";

// As Chrome on Windows copies the playlist's request ("Copy as cURL (cmd)").
std::string CopiedAsCurl(const std::string& address) {
    return "curl ^\"" + address +
           "^\" ^\r\n"
           "  -H ^\"accept: */*^\" ^\r\n"
           "  -b ^\"theme=dark; session=s3cret^\" ^\r\n"
           "  -H ^\"referer: https://site.invalid/watch/42^\" ^\r\n"
           "  -H ^\"user-agent: Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 "
           "(KHTML, like Gecko) Chrome/128.0.0.0 Safari/537.36^\" ^\r\n"
           "  -H ^\"accept-encoding: gzip^\" ^\r\n"
           "  --compressed";
}

bool PutOnClipboard(const std::string& text) {
    bool opened = false;
    for (int attempt = 0; attempt < 50 && !(opened = ::OpenClipboard(nullptr)); ++attempt) {
        ::Sleep(20);
    }
    if (!opened) return false;
    ::EmptyClipboard();
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    bool placed = false;
    if (memory) {
        std::memcpy(::GlobalLock(memory), text.c_str(), text.size() + 1);
        ::GlobalUnlock(memory);
        placed = ::SetClipboardData(CF_TEXT, memory) != nullptr;
        if (!placed) ::GlobalFree(memory);
    }
    ::CloseClipboard();
    return placed;
}

class PastedRequest : public VelmoraEndToEnd {};

TEST_F(PastedRequest, APastedCommandDownloadsFromASiteThatRefusesBareRequests) {
    Start();
    const std::string address = Server() + "site/made/guarded.m3u8";
    ASSERT_TRUE(PutOnClipboard(CopiedAsCurl(address)));
    const HWND box = app_->Control(windows::kAddressBox);
    driver::ClickWithMouse(box);
    driver::PressChord({VK_CONTROL, 'V'});
    std::string pasted;
    for (int attempt = 0; attempt < 100 && pasted.find("--compressed") == std::string::npos;
         ++attempt) {
        ::Sleep(50);
        pasted = app_->Text(windows::kAddressBox);
    }
    ASSERT_NE(std::string::npos, pasted.find("--compressed")) << "the paste kept: " << pasted;

    ASSERT_TRUE(app_->Press(windows::kParseButton));
    ASSERT_TRUE(app_->WaitForLog(std::string(kClickStart) + "\r\n", kParseTimeoutMs))
        << app_->Log();
    const std::vector<std::string> expected = Join(
        {kWarning, " 已从 cURL 命令读出地址：" + address,
         " 请求头：accept、Cookie、referer、user-agent",
         " 这些请求头由本程序自己设置，不采用：accept-encoding", " 这些选项不采用：--compressed"},
        ParseMessages(address, 3));
    EXPECT_EQ(Readable(expected), Readable(LogMessages()));

    ASSERT_TRUE(app_->Press(windows::kStartButton));
    ASSERT_TRUE(app_->WaitForLog(kSavedAt + Target(), kJobTimeoutMs)) << app_->Log();
    ExpectVideo(Target(), kSampleSeconds);

    // The cookie went to the site's host, and never to the other one, not
    // even after the site's redirect there.
    const std::vector<std::string> requests = ServerRequests();
    const std::string withCookie = " cookie=theme=dark; session=s3cret";
    for (const char* path :
         {"/site/made/guarded.m3u8", "/site/aes-sequence/key.bin", "/site/to-cdn/seg005.ts"}) {
        EXPECT_EQ(1u, CountOf(requests, path + withCookie)) << path;
    }
    for (const char* segment : {"seg005.ts", "seg006.ts", "seg007.ts"}) {
        EXPECT_EQ(1u, CountOf(requests, std::string("/cdn/aes-sequence/") + segment)) << segment;
    }
    for (const std::string& request : requests) {
        EXPECT_FALSE(request.rfind("/cdn/", 0) == 0 &&
                     request.find(" cookie=") != std::string::npos)
            << request;
    }
    EXPECT_EQ(std::string::npos, app_->Log().find(kSecret));

    // A plain address typed later goes without the command's headers.
    const size_t logged = app_->Log().size();
    Parse(address, kNotPlaylist);
    EXPECT_EQ("HTTP 403 Forbidden", MessageAfter(LogMessages(logged), kFetchFailed));
}

}  // namespace
}  // namespace e2e
