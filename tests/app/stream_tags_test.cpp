// What the tags of media and master playlists say: keys, IVs, sequence
// numbers, byte ranges, the initialization map, and the variant chosen.
#include "app/stream_tags.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/master_playlist.h"

namespace {

std::vector<uint8_t> Iv(const std::string& attribute, uint64_t sequence) {
    uint8_t iv[16];
    if (!app::InitialisationVector(attribute, sequence, iv)) return {};
    return std::vector<uint8_t>(iv, iv + 16);
}

TEST(StreamTags, TheIvIsTheAttributeElseTheSequenceNumberBigEndian) {
    std::vector<uint8_t> expected(16, 0);
    expected[15] = 7;
    EXPECT_EQ(expected, Iv("", 7));
    expected[15] = 0x01;
    expected[14] = 0x02;
    expected[8] = 0xAB;
    EXPECT_EQ(expected, Iv("", 0xAB00000000000201ULL));
    const std::vector<uint8_t> counting = {0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07,
                                           0x08, 0x09, 0x0a, 0x0b, 0x0c, 0x0d, 0x0e, 0x0f};
    EXPECT_EQ(counting, Iv("0x000102030405060708090A0B0C0D0E0F", 99));
    EXPECT_EQ(counting, Iv("0X102030405060708090a0b0c0d0e0f", 99)) << "fewer digits, padded";
    for (const char* bad : {"0x", "102", "0xG1", "0x000102030405060708090A0B0C0D0E0F0"}) {
        EXPECT_TRUE(Iv(bad, 0).empty()) << bad;
    }
}

TEST(StreamTags, KeysCoverTheSegmentsAfterThemUntilTheNext) {
    const char playlist[] =
        "#EXTM3U\r\n#EXT-X-MEDIA-SEQUENCE:40\r\n#EXT-X-MAP:URI=\"init.mp4\"\r\n"
        "a.m4s\r\n"
        "#EXT-X-KEY:METHOD=AES-128,URI=\"k1.bin\",IV=0x1\r\n"
        "b.m4s\r\n"
        "#EXT-X-KEY:METHOD=AES-128,URI=\"https://h/k2?x=1,2\"\r\n"
        "c.m4s\r\n"
        "#EXT-X-KEY:METHOD=NONE\r\n"
        "d.m4s\r\n";
    const app::StreamTags tags = app::ReadStreamTags(playlist);
    ASSERT_EQ(1u, tags.maps.size());
    EXPECT_EQ("init.mp4", tags.maps[0].uri);
    ASSERT_EQ(2u, tags.keys.size());
    EXPECT_EQ("k1.bin", tags.keys[0].uri);
    EXPECT_EQ("0x1", tags.keys[0].iv);
    EXPECT_EQ("https://h/k2?x=1,2", tags.keys[1].uri) << "a comma inside quotes";
    EXPECT_EQ("", tags.keys[1].iv);
    std::vector<std::pair<std::string, std::pair<int, uint64_t>>> seen;
    for (const app::UriLine& line : tags.uriLines) {
        seen.push_back({line.text, {line.keyIndex, line.sequence}});
    }
    EXPECT_EQ(
        (std::vector<std::pair<std::string, std::pair<int, uint64_t>>>{
            {"a.m4s", {-1, 40}}, {"b.m4s", {0, 41}}, {"c.m4s", {1, 42}}, {"d.m4s", {-1, 43}}}),
        seen);
    EXPECT_EQ("", tags.unsupportedMethod);

    const app::StreamTags sample =
        app::ReadStreamTags("#EXT-X-KEY:METHOD=SAMPLE-AES,URI=\"k\"\nx.ts\n");
    EXPECT_EQ("SAMPLE-AES", sample.unsupportedMethod);
    EXPECT_EQ("",
              app::ReadStreamTags("#EXT-X-KEY:METHOD=SAMPLE-AES\n#EXT-X-KEY:METHOD=NONE\nx.ts\n")
                  .unsupportedMethod)
        << "a method no segment is encrypted with";
}

// Each duration belongs to the next URI line only; a bad one counts as none.
TEST(StreamTags, EachSegmentHasTheDurationOfTheExtinfBeforeIt) {
    const app::StreamTags tags = app::ReadStreamTags(
        "#EXTM3U\n#EXTINF:2.5,\na.ts\nb.ts\n#EXTINF:4,title\n#EXT-X-KEY:METHOD=NONE\nc.ts\n"
        "#EXTINF:-3,\nd.ts\n#EXTINF:nan,\ne.ts\n");
    std::vector<double> seconds;
    for (const app::UriLine& line : tags.uriLines) seconds.push_back(line.seconds);
    EXPECT_EQ((std::vector<double>{2.5, 0, 4, 0, 0}), seconds);
}

TEST(StreamTags, EachFragmentHasTheMapInForceBeforeIt) {
    const app::StreamTags tags = app::ReadStreamTags(
        "a.ts\n#EXT-X-MAP:URI=\"1.mp4\"\nb.m4s\nc.m4s\n#EXT-X-DISCONTINUITY\n"
        "#EXT-X-MAP:URI=\"2.mp4\"\nd.m4s\n");
    std::vector<int> maps;
    for (const app::UriLine& line : tags.uriLines) maps.push_back(line.mapIndex);
    EXPECT_EQ((std::vector<int>{-1, 0, 0, 1}), maps);
    ASSERT_EQ(2u, tags.maps.size());
    EXPECT_EQ("2.mp4", tags.maps[1].uri);
}

// "first-last" of a line's range, or "whole".
std::string Slice(const std::optional<net::ByteRange>& range) {
    return range ? std::to_string(range->offset) + "-" + std::to_string(range->end() - 1) : "whole";
}

// An omitted offset follows the previous slice of the same resource; a
// range belongs to the next URI line only; a bad one counts as none.
TEST(StreamTags, EachSegmentHasTheByteRangeBeforeIt) {
    const struct {
        const char* playlist;
        std::vector<std::string> slices;
    } rows[] = {
        {"#EXT-X-BYTERANGE:100@0\na.ts\n#EXT-X-BYTERANGE:50\na.ts\n", {"0-99", "100-149"}},
        {"#EXT-X-BYTERANGE:10@90\na.ts\n#EXT-X-BYTERANGE:5\nb.ts\n#EXT-X-BYTERANGE:5\na.ts\n",
         {"90-99", "0-4", "100-104"}},
        {"#EXT-X-BYTERANGE:7\na.ts\nb.ts\n", {"0-6", "whole"}},
        {"#EXT-X-BYTERANGE:0@5\na.ts\n#EXT-X-BYTERANGE:8x\nb.ts\n#EXT-X-BYTERANGE:@3\nc.ts\n",
         {"whole", "whole", "whole"}},
        {"#EXT-X-BYTERANGE:2@18446744073709551615\na.ts\n"
         "#EXT-X-BYTERANGE:18446744073709551616\nb.ts\n",
         {"whole", "whole"}},
        {"#EXT-X-BYTERANGE:1@18446744073709551614\na.ts\n",
         {"18446744073709551614-18446744073709551614"}},
    };
    for (const auto& row : rows) {
        std::vector<std::string> slices;
        for (const app::UriLine& line : app::ReadStreamTags(row.playlist).uriLines)
            slices.push_back(Slice(line.range));
        EXPECT_EQ(row.slices, slices) << row.playlist;
    }
    EXPECT_EQ("1338-2337",
              Slice(app::ReadStreamTags("#EXT-X-MAP:URI=\"s.m4s\",BYTERANGE=\"1000@1338\"\n")
                        .maps[0]
                        .range));
}

TEST(ByteRange, ARangeAnswerMustNameExactlyTheSliceAsked) {
    const net::ByteRange slice{100, 50};
    EXPECT_EQ("bytes=100-149", net::RangeRequestValue(slice));
    const struct {
        const char* contentRange;
        bool names;
    } rows[] = {
        {"bytes 100-149/1000", true},
        {"bytes 100-149/*", true},
        {"bytes 100-150/1000", false},
        {"bytes 0-149/1000", false},
        {"bytes */1000", false},
        {"bytes 100-149", false},
        {"", false},
        {"items 100-149/1000", false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.names, net::ContentRangeNames(row.contentRange, slice)) << row.contentRange;
}

TEST(MasterPlaylist, TheHighestBandwidthIsChosenTheFirstOnATie) {
    const char master[] =
        "#EXTM3U\n"
        "#EXT-X-STREAM-INF:BANDWIDTH=300000,RESOLUTION=160x120,CODECS=\"avc1.4d001e,mp4a.40.2\"\n"
        "low/index.m3u8\n"
        "#EXT-X-STREAM-INF:BANDWIDTH=900000,RESOLUTION=320x240\n"
        "\n"
        "../high/index.m3u8\n"
        "#EXT-X-STREAM-INF:BANDWIDTH=900000,RESOLUTION=640x480\n"
        "second-high.m3u8\n";
    EXPECT_TRUE(app::IsMasterPlaylist(master));
    EXPECT_FALSE(app::IsMasterPlaylist("#EXTM3U\n#EXTINF:2,\na.ts\n"));
    app::Variant chosen;
    int32_t count = 0;
    ASSERT_TRUE(app::ChooseVariant(master, &chosen, &count));
    EXPECT_EQ(3, count);
    EXPECT_EQ("../high/index.m3u8", chosen.uri);
    EXPECT_EQ(900000u, chosen.bandwidth);
    EXPECT_EQ("320x240", chosen.resolution);
    EXPECT_FALSE(app::ChooseVariant("#EXT-X-STREAM-INF:BANDWIDTH=1\n#EXTINF:\n", &chosen, &count));
}

// The name of the audio rendition chosen for group "a", or "none".
std::string AudioOf(const std::string& media) {
    const std::vector<app::Rendition> renditions = app::ReadRenditions(media.c_str());
    const app::Rendition* chosen = app::ChooseAudio(renditions, "a");
    return chosen ? chosen->name : "none";
}

// Only the variant's group counts, and only renditions with a URI.
TEST(MasterPlaylist, TheAudioIsTheDefaultElseTheFirstAutoselectedElseTheFirst) {
    const std::string tag = "#EXT-X-MEDIA:TYPE=AUDIO,GROUP-ID=\"a\",";
    const struct {
        const char* what;
        std::string media;
        const char* chosen;
    } rows[] = {
        {"default second",
         tag + "NAME=\"en\",URI=\"en.m3u8\"\n" + tag + "NAME=\"zh\",DEFAULT=YES,URI=\"zh.m3u8\"\n",
         "zh"},
        {"autoselect second",
         tag + "NAME=\"en\",URI=\"en.m3u8\"\n" + tag + "NAME=\"fr\",AUTOSELECT=YES,URI=\"f\"\n",
         "fr"},
        {"neither", tag + "NAME=\"en\",URI=\"en.m3u8\"\n" + tag + "NAME=\"fr\",URI=\"f\"\n", "en"},
        {"default without a URI",
         tag + "NAME=\"in\",DEFAULT=YES\n" + tag + "NAME=\"en\",URI=\"en.m3u8\"\n", "en"},
        {"another group",
         "#EXT-X-MEDIA:TYPE=AUDIO,GROUP-ID=\"b\",NAME=\"b\",DEFAULT=YES,URI=\"b\"\n" + tag +
             "NAME=\"en\",URI=\"en.m3u8\"\n",
         "en"},
        {"subtitles", "#EXT-X-MEDIA:TYPE=SUBTITLES,GROUP-ID=\"a\",NAME=\"s\",URI=\"s\"\n", "none"},
        {"no rendition", "#EXT-X-STREAM-INF:BANDWIDTH=1,AUDIO=\"a\"\nv.m3u8\n", "none"},
    };
    for (const auto& row : rows) EXPECT_EQ(row.chosen, AudioOf(row.media)) << row.what;
}

}  // namespace
