#include "app/segment_lines.h"

#include <gtest/gtest.h>

namespace {

TEST(SegmentLines, TheLiteralOfAPatternIsWhatItMustFindAsItStands) {
    EXPECT_EQ("http://", app::LiteralOf("http://.*"));
    EXPECT_EQ("ts", app::LiteralOf("(.*ts).*"));
    EXPECT_EQ("mp4", app::LiteralOf("(.*mp4).*"));
    EXPECT_EQ("flv", app::LiteralOf("(.*flv).*"));
}

// A line ends at CR, LF or both; each kept line comes back with one LF.
TEST(SegmentLines, KeepsTheLinesThatHoldTheLiteralWithoutCase) {
    EXPECT_EQ("seg1.ts\nSEG2.TS\nx.Ts?k=1\n",
              app::LinesHolding("seg1.ts\r\nSEG2.TS\rnone\n\nx.Ts?k=1", "ts", '#'));
    EXPECT_EQ("", app::LinesHolding("", "ts", '#'));
    EXPECT_EQ("", app::LinesHolding("\r\n\r\n", "ts", '#'));
    EXPECT_EQ("t\n", app::LinesHolding("t", "t", '#'));
    EXPECT_EQ("", app::LinesHolding("t", "ts", '#')) << "a literal running past the end";
}

// A tag line never gives a segment, even when it holds an absolute address.
TEST(SegmentLines, DropsTagLines) {
    EXPECT_EQ("a.ts\n", app::LinesHolding("#EXTINF:2.000,ts\r\na.ts\r\n"
                                          "#EXT-X-KEY:METHOD=AES-128,URI=\"http://h/k\"\r\n",
                                          "ts", '#'));
    EXPECT_EQ(" #b.ts\n", app::LinesHolding(" #b.ts", "ts", '#')) << "only the first byte counts";
}

// In code page 936 a trail byte may be an ASCII letter: 0x81 0x74 is one
// character, so the "t" in it is no "t".
TEST(SegmentLines, StepsOverDoubleByteCharactersWhole) {
    EXPECT_EQ("", app::LinesHolding("\x81\x74s.txt", "ts", '#'));
    EXPECT_EQ("\x81\x74ts\n", app::LinesHolding("\x81\x74ts", "ts", '#'));
    EXPECT_EQ("\x81\n", app::LinesHolding("\x81", "\x81", '#')) << "a lead byte at the end";
}

}  // namespace
