// The window engine through a real program: windows built from templates,
// properties, events and modal windows, driven as a person would drive them.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/support/child_process.h"
#include "tests/support/window_driver.h"

namespace {

constexpr DWORD kTimeoutMs = 20000;

class WindowProgram {
  public:
    explicit WindowProgram(const std::string& scenario, const std::string& argument = "")
        : report_(driver::MakeTempDirectory() + "\\report.txt"),
          child_("\"" + driver::ProgramDirectory() + "window_scenarios.exe\" " + scenario + " \"" +
                 report_ + "\" \"" + argument + "\"") {}

    driver::ChildProcess& child() { return child_; }
    std::string Report() const { return driver::ReadWholeFile(report_); }

    // Waits until the report holds `line`.
    bool WaitForLine(const std::string& line) {
        const DWORD start = ::GetTickCount();
        while (Report().find(line + "\n") == std::string::npos) {
            if (::GetTickCount() - start > kTimeoutMs) return false;
            ::Sleep(20);
        }
        return true;
    }

  private:
    std::string report_;
    driver::ChildProcess child_;
};

int EditHeightFor(HFONT font) {
    HDC screen = ::GetDC(nullptr);
    HGDIOBJ old = ::SelectObject(screen, font);
    SIZE size;
    ::GetTextExtentPoint32A(screen, "吴", 2, &size);
    ::SelectObject(screen, old);
    ::ReleaseDC(nullptr, screen);
    return size.cy + 2 * ::GetSystemMetrics(SM_CYEDGE);
}

TEST(WindowEngine, PropertiesAreClampedAndANeverLoadedWindowKeepsItsTemplate) {
    WindowProgram program("properties");
    ASSERT_TRUE(program.child().started());
    EXPECT_EQ(0xFFFFFFFFu, program.child().WaitForExit(kTimeoutMs));
    EXPECT_EQ(
        "created\nwidth 32627\nwidth 0\nleft -32627\ntemplate left 17\nerror 0 指定窗口尚未载入\n",
        program.Report());
}

TEST(WindowEngine, ClicksReachTheirHandlersAndUnitsBehaveAsTheirPropertiesSay) {
    WindowProgram program("events");
    ASSERT_TRUE(program.child().started());
    HWND main = driver::WaitForWindow(program.child().id(), "测试窗口", kTimeoutMs);
    ASSERT_NE(nullptr, main);

    // Loaded centred on the screen.
    RECT rect;
    ::GetWindowRect(main, &rect);
    EXPECT_NEAR(::GetSystemMetrics(SM_CXSCREEN) / 2, (rect.left + rect.right) / 2, 1);
    EXPECT_NEAR(::GetSystemMetrics(SM_CYSCREEN) / 2, (rect.top + rect.bottom) / 2, 1);

    HWND first = driver::FindChildByText(main, "第一");
    HWND second = driver::FindChildByText(main, "第二");
    HWND unbound = driver::FindChildByText(main, "无事件");
    ASSERT_TRUE(first && second && unbound);
    EXPECT_FALSE(::IsWindowEnabled(second));

    driver::ClickWithMouse(second);
    driver::ClickWithMouse(unbound);
    ::Sleep(300);
    EXPECT_EQ("created\n", program.Report());

    driver::ClickWithMouse(first);
    ASSERT_TRUE(program.WaitForLine("first again 52010001 16000001")) << program.Report();
    EXPECT_TRUE(::IsWindowEnabled(second));
    driver::ClickWithMouse(second);
    ASSERT_TRUE(program.WaitForLine("second 52010001 16000002")) << program.Report();

    const std::string lowHeight =
        "low box height " +
        std::to_string(EditHeightFor(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT))));
    const std::string report = program.Report();
    EXPECT_EQ(0u, report.find(
                      "created\nfirst 52010001 16000001\n" + lowHeight +
                      "\nspin 10 50\nwrite content\nedit changed 52010001 16000004\nselection 0 "))
        << report;
    EXPECT_NE(std::string::npos,
              report.find("\nwrite multi-line\nmulti-line yes text 新内容 same place\n"
                          "first again 52010001 16000001\n"))
        << report;

    ::PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, program.child().WaitForExit(kTimeoutMs));
}

TEST(WindowEngine, AModalWindowDisablesTheOthersUntilItCloses) {
    WindowProgram program("events");
    ASSERT_TRUE(program.child().started());
    HWND main = driver::WaitForWindow(program.child().id(), "测试窗口", kTimeoutMs);
    ASSERT_NE(nullptr, main);
    driver::ClickWithMouse(driver::FindChildByText(main, "模态窗口"));

    HWND modal = driver::WaitForWindow(program.child().id(), "模态", kTimeoutMs);
    ASSERT_NE(nullptr, modal);
    EXPECT_FALSE(::IsWindowEnabled(main));
    EXPECT_TRUE(::IsWindowEnabled(modal));
    EXPECT_EQ("created\n", program.Report());

    ::PostMessageA(modal, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForLine("modal returned true")) << program.Report();
    EXPECT_TRUE(::IsWindowEnabled(main));

    ::PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, program.child().WaitForExit(kTimeoutMs));
}

// Nothing deletes the units of a window still open at the program's end.
TEST(WindowEngine, AProgramThatEndsWithItsWindowOpenEndsCleanly) {
    WindowProgram program("left-open");
    ASSERT_TRUE(program.child().started());
    EXPECT_EQ(0u, program.child().WaitForExit(kTimeoutMs));
    EXPECT_EQ("created\n", program.Report());
}

TEST(WindowEngine, LoadingAnOpenWindowCreatesNoSecondCopy) {
    WindowProgram program("reload");
    ASSERT_TRUE(program.child().started());
    HWND main = driver::WaitForWindow(program.child().id(), "测试窗口", kTimeoutMs);
    ASSERT_NE(nullptr, main);
    ASSERT_TRUE(program.WaitForLine("reload true"));
    EXPECT_EQ(1u, driver::TopLevelWindows(program.child().id(), "测试窗口").size());
    ::PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, program.child().WaitForExit(kTimeoutMs));
}

// A picture written to a live button rebuilds it in place, showing the
// picture; the drop target paints its mark in its frame.
TEST(WindowEngine, AButtonShowsThePictureWrittenToIt) {
    WindowProgram program("showcase",
                          driver::ProgramDirectory() + "..\\images\\made\\netpbm-24.bmp");
    ASSERT_TRUE(program.child().started());
    HWND showcase = driver::WaitForWindow(program.child().id(), "按钮与拖放对象", kTimeoutMs);
    ASSERT_NE(nullptr, showcase);
    ASSERT_TRUE(program.WaitForLine("button rebuilt yes bitmap yes caption 图片按钮"))
        << program.Report();
    HWND button = driver::FindChildByText(showcase, "图片按钮");
    ASSERT_NE(nullptr, button);
    EXPECT_NE(0, ::SendMessageA(button, BM_GETIMAGE, IMAGE_BITMAP, 0));
    EXPECT_TRUE(::IsWindowVisible(button));
    RECT rect;
    ::GetWindowRect(button, &rect);
    ::MapWindowPoints(nullptr, showcase, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(10, rect.left);
    EXPECT_EQ(10, rect.top);
    EXPECT_EQ(120, rect.right - rect.left);
    EXPECT_EQ(64, rect.bottom - rect.top);
    ::PostMessageA(showcase, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, program.child().WaitForExit(kTimeoutMs));
}

}  // namespace
