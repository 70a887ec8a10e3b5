// The message box command against real boxes, answered by the window driver
// from another thread as a person would answer them.
#include "runtime/message_box_command.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <future>
#include <string>

#include "app/calls.h"
#include "tests/support/window_driver.h"

namespace {

using runtime::ArgRecord;

struct BoxSeen {
    std::string text;
    bool ownerWindowDisabled = false;
};

// Shows a box on a thread with a window of its own and answers it with `button`.
int32_t ShowAndAnswer(const ArgRecord& content, UINT flags, const char* caption, int button,
                      BoxSeen& seen) {
    HWND threadWindow = nullptr;
    std::promise<HWND> windowReady;
    auto shown = std::async(std::launch::async, [&] {
        threadWindow =
            ::CreateWindowExA(0, "STATIC", "other window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                              100, 50, nullptr, nullptr, nullptr, nullptr);
        windowReady.set_value(threadWindow);
        const ArgRecord args[] = {content, app::IntegerArg(static_cast<int32_t>(flags)),
                                  caption ? app::TextArg(caption) : ArgRecord{0, 0, 0}};
        const int32_t pressed =
            static_cast<int32_t>(app::CallCore(runtime::ShowMessageBox, args).low);
        ::DestroyWindow(threadWindow);
        return pressed;
    });
    windowReady.get_future().wait();
    HWND box = driver::WaitForWindow(::GetCurrentProcessId(), caption ? caption : "信息：", 10000);
    EXPECT_NE(nullptr, box);
    if (box) {
        seen.text = driver::MessageBoxText(box);
        seen.ownerWindowDisabled = !::IsWindowEnabled(threadWindow);
        driver::PressButton(box, button);
    }
    return shown.get();
}

TEST(MessageBoxCommand, PressedButtonsTranslateToTheirNumbers) {
    BoxSeen seen;
    EXPECT_EQ(0, ShowAndAnswer(app::TextArg("hello"), MB_OK, "t1", IDOK, seen));
    EXPECT_EQ(1, ShowAndAnswer(app::TextArg("x"), MB_OKCANCEL, "t2", IDCANCEL, seen));
    EXPECT_EQ(2, ShowAndAnswer(app::TextArg("x"), MB_ABORTRETRYIGNORE, "t3", IDABORT, seen));
    EXPECT_EQ(3, ShowAndAnswer(app::TextArg("x"), MB_RETRYCANCEL, "t4", IDRETRY, seen));
    EXPECT_EQ(4, ShowAndAnswer(app::TextArg("x"), MB_ABORTRETRYIGNORE, "t5", IDIGNORE, seen));
    EXPECT_EQ(5, ShowAndAnswer(app::TextArg("x"), MB_YESNO, "t6", IDYES, seen));
    EXPECT_EQ(6, ShowAndAnswer(app::TextArg("x"), MB_YESNOCANCEL, "t7", IDNO, seen));
}

TEST(MessageBoxCommand, IsTaskModalUnlessSystemModal) {
    BoxSeen seen;
    ShowAndAnswer(app::TextArg("modal"), MB_OK, "task", IDOK, seen);
    EXPECT_TRUE(seen.ownerWindowDisabled);
}

TEST(MessageBoxCommand, ContentIsTurnedIntoTextAndTheCaptionDefaults) {
    BoxSeen seen;
    ShowAndAnswer(app::IntegerArg(-12), MB_OK, nullptr, IDOK, seen);
    EXPECT_EQ("-12", seen.text);
    ShowAndAnswer(app::LogicalArg(true), MB_OK, "logical", IDOK, seen);
    EXPECT_EQ("真", seen.text);
    ShowAndAnswer({1, 2, 0x10005}, MB_OK, "unit", IDOK, seen);
    EXPECT_EQ("", seen.text);
}

}  // namespace
