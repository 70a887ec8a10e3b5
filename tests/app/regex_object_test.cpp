#include "app/regex_object.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using app::RegexObject;

const char kPlaylist[] =
    "#EXTM3U\n#EXT-X-VERSION:3\n#EXTINF:2.0,\nseg000.ts\n#EXTINF:2.0,\nSEG001.TS\n#EXT-X-ENDLIST\n";

TEST(RegexObject, ThePlaylistReadersOptionsIgnoreCaseAndMatchEveryLine) {
    RegexObject regex;
    // Case ignored, multi-line off, all matches.
    ASSERT_EQ(1, regex.Create("(.*ts).*", kPlaylist, false, false, true));
    ASSERT_EQ(2, regex.Count());
    EXPECT_STREQ("seg000.ts", regex.MatchText(1).c_str());
    EXPECT_STREQ("SEG001.TS", regex.MatchText(2).c_str());
    // With multi-line off, "^" and "$" stand only at the ends of the whole subject.
    ASSERT_EQ(1, regex.Create("^seg000\\.ts$", kPlaylist, false, false, true));
    EXPECT_EQ(0, regex.Count());
}

TEST(RegexObject, OmittedOptionsAreCaseInsensitiveMultiLineAndGlobal) {
    RegexObject regex;
    ASSERT_EQ(1, regex.Create("^seg00\\d\\.ts$", kPlaylist));
    EXPECT_EQ(2, regex.Count());
    ASSERT_EQ(1, regex.Create("^seg00\\d\\.ts$", kPlaylist, true));
    EXPECT_EQ(1, regex.Count());
    ASSERT_EQ(1, regex.Create("seg", kPlaylist, false, true, false));
    EXPECT_EQ(1, regex.Count());
}

TEST(RegexObject, ASecondCreateDiscardsTheFirstMatches) {
    RegexObject regex;
    ASSERT_EQ(1, regex.Create("EXT[A-Z-]*", kPlaylist));
    EXPECT_EQ(5, regex.Count());  // EXTM, EXT-X-VERSION, EXTINF twice, EXT-X-ENDLIST
    ASSERT_EQ(1, regex.Create("ENDLIST", kPlaylist));
    EXPECT_EQ(1, regex.Count());
    EXPECT_STREQ("ENDLIST", regex.MatchText(1).c_str());
    EXPECT_STREQ("ENDLIST", regex.Pattern().c_str());
}

TEST(RegexObject, SubMatchesPositionsAndReplace) {
    RegexObject regex;
    ASSERT_EQ(1, regex.Create("(seg)(\\d+)\\.(ts)", "x seg000.ts y SEG001.TS"));
    ASSERT_EQ(2, regex.Count());
    EXPECT_EQ(3, regex.SubMatchCount(2));
    EXPECT_STREQ("001", regex.SubMatchText(2, 2).c_str());
    int32_t position = -1;
    EXPECT_STREQ("SEG001.TS", regex.MatchText(2, &position, true).c_str());
    EXPECT_EQ(14, position);
    EXPECT_STREQ("x [ts] y [TS]", regex.Replace("x seg000.ts y SEG001.TS", "[$3]").c_str());
}

TEST(RegexObject, QuoteSubstitutionTurnsTheMarkerIntoAQuote) {
    RegexObject regex;
    ASSERT_EQ(1, regex.Create("#引号(.*?)#引号", "say \"hi\" now", false, true, true, true));
    ASSERT_EQ(1, regex.Count());
    EXPECT_STREQ("\"hi\"", regex.MatchText(1).c_str());
}

TEST(RegexObject, CopyHoldsTheSameMatches) {
    RegexObject regex, copy;
    ASSERT_EQ(1, regex.Create("seg", kPlaylist));
    copy.CopyFrom(regex);
    EXPECT_EQ(2, copy.Count());
    EXPECT_STREQ("SEG", copy.MatchText(2).c_str());
}

TEST(RegexObject, NothingCreatedGivesEmptyResults) {
    RegexObject regex;
    EXPECT_TRUE(regex.Pattern().empty());
    EXPECT_EQ(0, regex.Count());
}

}  // namespace
