#include "runtime/memory.h"

#include <gtest/gtest.h>

#include <cstring>

#include "app/runtime_entries.h"
#include "tests/support/test_app.h"

namespace {

const test_app::Constants& kConstants = g_appImage.constants;

TEST(Memory, FreeingNullOrAConstantIsHarmless) {
    FreeMemory(nullptr);
    FreeMemory(const_cast<char*>(kConstants.empty));
    FreeMemory(const_cast<char*>(kConstants.hello + 2));
    EXPECT_STREQ("hello", kConstants.hello);
}

TEST(Memory, ConstantBlockIsRecognisedByRange) {
    const char* end = reinterpret_cast<const char*>(&kConstants) + sizeof kConstants;
    EXPECT_TRUE(runtime::IsInConstantBlock(kConstants.empty));
    EXPECT_TRUE(runtime::IsInConstantBlock(end - 1));
    EXPECT_FALSE(runtime::IsInConstantBlock(end));
    EXPECT_FALSE(runtime::IsInConstantBlock(kConstants.empty - 1));
}

TEST(Memory, ReallocOfAConstantCopiesItAndLeavesItInPlace) {
    char* copy =
        static_cast<char*>(runtime::ReallocMemory(const_cast<char*>(kConstants.hello), 64));
    ASSERT_NE(copy, kConstants.hello);
    EXPECT_FALSE(runtime::IsInConstantBlock(copy));
    EXPECT_STREQ("hello", copy);
    copy[0] = 'j';
    EXPECT_STREQ("hello", kConstants.hello);
    FreeMemory(copy);
}

TEST(Memory, ReallocOfAConstantCopiesNoFurtherThanTheBlockEnd) {
    const char* last = &kConstants.missingAnywhere[15];  // "here\0" ends the block
    char* copy = static_cast<char*>(runtime::ReallocMemory(const_cast<char*>(last), 4096));
    EXPECT_STREQ("here", copy);
    FreeMemory(copy);
}

TEST(Memory, ReallocOfNullAllocatesAndOfAHeapBlockKeepsItsBytes) {
    char* block = static_cast<char*>(runtime::ReallocMemory(nullptr, 6));
    std::memcpy(block, "abcde", 6);
    block = static_cast<char*>(runtime::ReallocMemory(block, 100000));
    EXPECT_STREQ("abcde", block);
    FreeMemory(block);
}

TEST(Memory, EmptyResultsAreNull) {
    EXPECT_EQ(nullptr, runtime::NewText("", 0));
    EXPECT_EQ(nullptr, runtime::NewText(nullptr));
    EXPECT_EQ(nullptr, runtime::NewByteSet("x", 0));
    void* byteSet = runtime::NewByteSet("a\0b", 3);
    EXPECT_EQ(3u, runtime::ByteSetLength(byteSet));
    EXPECT_EQ(1, *static_cast<int32_t*>(byteSet));
    EXPECT_EQ(0, std::memcmp("a\0b", runtime::ByteSetData(byteSet), 3));
    FreeMemory(byteSet);
}

}  // namespace
