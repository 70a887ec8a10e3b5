// Whole programs on the runtime, started as their own processes: how they
// start, report run-time errors, and end.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/support/child_process.h"
#include "tests/support/window_driver.h"

namespace {

constexpr DWORD kTimeoutMs = 20000;
constexpr DWORD kErrorExitCode = 0xFFFFFFFF;  // -1

struct ScenarioRun {
    DWORD exitCode;
    std::string report;
};

std::string ScenarioProgram() { return driver::ProgramDirectory() + "runtime_scenarios.exe"; }

// Runs a scenario that ends by itself and returns its exit code and report.
ScenarioRun RunScenario(const std::string& scenario, const std::string& workingDirectory = {}) {
    const std::string directory = driver::MakeTempDirectory();
    const std::string reportPath = directory + "\\report.txt";
    driver::ChildProcess child(
        "\"" + ScenarioProgram() + "\" " + scenario + " \"" + reportPath + "\"", workingDirectory);
    EXPECT_TRUE(child.started());
    const DWORD exitCode = child.WaitForExit(kTimeoutMs);
    return {exitCode, driver::ReadWholeFile(reportPath)};
}

// The child's run-time error dialog says `text`; its OK ends the program
// with the error's exit code.
void ExpectErrorDialogThenEnd(driver::ChildProcess& child, const std::string& text) {
    HWND box = driver::WaitForWindow(child.id(), "错误", kTimeoutMs);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(text, driver::MessageBoxText(box));
    ASSERT_TRUE(driver::PressButton(box, IDOK));
    EXPECT_EQ(kErrorExitCode, child.WaitForExit(kTimeoutMs));
}

TEST(Process, WithoutTemplatesTheStartupWindowFailsToLoadWithOneErrorDialog) {
    driver::ChildProcess child("\"" + ScenarioProgram() + "\" start-up");
    ASSERT_TRUE(child.started());

    HWND box = driver::WaitForWindow(child.id(), "错误", kTimeoutMs);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n", driver::MessageBoxText(box));
    EXPECT_TRUE(driver::HasIcon(box));
    const auto buttons = driver::Buttons(box);
    ASSERT_EQ(1u, buttons.size());
    EXPECT_EQ(IDOK, ::GetDlgCtrlID(buttons[0]));
    EXPECT_EQ(nullptr, ::GetWindow(box, GW_OWNER));

    ASSERT_TRUE(driver::PressButton(box, IDOK));
    EXPECT_EQ(kErrorExitCode, child.WaitForExit(kTimeoutMs));
}

TEST(Process, AnErrorRaisedInsideTheHookShowsTheDialogWithItsCode) {
    driver::ChildProcess child("\"" + ScenarioProgram() + "\" hook-raises");
    ASSERT_TRUE(child.started());

    ExpectErrorDialogThenEnd(
        child, "运行时出错!\r\n\r\n错误代码：1\r\n\r\n错误信息：数组成员引用下标超出定义范围\r\n");
}

TEST(Process, ClosingTheOnlyWindowRunsEachEndRoutineOnceInOrderAndExitsWithZero) {
    const ScenarioRun run = RunScenario("end-routines");
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ("loop left\nA0\nB1\nC2\n", run.report);
}

TEST(Process, AWindowClosedBeforeTheLoopStartsEndsNothing) {
    const ScenarioRun run = RunScenario("closed-before-loop");
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ("still running\nloop left\n", run.report);
}

TEST(Process, IdleCallbacksRunForLiveWindowsOnly) {
    const ScenarioRun run = RunScenario("idle");
    EXPECT_EQ(0u, run.exitCode);
    // The window's handle is the callback's data word, so the line starts "idle " and a number.
    EXPECT_EQ(0u, run.report.find("idle ")) << run.report;
    EXPECT_EQ(std::string::npos, run.report.find("gone")) << run.report;
    EXPECT_NE(std::string::npos, run.report.find("\nloop left\n")) << run.report;
}

TEST(Process, EndingFromAnotherThreadEndsOnTheMainThread) {
    const ScenarioRun run = RunScenario("cross-thread-end");
    EXPECT_EQ(7u, run.exitCode);
    EXPECT_EQ("main thread\n", run.report);
}

TEST(Process, AHookThatTakesTheErrorSuppressesTheDialogAndNoEndRoutineRuns) {
    const ScenarioRun run = RunScenario("error-hook");
    EXPECT_EQ(kErrorExitCode, run.exitCode);
    EXPECT_EQ("hook 4 数组成员引用下标必须大于等于1\n", run.report);
}

TEST(Process, ADeclaredCallWithTheWrongArgumentCountRaisesCodeSix) {
    const ScenarioRun run = RunScenario("stack-mismatch");
    EXPECT_EQ(kErrorExitCode, run.exitCode);
    EXPECT_EQ("sum 5\nhook 6 调用DLL命令后发现堆栈错误\n", run.report);
}

TEST(Process, AMissingEntryIsReportedWithItsLibrary) {
    const ScenarioRun run = RunScenario("missing-entry");
    EXPECT_EQ(kErrorExitCode, run.exitCode);
    EXPECT_EQ("hook 0 无法找到指定DLL库文件“velmora_testdll.dll”中的输出命令“NoSuchEntry”\n",
              run.report);
}

TEST(Process, AMissingEntryWithoutALibraryNamesOnlyTheEntry) {
    const ScenarioRun run = RunScenario("missing-anywhere");
    EXPECT_EQ(kErrorExitCode, run.exitCode);
    EXPECT_EQ("hook 0 无法找到指定DLL库文件中的输出命令“NoSuchEntryAnywhere”\n", run.report);
}

// The runtime's heap and C++'s (a std::vector here) fail the same way.
TEST(Process, HeapExhaustionNamesTheRequestedSize) {
    for (const char* scenario : {"alloc-failure", "new-failure"}) {
        const ScenarioRun run = RunScenario(scenario);
        EXPECT_EQ(kErrorExitCode, run.exitCode) << scenario;
        EXPECT_EQ("hook 0 分配 2147483632 字节内存失败!\n", run.report) << scenario;
    }
}

// The failing worker shows the dialog and ends the program itself: the main
// thread, which waits for that worker, is never asked to.
TEST(Process, AnErrorOnAWorkerShowsTheDialogAndEndsTheProgramWhileTheMainThreadWaits) {
    const std::string reportPath = driver::MakeTempDirectory() + "\\report.txt";
    driver::ChildProcess child("\"" + ScenarioProgram() + "\" worker-error \"" + reportPath + "\"");
    ASSERT_TRUE(child.started());
    ExpectErrorDialogThenEnd(child,
                             "运行时出错!\r\n\r\n错误信息：分配 2147483632 字节内存失败!\r\n");
    EXPECT_EQ("", driver::ReadWholeFile(reportPath));
}

TEST(Process, DeclaredCallsBindByOrdinalAndPreferTheProgramDirectory) {
    const ScenarioRun run = RunScenario("declared-calls");
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ("ordinal 17\nbeside 4242\n", run.report);
}

TEST(Process, TheCurrentDirectoryAfterStartupIsTheProgramDirectory) {
    const std::string elsewhere = driver::MakeTempDirectory();
    const ScenarioRun run = RunScenario("current-directory", elsewhere);
    EXPECT_EQ(0u, run.exitCode);
    std::string expected = driver::ProgramDirectory();
    expected.pop_back();  // no trailing backslash
    EXPECT_EQ(expected + "\n", run.report);
}

}  // namespace
