// Velmora end to end while a job runs: the window answers other programs at
// once, its log shows the segments done so far, and closing it asks first.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/end_to_end.h"
#include "tests/support/window_driver.h"

namespace e2e {
namespace {

constexpr char kSlowThird[] = "delay20000-seg002.ts/relative/";
constexpr char kQuitQuestion[] = "任务还在进行，确定要退出吗？\r\n已下载的分段会保留在：";
// What the issue promises a person who closes the window mid-job.
constexpr DWORD kQuitLimitMs = 5000;

class LiveWindow : public VelmoraEndToEnd {
  protected:
    // Starts a job whose third segment answers after twenty seconds and
    // returns its log once the first two segments' lines are in it, as the
    // window gives it within a second of asking; the job directory goes to
    // `jobDirectory`.
    std::string WaitForTwoOfThree(std::string* jobDirectory) {
        Parse(Server() + kSlowThird + "index.m3u8", kClickStart);
        EXPECT_TRUE(app_->Press(windows::kStartButton));
        const std::string third = std::string("/") + kSlowThird + "seg002.ts";
        for (int i = 0; i < 500 && !CountOf(ServerRequests(), third); ++i) ::Sleep(20);
        const std::string secondDone = " 下载 [2/3] 成功";
        std::string log;
        const DWORD start = ::GetTickCount();
        while (log.find(secondDone) == std::string::npos && ::GetTickCount() - start < 3000) {
            log = app_->Log(1000);  // empty unless the window answers within a second
            ::Sleep(100);
        }
        EXPECT_NE(std::string::npos, log.find(secondDone)) << log;
        EXPECT_EQ(std::string::npos, log.find(" 下载 [3/3]")) << "the job had ended";
        *jobDirectory = JobDirectory(LogMessages());
        return log;
    }

    // The question that closing the window mid-job asks, checked.
    HWND WaitForQuitQuestion(const std::string& jobDirectory) {
        HWND question = app_->WaitForBox(kQuestionCaption, kJobTimeoutMs);
        EXPECT_NE(nullptr, question);
        if (question) {
            EXPECT_EQ(kQuitQuestion + jobDirectory, driver::MessageBoxText(question));
        }
        return question;
    }
};

// The log shows the segments done while the job waits for the rest; asked to
// close, the window asks, and "否" lets the job save the whole video.
TEST_F(LiveWindow, TheLogShowsTheSegmentsDoneWhileTheJobWaitsForTheRest) {
    Start();
    std::string jobDirectory;
    WaitForTwoOfThree(&jobDirectory);
    ASSERT_TRUE(::PostMessageA(app_->main(), WM_CLOSE, 0, 0));
    HWND question = WaitForQuitQuestion(jobDirectory);
    ASSERT_NE(nullptr, question);
    ASSERT_TRUE(driver::PressButton(question, IDNO));
    EXPECT_TRUE(app_->WaitForLog(kSavedAt, kJobTimeoutMs)) << app_->Log();
    EXPECT_TRUE(::IsWindow(app_->main()));
}

// Closing mid-job, with Alt+F4 and "是" or by Windows ending the session (no question):
// the program ends within five seconds, the third segment is not asked for
// again, and the job folder keeps the playlist and the two segments that
// arrived.
TEST_F(LiveWindow, ClosingMidJobEndsTheProgramAndKeepsTheFinishedSegments) {
    enum class Close { kAskedYes, kSessionEnds };
    for (const Close close : {Close::kAskedYes, Close::kSessionEnds}) {
        SCOPED_TRACE(close == Close::kAskedYes ? "Alt+F4, yes" : "session ends");
        Start();
        std::string jobDirectory;
        WaitForTwoOfThree(&jobDirectory);
        const std::string third = std::string("/") + kSlowThird + "seg002.ts";
        const size_t thirdAsked = CountOf(ServerRequests(), third);
        if (close == Close::kAskedYes) {
            driver::BringToFront(app_->main());
            driver::PressChord({VK_MENU, VK_F4});
            HWND question = WaitForQuitQuestion(jobDirectory);
            ASSERT_NE(nullptr, question);
            ASSERT_TRUE(driver::PressButton(question, IDYES));
        } else {
            DWORD_PTR agreed = 1;
            ASSERT_TRUE(::SendMessageTimeoutA(app_->main(), WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL,
                                              1000, &agreed));
            EXPECT_EQ(0u, agreed) << "the session may not end before the job has stopped";
        }
        const DWORD asked = ::GetTickCount();
        EXPECT_EQ(0u, app_->process().WaitForExit(kQuitLimitMs));
        EXPECT_LT(::GetTickCount() - asked, kQuitLimitMs);
        EXPECT_EQ(thirdAsked, CountOf(ServerRequests(), third));
        EXPECT_EQ((std::vector<std::string>{"1.Tavrosi", "2.Tavrosi", "job.txt", "media.m3u8"}),
                  DirectoryNames(jobDirectory.substr(0, jobDirectory.size() - 1)));
    }
}

}  // namespace
}  // namespace e2e
