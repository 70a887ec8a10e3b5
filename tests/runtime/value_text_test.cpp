#include "runtime/value_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "runtime/date_time.h"
#include "runtime/memory.h"

namespace {

using runtime::ArgRecord;
namespace tag = runtime::tag;

std::string TextOf(const ArgRecord& value) {
    char* text = runtime::ValueToText(value);
    std::string result = text ? text : "<null>";
    runtime::FreeMemory(text);
    return result;
}

ArgRecord DoubleValue(double d, runtime::TypeTag t = tag::kDouble) {
    uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    return {static_cast<uint32_t>(bits), static_cast<uint32_t>(bits >> 32), t};
}

ArgRecord FloatValue(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return {bits, 0, tag::kFloat};
}

TEST(ValueToText, Integers) {
    EXPECT_EQ("255", TextOf({0xFFFFFFFF, 0, tag::kByte}));
    EXPECT_EQ("-2", TextOf({0xFFFE, 0, tag::kShort}));
    EXPECT_EQ("-2147483648", TextOf({0x80000000, 0, tag::kInteger}));
    EXPECT_EQ("-9223372036854775808", TextOf({0, 0x80000000, tag::kLong}));
    EXPECT_EQ("4294967296", TextOf({0, 1, tag::kLong}));
}

TEST(ValueToText, FloatsKeepSixAndDoublesThirteenSignificantDigits) {
    EXPECT_EQ("0.1", TextOf(DoubleValue(0.1)));
    EXPECT_EQ("0.1", TextOf(FloatValue(0.1f)));
    EXPECT_EQ("3.14159", TextOf(FloatValue(3.14159265f)));
    EXPECT_EQ("3.14159265359", TextOf(DoubleValue(3.14159265358979)));
    EXPECT_EQ("1234567.125", TextOf(DoubleValue(1234567.125)));
}

TEST(ValueToText, DateTimesShowOnlyTheTimeFieldsThatAreSet) {
    // 2024-03-05 is day 45356 counted from 1899-12-30.
    EXPECT_EQ("2024年3月5日", TextOf(DoubleValue(45356.0, tag::kDateTime)));
    EXPECT_EQ("2024年3月5日12时", TextOf(DoubleValue(45356.5, tag::kDateTime)));
    EXPECT_EQ("2024年3月5日12时30分",
              TextOf(DoubleValue(45356.0 + 45000.0 / 86400, tag::kDateTime)));
    EXPECT_EQ("2024年3月5日0时0分1秒", TextOf(DoubleValue(45356.0 + 1.0 / 86400, tag::kDateTime)));
    EXPECT_EQ("1899年12月30日", TextOf(DoubleValue(0.0, tag::kDateTime)));
    EXPECT_EQ("1899年12月29日6时", TextOf(DoubleValue(-1.25, tag::kDateTime)));
}

TEST(ValueToText, DatesAreClampedToYears100To9999) {
    EXPECT_EQ("100年1月1日", TextOf(DoubleValue(-1e9, tag::kDateTime)));
    EXPECT_EQ("9999年12月31日", TextOf(DoubleValue(1e9, tag::kDateTime)));
    EXPECT_EQ(runtime::kFirstDate, runtime::ClampDate(-657435.0));
    EXPECT_EQ(-657434.0, runtime::ClampDate(-657434.0));
    EXPECT_EQ(runtime::kLastDate, runtime::ClampDate(2958466.0));
}

TEST(ValueToText, Logicals) {
    EXPECT_EQ("真", TextOf({5, 0, tag::kLogical}));
    EXPECT_EQ("假", TextOf({0, 0, tag::kLogical}));
}

TEST(ValueToText, ByteSetsStopAtTheFirstZeroByte) {
    void* withZero = runtime::NewByteSet("ab\0cd", 5);
    void* withoutZero = runtime::NewByteSet("abcd", 4);
    EXPECT_EQ("ab", TextOf({reinterpret_cast<uint32_t>(withZero), 0, tag::kByteSet}));
    EXPECT_EQ("abcd", TextOf({reinterpret_cast<uint32_t>(withoutZero), 0, tag::kByteSet}));
    EXPECT_EQ("<null>", TextOf({0, 0, tag::kByteSet}));
    runtime::FreeMemory(withZero);
    runtime::FreeMemory(withoutZero);
}

TEST(ValueToText, NumericArraysGiveTheirBytesOtherArraysNothing) {
    // One dimension of three shorts holding the bytes "ABC\0\0\0".
    int32_t block[4] = {1, 3};
    std::memcpy(&block[2], "ABC\0\0\0", 6);
    EXPECT_EQ("ABC", TextOf({reinterpret_cast<uint32_t>(block), 0, tag::kShort | tag::kArrayBit}));
    EXPECT_EQ("<null>",
              TextOf({reinterpret_cast<uint32_t>(block), 0, tag::kText | tag::kArrayBit}));
    EXPECT_EQ("<null>", TextOf({1, 2, 0x10005}));
}

TEST(ValueSize, FollowsTheType) {
    const char text[] = "abc";
    void* byteSet = runtime::NewByteSet("xyz", 3);
    EXPECT_EQ(1, runtime::ValueSize({0, 0, tag::kByte}));
    EXPECT_EQ(2, runtime::ValueSize({0, 0, tag::kShort}));
    EXPECT_EQ(4, runtime::ValueSize({0, 0, tag::kLogical}));
    EXPECT_EQ(8, runtime::ValueSize({0, 0, tag::kDateTime}));
    EXPECT_EQ(4, runtime::ValueSize({reinterpret_cast<uint32_t>(text), 0, tag::kText}));
    EXPECT_EQ(3, runtime::ValueSize({reinterpret_cast<uint32_t>(byteSet), 0, tag::kByteSet}));
    EXPECT_EQ(-1, runtime::ValueSize({0, 0, tag::kInteger | tag::kArrayBit}));
    EXPECT_EQ(-1, runtime::ValueSize({0, 0, 0x10005}));
    runtime::FreeMemory(byteSet);
}

}  // namespace
