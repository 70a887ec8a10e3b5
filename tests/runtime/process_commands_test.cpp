#include "runtime/process_commands.h"

#include <gtest/gtest.h>

#include <string>

#include "app/calls.h"
#include "runtime/memory.h"
#include "tests/support/child_process.h"

namespace {

using runtime::ArgRecord;

std::string Writer(size_t outBytes, size_t errBytes, int exitCode) {
    return "\"" + driver::ProgramDirectory() + "output_writer.exe\" " + std::to_string(outBytes) +
           " " + std::to_string(errBytes) + " " + std::to_string(exitCode);
}

ArgRecord TextVariable(char** variable) {
    return {reinterpret_cast<uint32_t>(variable), 0, runtime::tag::kText};
}
ArgRecord IntegerVariable(int32_t* variable) {
    return {reinterpret_cast<uint32_t>(variable), 0, runtime::tag::kInteger};
}
constexpr ArgRecord kOmitted = {0, 0, 0};

struct OwnedText {
    char* text = nullptr;
    ~OwnedText() { runtime::FreeMemory(text); }
    size_t size() const { return text ? std::string(text).size() : 0; }
};

TEST(RunAndCapture, SeveralMiBOnBothOutputsArriveWhole) {
    constexpr size_t kOut = 3 * 1024 * 1024, kErr = 2 * 1024 * 1024 + 17;
    const std::string line = Writer(kOut, kErr, 3);
    OwnedText out, err;
    int32_t exitCode = 0;
    const ArgRecord args[] = {app::TextArg(line.c_str()), TextVariable(&out.text),
                              TextVariable(&err.text), IntegerVariable(&exitCode)};
    EXPECT_EQ(1u, app::CallCore(runtime::RunAndCapture, args).low);
    EXPECT_EQ(kOut, out.size());
    EXPECT_EQ(kErr, err.size());
    EXPECT_EQ(std::string::npos, std::string(out.text).find('e'));
    EXPECT_EQ(3, exitCode);
}

TEST(RunAndCapture, OnlyTheExitCodeStillRunsAndWaits) {
    const std::string line = Writer(100000, 100000, 42);
    int32_t exitCode = 0;
    const ArgRecord args[] = {app::TextArg(line.c_str()), kOmitted, kOmitted,
                              IntegerVariable(&exitCode)};
    EXPECT_EQ(1u, app::CallCore(runtime::RunAndCapture, args).low);
    EXPECT_EQ(42, exitCode);
}

TEST(RunAndCapture, BothOutputsIntoOneVariableAreJoinedByALineBreak) {
    const std::string line = Writer(3, 2, 0);
    OwnedText both;
    both.text = runtime::NewText("stale");
    const ArgRecord args[] = {app::TextArg(line.c_str()), TextVariable(&both.text),
                              TextVariable(&both.text)};
    EXPECT_EQ(1u, app::CallCore(runtime::RunAndCapture, args).low);
    EXPECT_STREQ("ooo\r\nee", both.text);
}

TEST(RunAndCapture, AMissingProgramGivesFalseAndEmptiedOutputs) {
    OwnedText out;
    out.text = runtime::NewText("stale");
    int32_t exitCode = 0;
    const ArgRecord args[] = {app::TextArg("no_such_program_here.exe"), TextVariable(&out.text),
                              kOmitted, IntegerVariable(&exitCode)};
    EXPECT_EQ(0u, app::CallCore(runtime::RunAndCapture, args).low);
    EXPECT_EQ(nullptr, out.text);
    EXPECT_EQ(-1, exitCode);

    const ArgRecord empty[] = {app::TextArg("")};
    EXPECT_EQ(0u, app::CallCore(runtime::RunAndCapture, empty).low);
}

}  // namespace
