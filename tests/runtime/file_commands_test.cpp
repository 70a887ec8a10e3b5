#include "runtime/file_commands.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/calls.h"
#include "runtime/memory.h"
#include "tests/support/child_process.h"

namespace {

using runtime::ArgRecord;

bool Exists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void MakeFile(const std::string& path, const std::string& content) {
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    ::CloseHandle(file);
}

std::string ByteSetText(const void* byteSet) {
    return byteSet ? std::string(reinterpret_cast<const char*>(runtime::ByteSetData(byteSet)),
                                 runtime::ByteSetLength(byteSet))
                   : std::string();
}

class FileCommands : public ::testing::Test {
  protected:
    std::string directory_ = driver::MakeTempDirectory();

    void* Read(const std::string& name) {
        const ArgRecord args[] = {app::TextArg(name.c_str())};
        return reinterpret_cast<void*>(app::CallCore(runtime::ReadWholeFile, args).low);
    }
    bool Remove(const std::string& name) {
        const ArgRecord args[] = {app::TextArg(name.c_str())};
        return app::CallCore(runtime::RemoveDirectoryTree, args).low != 0;
    }
};

TEST_F(FileCommands, RunDirectoryIsTheProgramDirectoryWithoutBackslash) {
    const ArgRecord none[] = {{0, 0, 0}};
    char* text = reinterpret_cast<char*>(::CallCoreCommand(runtime::RunDirectory, 0, none).low);
    std::string expected = driver::ProgramDirectory();
    expected.pop_back();
    EXPECT_EQ(expected, text);
    runtime::FreeMemory(text);
}

TEST_F(FileCommands, MissingAndEmptyFilesReadAsTheEmptyByteSet) {
    EXPECT_EQ(nullptr, Read(directory_ + "\\missing.bin"));
    MakeFile(directory_ + "\\empty.bin", "");
    EXPECT_EQ(nullptr, Read(directory_ + "\\empty.bin"));
    EXPECT_EQ(nullptr, Read(""));
}

TEST_F(FileCommands, AFileReadsWholeIncludingZeroBytes) {
    const std::string content(
        "\x00\x01"
        "abc\xD6\xD0",
        7);
    MakeFile(directory_ + "\\data.bin", content);
    void* byteSet = Read(directory_ + "\\data.bin");
    EXPECT_EQ(content, ByteSetText(byteSet));
    runtime::FreeMemory(byteSet);

    // A largest length below the file's refuses it; the file's own is enough.
    const std::string path = directory_ + "\\data.bin";
    const ArgRecord tooSmall[] = {app::TextArg(path.c_str()), app::IntegerArg(6)};
    EXPECT_EQ(0u, app::CallCore(runtime::ReadWholeFile, tooSmall).low);
    const ArgRecord enough[] = {app::TextArg(path.c_str()), app::IntegerArg(7)};
    byteSet = reinterpret_cast<void*>(app::CallCore(runtime::ReadWholeFile, enough).low);
    EXPECT_EQ(content, ByteSetText(byteSet));
    runtime::FreeMemory(byteSet);
}

TEST_F(FileCommands, WritingJoinsTheByteSetsSkippingEmptyOnes) {
    void* first = runtime::NewByteSet("ab", 2);
    void* second = runtime::NewByteSet("cd", 2);
    const std::string path = directory_ + "\\joined.bin";
    MakeFile(path, "old content that must go");
    const ArgRecord args[] = {app::TextArg(path.c_str()), app::ByteSetArg(first),
                              app::ByteSetArg(nullptr), app::ByteSetArg(second)};
    EXPECT_EQ(1u, app::CallCore(runtime::WriteWholeFile, args).low);
    EXPECT_EQ("abcd", driver::ReadWholeFile(path));
    runtime::FreeMemory(first);
    runtime::FreeMemory(second);
}

TEST_F(FileCommands, WritingWithoutByteSetsMakesAnEmptyFile) {
    const std::string path = directory_ + "\\nothing.bin";
    const ArgRecord args[] = {app::TextArg(path.c_str())};
    EXPECT_EQ(1u, app::CallCore(runtime::WriteWholeFile, args).low);
    EXPECT_TRUE(Exists(path));
    EXPECT_EQ("", driver::ReadWholeFile(path));
}

TEST_F(FileCommands, WritingFailsForAnEmptyNameOrAMissingDirectory) {
    const ArgRecord empty[] = {app::TextArg("")};
    EXPECT_EQ(0u, app::CallCore(runtime::WriteWholeFile, empty).low);
    const std::string path = directory_ + "\\no\\such\\dir.bin";
    const ArgRecord missing[] = {app::TextArg(path.c_str())};
    EXPECT_EQ(0u, app::CallCore(runtime::WriteWholeFile, missing).low);
}

TEST_F(FileCommands, RemovingDeletesANestedTreeWithReadOnlyFiles) {
    const std::string tree = directory_ + "\\tree";
    ::CreateDirectoryA(tree.c_str(), nullptr);
    ::CreateDirectoryA((tree + "\\a").c_str(), nullptr);
    ::CreateDirectoryA((tree + "\\a\\b").c_str(), nullptr);
    MakeFile(tree + "\\top.txt", "1");
    MakeFile(tree + "\\a\\b\\deep.txt", "2");
    MakeFile(tree + "\\a\\locked.txt", "3");
    ::SetFileAttributesA((tree + "\\a\\locked.txt").c_str(), FILE_ATTRIBUTE_READONLY);

    DWORD handlesBefore = 0, handlesAfter = 0;
    ASSERT_TRUE(::GetProcessHandleCount(::GetCurrentProcess(), &handlesBefore));
    EXPECT_TRUE(Remove("  " + tree));
    EXPECT_FALSE(Exists(tree));
    EXPECT_TRUE(Exists(directory_));
    // Every directory's search is closed again.
    ASSERT_TRUE(::GetProcessHandleCount(::GetCurrentProcess(), &handlesAfter));
    EXPECT_EQ(handlesBefore, handlesAfter);
}

TEST_F(FileCommands, DriveRootsAndEmptyNamesAreRefused) {
    EXPECT_FALSE(Remove("C:\\"));
    EXPECT_FALSE(Remove("C:"));
    EXPECT_FALSE(Remove("   "));
    EXPECT_TRUE(Exists("C:\\windows"));
    EXPECT_FALSE(Remove(directory_ + "\\never-made"));
}

}  // namespace
