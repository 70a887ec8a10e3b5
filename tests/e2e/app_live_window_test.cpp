// Velmora end to end while a job runs: the window answers other programs at
// once and its log shows the segments done so far.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/e2e/end_to_end.h"

namespace e2e {
namespace {

class LiveWindow : public VelmoraEndToEnd {};

// The third segment answers after twenty seconds. Meanwhile the log box,
// asked from this process, answers within a second and holds the first two
// segments' lines, and a request to close the window does not end the job.
TEST_F(LiveWindow, TheLogShowsTheSegmentsDoneWhileTheJobWaitsForTheRest) {
    Start();
    Parse(Server() + "delay20000-seg002.ts/relative/index.m3u8", kClickStart);
    ASSERT_TRUE(app_->Press(windows::kStartButton));
    for (int i = 0;
         i < 500 && !CountOf(ServerRequests(), "/delay20000-seg002.ts/relative/seg002.ts"); ++i) {
        ::Sleep(20);
    }
    const std::string secondDone = " 下载 [2/3] 成功";
    std::string log;
    const DWORD start = ::GetTickCount();
    while (log.find(secondDone) == std::string::npos && ::GetTickCount() - start < 3000) {
        log = app_->Log(1000);  // empty unless the window answers within a second
        ::Sleep(100);
    }
    EXPECT_NE(std::string::npos, log.find(secondDone)) << log;
    EXPECT_EQ(std::string::npos, log.find(" 下载 [3/3]")) << "the job had ended";
    ASSERT_TRUE(::PostMessageA(app_->main(), WM_CLOSE, 0, 0));
    EXPECT_TRUE(app_->WaitForLog(kSavedAt, kJobTimeoutMs)) << app_->Log();
    EXPECT_TRUE(::IsWindow(app_->main()));
}

}  // namespace
}  // namespace e2e
