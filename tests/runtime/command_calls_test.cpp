// Commands and notifications reached the way application code reaches them:
// through its entry points and the service table.
#include "runtime/command_calls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "app/calls.h"
#include "runtime/shutdown.h"
#include "tests/support/child_process.h"
#include "tests/support/test_app.h"

namespace {

using runtime::ArgRecord;

struct SeenCall {
    ArgRecord resultOnEntry;
    std::vector<ArgRecord> args;
    int32_t library;
};
SeenCall g_seen;

void RecordingCommand(ArgRecord* result, int32_t count, const ArgRecord* args) {
    g_seen = {*result, std::vector<ArgRecord>(args, args + count), runtime::CallingLibrary()};
    result->low = 0x11111111;
    result->high = 0x22222222;
}

bool SameRecord(const ArgRecord& a, const ArgRecord& b) {
    return a.low == b.low && a.high == b.high && a.tag == b.tag;
}

TEST(CommandCalls, CoreCommandsGetAZeroedResultAndTheRecordsInOrder) {
    const ArgRecord args[] = {app::IntegerArg(-3), app::TextArg(nullptr), {0, 0, 0}};
    const ArgRecord result = app::CallCore(RecordingCommand, args);

    EXPECT_TRUE(SameRecord({0, 0, 0}, g_seen.resultOnEntry));
    ASSERT_EQ(3u, g_seen.args.size());
    EXPECT_TRUE(SameRecord(args[0], g_seen.args[0]));
    // A null text travels as the constant empty text.
    EXPECT_EQ(reinterpret_cast<uint32_t>(g_appImage.constants.empty), g_seen.args[1].low);
    EXPECT_EQ(0u, g_seen.args[2].tag);
    EXPECT_EQ(runtime::kNoCallingLibrary, g_seen.library);
    EXPECT_TRUE(SameRecord({0x11111111, 0x22222222, 0}, result));
}

TEST(CommandCalls, LibraryCommandsKnowTheirLibraryIndex) {
    const ArgRecord args[] = {app::LogicalArg(true)};
    ::CallLibraryCommand(2, RecordingCommand, 1, args);
    EXPECT_EQ(2, g_seen.library);
    EXPECT_EQ(runtime::kNoCallingLibrary, runtime::CallingLibrary());
}

TEST(Notifications, AConstantArrayBecomesAWritableHeapCopy) {
    void* array = g_appImage.constants.numberArray;
    NotifyRuntime(runtime::notify::kMakeArrayWritable, 4u, &array);
    ASSERT_NE(static_cast<void*>(g_appImage.constants.numberArray), array);
    EXPECT_EQ(0, std::memcmp(g_appImage.constants.numberArray, array, 20));

    void* heapArray = array;
    NotifyRuntime(runtime::notify::kMakeArrayWritable, 4u, &array);
    EXPECT_EQ(heapArray, array);  // already writable: left alone
    FreeMemory(array);
}

TEST(Notifications, ArrayElementsAreCountedFromOne) {
    int32_t block[] = {1, 3, 10, 20, 30};
    EXPECT_EQ(10, *static_cast<int32_t*>(app::ArrayElement(block, 1, 4)));
    EXPECT_EQ(30, *static_cast<int32_t*>(app::ArrayElement(block, 3, 4)));
}

TEST(Notifications, FileSearchStepsThroughMatchingNames) {
    const std::string directory = driver::MakeTempDirectory();
    ASSERT_FALSE(directory.empty());
    for (const char* name : {"\\one.txt", "\\two.txt", "\\skip.dat"}) {
        ::CloseHandle(::CreateFileA((directory + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_NEW, 0, nullptr));
    }
    ::CreateDirectoryA((directory + "\\sub").c_str(), nullptr);

    auto collect = [&](const char* pattern, uint32_t directoriesOnly) {
        std::vector<std::string> names;
        HANDLE search = nullptr;
        const std::string full = directory + pattern;
        while (char* name = reinterpret_cast<char*>(NotifyRuntime(
                   runtime::notify::kFileSearchStep, full.c_str(), 0u, directoriesOnly, &search))) {
            names.push_back(name);
            FreeMemory(name);
        }
        EXPECT_EQ(nullptr, search);
        std::sort(names.begin(), names.end());
        return names;
    };
    EXPECT_EQ((std::vector<std::string>{"one.txt", "two.txt"}), collect("\\*.txt", 0));
    EXPECT_EQ((std::vector<std::string>{"sub"}), collect("\\*", 1));
}

}  // namespace
