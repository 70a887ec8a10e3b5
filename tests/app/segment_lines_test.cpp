#include "app/segment_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(SegmentLines, TheLiteralOfAPatternIsWhatItMustFindAsItStands) {
    EXPECT_EQ("http://", app::LiteralOf("http://.*"));
    EXPECT_EQ("ts", app::LiteralOf("(.*ts).*"));
    EXPECT_EQ("mp4", app::LiteralOf("(.*mp4).*"));
    EXPECT_EQ("flv", app::LiteralOf("(.*flv).*"));
}

// ASCII letters without case, as the patterns run; in code page 936 a trail
// byte may be an ASCII letter: 0x81 0x74 is one character, so the "t" in it
// is no "t".
TEST(SegmentLines, ALineHoldsTheLiteralWithoutCaseAndByWholeCharacters) {
    const struct {
        const char* line;
        const char* literal;
        bool holds;
    } cases[] = {
        {"seg1.ts", "ts", true},    {"SEG2.TS", "ts", true},
        {"x.Ts?k=1", "ts", true},   {"none", "ts", false},
        {"", "ts", false},          {"t", "t", true},
        {"t", "ts", false},         {"\x81\x74s.txt", "ts", false},
        {"\x81\x74ts", "ts", true}, {"\x81", "\x81", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.holds, app::HoldsLiteral(c.line, c.literal)) << c.line << " / " << c.literal;
    }
}

// CR LF ends one line, as LF and a CR alone do; blanks and tabs at a line's
// ends are no part of it, so a line of blanks is empty.
TEST(SegmentLines, LinesEndAtCrLfLfOrCrAndLoseTheirBlanks) {
    std::vector<std::string> lines;
    app::ForEachLine("a.ts\r\n \t\r\n  b.ts \rc.ts\n\nd.ts",
                     [&](const std::string& line) { lines.push_back(line); });
    EXPECT_EQ((std::vector<std::string>{"a.ts", "", "b.ts", "c.ts", "", "d.ts"}), lines);
}

}  // namespace
