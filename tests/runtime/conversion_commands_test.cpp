#include "runtime/conversion_commands.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/calls.h"
#include "runtime/memory.h"

namespace {

using runtime::ArgRecord;
namespace tag = runtime::tag;

ArgRecord DoubleArg(double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return {static_cast<uint32_t>(bits), static_cast<uint32_t>(bits >> 32), tag::kDouble};
}

ArgRecord ArrayArg(const void* block, runtime::TypeTag elementTag) {
    return {reinterpret_cast<uint32_t>(block), 0, elementTag | tag::kArrayBit};
}

// Takes a byte-set result over; a null result gives no bytes at all, an empty
// block a single marker byte 0xEE, so the two are told apart.
std::vector<uint8_t> TakeBytes(const ArgRecord& result) {
    void* byteSet = reinterpret_cast<void*>(result.low);
    if (!byteSet) return {};
    EXPECT_EQ(1, *static_cast<int32_t*>(byteSet));
    const uint8_t* data = runtime::ByteSetData(byteSet);
    std::vector<uint8_t> bytes(data, data + runtime::ByteSetLength(byteSet));
    if (bytes.empty()) bytes.push_back(0xEE);
    runtime::FreeMemory(byteSet);
    return bytes;
}

std::vector<uint8_t> BytesOf(const ArgRecord& value) {
    const ArgRecord args[] = {value};
    return TakeBytes(app::CallCore(runtime::ToByteSet, args));
}

TEST(ConversionCommands, ToTextFollowsTheValueToTextRule) {
    const ArgRecord integer[] = {app::IntegerArg(-5)};
    char* text = reinterpret_cast<char*>(app::CallCore(runtime::ToText, integer).low);
    EXPECT_STREQ("-5", text);
    runtime::FreeMemory(text);

    const ArgRecord number[] = {DoubleArg(0.1)};
    text = reinterpret_cast<char*>(app::CallCore(runtime::ToText, number).low);
    EXPECT_STREQ("0.1", text);
    runtime::FreeMemory(text);

    const ArgRecord empty[] = {app::TextArg(nullptr)};
    EXPECT_EQ(0u, app::CallCore(runtime::ToText, empty).low);
}

TEST(ConversionCommands, ScalarsBecomeTheirBytesInMemoryOrder) {
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 3, 4}), BytesOf(app::IntegerArg(0x04030201)));
    EXPECT_EQ((std::vector<uint8_t>{0x34}), BytesOf({0x1234, 0, tag::kByte}));
    EXPECT_EQ((std::vector<uint8_t>{0x34, 0x12}), BytesOf({0x1234, 0, tag::kShort}));
    EXPECT_EQ((std::vector<uint8_t>{1, 0, 0, 0}), BytesOf(app::LogicalArg(true)));
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8}),
              BytesOf({0x04030201, 0x08070605, tag::kLong}));
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0xF0, 0x3F}), BytesOf(DoubleArg(1.0)));
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 0x80, 0x3F}), BytesOf({0x3F800000, 0, tag::kFloat}));
}

TEST(ConversionCommands, TextsByteSetsAndArraysGiveTheirContent) {
    EXPECT_EQ((std::vector<uint8_t>{'a', 'b', 0xD6, 0xD0}), BytesOf(app::TextArg("ab\xD6\xD0")));
    EXPECT_EQ((std::vector<uint8_t>{}), BytesOf(app::TextArg(nullptr)));

    const uint8_t data[] = {9, 8, 7};
    void* byteSet = runtime::NewByteSet(data, sizeof data);
    const ArgRecord copyArgs[] = {app::ByteSetArg(byteSet)};
    void* copy = reinterpret_cast<void*>(app::CallCore(runtime::ToByteSet, copyArgs).low);
    EXPECT_NE(byteSet, copy);
    EXPECT_EQ((std::vector<uint8_t>{9, 8, 7}), TakeBytes({reinterpret_cast<uint32_t>(copy)}));
    runtime::FreeMemory(byteSet);
    EXPECT_EQ((std::vector<uint8_t>{}), BytesOf(app::ByteSetArg(nullptr)));

    const struct {
        int32_t dimensions, size;
        int16_t elements[3];
    } shortArray = {1, 3, {0x0201, 0x0403, 0x0605}};
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 3, 4, 5, 6}),
              BytesOf(ArrayArg(&shortArray, tag::kShort)));
    const int32_t texts[] = {1, 1, 0};
    EXPECT_EQ((std::vector<uint8_t>{}), BytesOf(ArrayArg(texts, tag::kText)));
    EXPECT_EQ((std::vector<uint8_t>{}), BytesOf({0x52010001, 7, 0x10005}));
}

TEST(ConversionCommands, BlankByteSetsAndTheirLength) {
    const ArgRecord three[] = {app::IntegerArg(3)};
    void* blank = reinterpret_cast<void*>(app::CallCore(runtime::BlankByteSet, three).low);
    const ArgRecord lengthArgs[] = {app::ByteSetArg(blank)};
    EXPECT_EQ(3, static_cast<int32_t>(app::CallCore(runtime::LengthOfByteSet, lengthArgs).low));
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 0}), TakeBytes({reinterpret_cast<uint32_t>(blank)}));

    const ArgRecord none[] = {app::IntegerArg(-1)};
    EXPECT_EQ(0u, app::CallCore(runtime::BlankByteSet, none).low);
    const ArgRecord null[] = {app::ByteSetArg(nullptr)};
    EXPECT_EQ(0u, app::CallCore(runtime::LengthOfByteSet, null).low);
}

TEST(ConversionCommands, BitwiseAndAndArithmeticShift) {
    const ArgRecord three[] = {app::IntegerArg(0xF0F0), app::IntegerArg(0x0FF0),
                               app::IntegerArg(0x01F3)};
    EXPECT_EQ(0x00F0, static_cast<int32_t>(app::CallCore(runtime::BitwiseAnd, three).low));
    const ArgRecord one[] = {app::IntegerArg(-7)};
    EXPECT_EQ(-7, static_cast<int32_t>(app::CallCore(runtime::BitwiseAnd, one).low));

    auto shift = [](int32_t value, int32_t n) {
        const ArgRecord args[] = {app::IntegerArg(value), app::IntegerArg(n)};
        return static_cast<int32_t>(app::CallCore(runtime::ShiftRight, args).low);
    };
    EXPECT_EQ(-4, shift(-16, 2));
    EXPECT_EQ(0x10, shift(0x40, 2));
    EXPECT_EQ(0x20, shift(0x40, 33));  // the count is taken mod 32
    EXPECT_EQ(-1, shift(-1, 31));
    EXPECT_EQ(0x40, shift(0x40, 32));
}

}  // namespace
