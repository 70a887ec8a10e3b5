#include "runtime/text_commands.h"

#include <gtest/gtest.h>

#include <mbstring.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "app/calls.h"
#include "runtime/memory.h"

namespace {

using runtime::ArgRecord;

// Double-byte characters of code page 936 written as bytes, so that their
// trail bytes are in plain view. "\xB0\x41" has the trail byte 'A'.
const std::string kZhong = "\xD6\xD0";
const std::string kWen = "\xCE\xC4";
const std::string kTrailA = "\xB0\x41";
const std::string kTrailLowerA = "\xB0\x61";

constexpr ArgRecord kOmitted = {0, 0, 0};

// Takes a text result over; a null result reads as "<null>".
std::string TakeText(const ArgRecord& result) {
    char* text = reinterpret_cast<char*>(result.low);
    std::string taken = text ? text : "<null>";
    runtime::FreeMemory(text);
    return taken;
}

template <size_t N>
std::string CallText(runtime::CommandFunction command, const ArgRecord (&args)[N]) {
    return TakeText(app::CallCore(command, args));
}

template <size_t N>
int32_t CallInteger(runtime::CommandFunction command, const ArgRecord (&args)[N]) {
    return static_cast<int32_t>(app::CallCore(command, args).low);
}

// The argument borrows the text, so a temporary string may not be passed.
ArgRecord Text(const char* text) { return app::TextArg(text); }
ArgRecord Text(const std::string& text) { return app::TextArg(text.c_str()); }
ArgRecord Text(std::string&&) = delete;

int32_t Find(const std::string& text, const std::string& sought, ArgRecord start = kOmitted,
             bool ignoreCase = false) {
    const ArgRecord args[] = {Text(text), Text(sought), start, app::LogicalArg(ignoreCase)};
    return CallInteger(runtime::FindText, args);
}

int32_t FindBackward(const std::string& text, const std::string& sought, ArgRecord start = kOmitted,
                     bool ignoreCase = false) {
    const ArgRecord args[] = {Text(text), Text(sought), start, app::LogicalArg(ignoreCase)};
    return CallInteger(runtime::FindTextBackward, args);
}

std::string Replace(const std::string& text, const std::string& sought, ArgRecord replacement,
                    ArgRecord start, ArgRecord count, bool caseSensitive) {
    const ArgRecord args[] = {Text(text), Text(sought), replacement,
                              start,      count,        app::LogicalArg(caseSensitive)};
    return CallText(runtime::ReplaceSubtext, args);
}

// The pieces of a split, "<null>" for a null element; the array is freed.
std::vector<std::string> Split(const std::string& text, ArgRecord delimiter = kOmitted,
                               ArgRecord maximum = kOmitted) {
    const ArgRecord args[] = {Text(text), delimiter, maximum};
    void* block = reinterpret_cast<void*>(app::CallCore(runtime::SplitText, args).low);
    std::vector<std::string> pieces;
    EXPECT_NE(nullptr, block);
    if (!block) return pieces;
    EXPECT_EQ(1, *static_cast<int32_t*>(block));
    const uint32_t count = runtime::ArrayElementCount(block);
    for (uint32_t i = 1; i <= count; ++i) {
        const char* piece = *static_cast<char**>(app::ArrayElement(block, i, 4));
        pieces.push_back(piece ? piece : "<null>");
    }
    runtime::FreeTextArray(block);
    return pieces;
}

// The search as it reads plainly: step through the characters from the start
// and compare at each one.
int32_t SteppingFind(const std::string& text, const std::string& sought, size_t from,
                     bool ignoreCase) {
    const size_t k = sought.size();
    for (size_t pos = from; pos + k <= text.size();) {
        const bool same =
            ignoreCase
                ? ::_mbsnbicmp(reinterpret_cast<const unsigned char*>(text.c_str() + pos),
                               reinterpret_cast<const unsigned char*>(sought.c_str()), k) == 0
                : text.compare(pos, k, sought) == 0;
        if (same) return static_cast<int32_t>(pos) + 1;
        pos += (static_cast<uint8_t>(text[pos]) & 0x80) && pos + 1 < text.size() ? 2 : 1;
    }
    return -1;
}

TEST(TextCommands, LengthCountsBytes) {
    const std::string text = "ab" + kZhong;
    const ArgRecord args[] = {Text(text)};
    EXPECT_EQ(4, CallInteger(runtime::TextLength, args));
    const ArgRecord empty[] = {app::TextArg(nullptr)};
    EXPECT_EQ(0, CallInteger(runtime::TextLength, empty));
}

TEST(TextCommands, LeftRightAndMiddleCutBytes) {
    const ArgRecord left[] = {Text("abcdef"), app::IntegerArg(2)};
    EXPECT_EQ("ab", CallText(runtime::LeftText, left));
    const ArgRecord leftTooMany[] = {Text("abc"), app::IntegerArg(10)};
    EXPECT_EQ("abc", CallText(runtime::LeftText, leftTooMany));
    const ArgRecord leftNone[] = {Text("abc"), app::IntegerArg(0)};
    EXPECT_EQ("<null>", CallText(runtime::LeftText, leftNone));

    const ArgRecord right[] = {Text("abcdef"), app::IntegerArg(2)};
    EXPECT_EQ("ef", CallText(runtime::RightText, right));
    const ArgRecord rightTooMany[] = {Text("abc"), app::IntegerArg(10)};
    EXPECT_EQ("abc", CallText(runtime::RightText, rightTooMany));
    const ArgRecord rightNegative[] = {Text("abc"), app::IntegerArg(-1)};
    EXPECT_EQ("<null>", CallText(runtime::RightText, rightNegative));

    const ArgRecord middle[] = {Text("abcdef"), app::IntegerArg(2), app::IntegerArg(3)};
    EXPECT_EQ("bcd", CallText(runtime::MiddleText, middle));
    const ArgRecord lastByte[] = {Text("abcdef"), app::IntegerArg(6), app::IntegerArg(5)};
    EXPECT_EQ("f", CallText(runtime::MiddleText, lastByte));
    for (int32_t start : {0, 7}) {
        const ArgRecord outside[] = {Text("abcdef"), app::IntegerArg(start), app::IntegerArg(2)};
        EXPECT_EQ("<null>", CallText(runtime::MiddleText, outside)) << "start " << start;
    }
    const ArgRecord noBytes[] = {Text("abcdef"), app::IntegerArg(2), app::IntegerArg(0)};
    EXPECT_EQ("<null>", CallText(runtime::MiddleText, noBytes));
}

TEST(TextCommands, FindStepsOverDoubleByteCharacters) {
    const std::string text = "ab" + kZhong + kWen + "ab";
    EXPECT_EQ(1, Find(text, "ab"));
    EXPECT_EQ(7, Find(text, "ab", app::IntegerArg(3)));
    EXPECT_EQ(3, Find(text, kZhong));
    EXPECT_EQ(5, Find(text, kWen));
    // The trail byte of 中 followed by the lead byte of 文 is no character.
    EXPECT_EQ(-1, Find(text, "\xD0\xCE"));

    EXPECT_EQ(-1, Find(kTrailA, "A"));
    EXPECT_EQ(4, Find("x" + kTrailA + "A", "A"));
    EXPECT_EQ(-1, Find(kTrailA + kTrailA, "AB"));
}

TEST(TextCommands, FindStartsWhereItIsTold) {
    EXPECT_EQ(1, Find("abc", "a", app::IntegerArg(-5)));
    EXPECT_EQ(-1, Find("abc", "a", app::IntegerArg(2)));
    EXPECT_EQ(-1, Find("abc", "c", app::IntegerArg(4)));
    // A start inside a character counts as a character start.
    const std::string pairs = "\xB0\xA1\xB0\xA1\xB0\xA1";
    EXPECT_EQ(-1, Find(pairs, "\xA1\xB0"));
    EXPECT_EQ(2, Find(pairs, "\xA1\xB0", app::IntegerArg(2)));

    EXPECT_EQ(1, Find("abc", ""));
    EXPECT_EQ(1, Find("abc", "", app::IntegerArg(3)));
    EXPECT_EQ(-1, Find("abc", "", app::IntegerArg(4)));
    EXPECT_EQ(-1, Find("", ""));
    EXPECT_EQ(-1, Find("ab", "abc"));
}

TEST(TextCommands, FindIgnoringCaseFoldsLettersButNotTrailBytes) {
    EXPECT_EQ(2, Find("xABCx", "abc", kOmitted, true));
    EXPECT_EQ(-1, Find("xABCx", "abc", kOmitted, false));
    // Double-byte characters whose trail bytes differ only in case differ.
    EXPECT_EQ(-1, Find(kTrailA, kTrailLowerA, kOmitted, true));
    EXPECT_EQ(3, Find(kTrailA + "a", "A", kOmitted, true));
    EXPECT_EQ(3, Find(kTrailA + kTrailA + "Ab", kTrailA + "aB", kOmitted, true));
    EXPECT_EQ(5, Find("ab" + kZhong + "AB", "Ab", app::IntegerArg(2), true));
    EXPECT_EQ(5, FindBackward("ab" + kTrailA + "AB" + kTrailA, "aB", kOmitted, true));
}

TEST(TextCommands, FindBackwardKeepsTheLastMatchBeforeStart) {
    const std::string text = "ab" + kZhong + "ab" + kWen;
    EXPECT_EQ(5, FindBackward(text, "ab"));
    EXPECT_EQ(-1, FindBackward(text, "ab", app::IntegerArg(1)));
    // Only matches that end before the start position count.
    EXPECT_EQ(1, FindBackward(text, "ab", app::IntegerArg(6)));
    EXPECT_EQ(5, FindBackward(text, "ab", app::IntegerArg(7)));
    EXPECT_EQ(5, FindBackward(text, "ab", app::IntegerArg(100)));
    EXPECT_EQ(-1, FindBackward(kTrailA + kTrailA, "A"));
    // Overlapping occurrences: the last one wins, also where stepping over
    // whole matches would miss it.
    EXPECT_EQ(3, FindBackward("aaaa", "aa"));
    EXPECT_EQ(2, FindBackward("aaa", "aa"));

    EXPECT_EQ(1, FindBackward("abc", ""));
    EXPECT_EQ(-1, FindBackward("abc", "", app::IntegerArg(1)));
}

TEST(TextCommands, FindAgreesWithSteppingThroughCharacters) {
    // Short alphabets make lead bytes, trail bytes and letters collide often;
    // A3 C1 and A3 E1 are the full-width A and a.
    const char alphabet[] = {'a', 'A', 'b', '\xB0', '\xA1', '\xC1', '\xA3', '\xE1'};
    std::mt19937 random(7);
    std::uniform_int_distribution<size_t> pick(0, sizeof alphabet - 1);
    auto randomText = [&](size_t length) {
        std::string text;
        for (size_t i = 0; i < length; ++i) text += alphabet[pick(random)];
        return text;
    };
    for (int round = 0; round < 400; ++round) {
        const std::string text = randomText(40 + round % 50);
        const std::string sought = randomText(1 + round % 3);
        const size_t from = round % 5;
        for (bool ignoreCase : {false, true}) {
            ASSERT_EQ(
                SteppingFind(text, sought, from, ignoreCase),
                Find(text, sought, app::IntegerArg(static_cast<int32_t>(from) + 1), ignoreCase))
                << "round " << round << " ignoreCase " << ignoreCase;
        }
    }
}

TEST(TextCommands, LowerCaseLeavesDoubleByteCharactersAlone) {
    const std::string text = "ABC" + kTrailA + "Z" + kZhong + "q";
    const ArgRecord args[] = {Text(text)};
    EXPECT_EQ("abc" + kTrailA + "z" + kZhong + "q", CallText(runtime::ToLowerCase, args));
    // A lead byte at the very end stands alone; the letter before it is still lowered.
    const ArgRecord trailing[] = {Text("A\xB0")};
    EXPECT_EQ("a\xB0", CallText(runtime::ToLowerCase, trailing));
    const ArgRecord empty[] = {Text("")};
    EXPECT_EQ("<null>", CallText(runtime::ToLowerCase, empty));
}

TEST(TextCommands, ReplaceCountsFromStartAndCopiesWhatComesBefore) {
    const ArgRecord y = Text("Y");
    EXPECT_EQ("YaYbYa", Replace("xaxbxa", "x", y, kOmitted, kOmitted, true));
    EXPECT_EQ("xaYbxa", Replace("xaxbxa", "x", y, app::IntegerArg(2), app::IntegerArg(1), true));
    EXPECT_EQ("xaYbYa", Replace("xaxbxa", "x", y, app::IntegerArg(3), kOmitted, true));
    EXPECT_EQ("xaxbxa", Replace("xaxbxa", "x", y, kOmitted, app::IntegerArg(0), true));
    EXPECT_EQ("xaxbxa", Replace("xaxbxa", "x", y, app::IntegerArg(7), kOmitted, true));
    EXPECT_EQ("aba", Replace("xaxbxa", "x", kOmitted, kOmitted, kOmitted, true));
    EXPECT_EQ("<null>", Replace("xxx", "x", kOmitted, kOmitted, kOmitted, true));
    EXPECT_EQ("abc", Replace("abc", "", y, kOmitted, kOmitted, true));
    // A longer replacement makes the text grow.
    EXPECT_EQ("[long][long]b", Replace("aab", "a", Text("[long]"), kOmitted, kOmitted, true));
}

TEST(TextCommands, ReplaceMatchesWholeCharactersAndFoldsCaseOnRequest) {
    const ArgRecord y = Text("Y");
    EXPECT_EQ(kTrailA + "Y", Replace(kTrailA + "A", "A", y, kOmitted, kOmitted, true));
    EXPECT_EQ(kTrailA + "YY", Replace(kTrailA + "aA", "A", y, kOmitted, kOmitted, false));
    EXPECT_EQ(kTrailLowerA + "Y",
              Replace(kTrailLowerA + kTrailA, kTrailA, y, kOmitted, kOmitted, false));
    EXPECT_EQ("Y" + kZhong + "Y",
              Replace("ab" + kZhong + "AB", "aB", y, kOmitted, kOmitted, false));
}

TEST(TextCommands, SplitCutsAtEveryDelimiter) {
    EXPECT_EQ((std::vector<std::string>{"a", "<null>", "b"}), Split("a,,b,"));
    EXPECT_EQ((std::vector<std::string>{"a", "b", "c"}),
              Split("a,b,c", Text(","), app::IntegerArg(5)));
    // Once the maximum is used up, the rest of the text is dropped.
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), Split("a,b,c", Text(","), app::IntegerArg(2)));
    EXPECT_EQ((std::vector<std::string>{"a"}), Split("a,b,c", Text(","), app::IntegerArg(1)));
    EXPECT_EQ((std::vector<std::string>{}), Split("a,b", Text(","), app::IntegerArg(-1)));
    EXPECT_EQ((std::vector<std::string>{}), Split(""));
    EXPECT_EQ((std::vector<std::string>{"a,b"}), Split("a,b", Text("")));
    EXPECT_EQ((std::vector<std::string>{"<null>", "x"}), Split(",x"));
    // The delimiter of the download list, and a trail byte that looks like it.
    const std::string bar = "\xD8\xAD\xD8\xAD";
    EXPECT_EQ((std::vector<std::string>{"u1", "u2"}), Split("u1" + bar + "u2" + bar, Text(bar)));
    EXPECT_EQ((std::vector<std::string>{"a" + kTrailA + "b"}),
              Split("a" + kTrailA + "b", Text("A")));
}

TEST(TextCommands, BlankAndRepeatBuildTexts) {
    const ArgRecord three[] = {app::IntegerArg(3)};
    EXPECT_EQ("   ", CallText(runtime::BlankText, three));
    const ArgRecord none[] = {app::IntegerArg(0)};
    EXPECT_EQ("<null>", CallText(runtime::BlankText, none));

    const ArgRecord repeat[] = {app::IntegerArg(5), Text("ab")};
    EXPECT_EQ("ababababab", CallText(runtime::RepeatText, repeat));
    const ArgRecord negative[] = {app::IntegerArg(-2), Text("ab")};
    EXPECT_EQ("<null>", CallText(runtime::RepeatText, negative));
    const ArgRecord empty[] = {app::IntegerArg(4), Text("")};
    EXPECT_EQ("<null>", CallText(runtime::RepeatText, empty));
    const ArgRecord huge[] = {app::IntegerArg(0x7FFFFFFF), Text("abc")};
    EXPECT_EQ("<null>", CallText(runtime::RepeatText, huge));
}

}  // namespace
