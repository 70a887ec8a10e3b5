// From a playlist's text and where it came from to the job's plan: the
// addresses the server will be asked for, as HLS and RFC 3986 name them.
#include "app/job_plan.h"

#include <gtest/gtest.h>

#include <string>

#include "app/regex_object.h"

namespace {

// The plan as the server will see it: each segment's address, then the keys'
// and the map's, one a line; an encrypted segment's line ends with its IV's
// last byte.
std::string AddressesOf(const char* playlist, const std::string& location, bool local = false) {
    app::RegexObject regex;
    app::JobPlan plan;
    if (!app::PlanJob(playlist, {location, local}, regex, &plan)) return "the regex did not run";
    std::string seen;
    for (const app::PlannedSegment& segment : plan.segments) {
        seen += segment.fileName + " " + segment.address;
        if (segment.cipher.keyIndex >= 0)
            seen += " key " + std::to_string(segment.cipher.keyIndex) + " iv " +
                    std::to_string(segment.cipher.iv[15]);
        seen += "\n";
    }
    for (const std::string& key : plan.keyAddresses) seen += "key " + key + "\n";
    for (const app::PlannedMap& map : plan.maps) seen += "map " + map.address + "\n";
    return seen;
}

TEST(JobPlan, NamesResolveAgainstWhereThePlaylistCameFromLineByLine) {
    const struct {
        const char* what;
        const char* playlist;
        const char* location;
        bool local;
        const char* addresses;
    } rows[] = {
        {"root-relative", "#EXTM3U\n/video/seg0.ts\n", "http://h/dir/index.m3u8", false,
         "1.Tavrosi http://h/video/seg0.ts\n"},
        {"protocol-relative", "#EXTM3U\n//cdn.host/seg0.ts\n", "https://h/dir/index.m3u8", false,
         "1.Tavrosi https://cdn.host/seg0.ts\n"},
        {"under a folder named m3u8", "#EXTM3U\nseg0.ts\n", "http://h/m3u8/v/index.m3u8", false,
         "1.Tavrosi http://h/m3u8/v/seg0.ts\n"},
        {"an address ending in .M3U8", "#EXTM3U\nseg0.ts\n", "http://h/a/INDEX.M3U8", false,
         "1.Tavrosi http://h/a/seg0.ts\n"},
        {"an address without m3u8", "#EXTM3U\nseg0.ts\n", "http://h/a/play?id=3", false,
         "1.Tavrosi http://h/a/seg0.ts\n"},
        {"after a redirect to another folder", "#EXTM3U\nseg0.ts\n", "http://cdn/b/index.m3u8",
         false, "1.Tavrosi http://cdn/b/seg0.ts\n"},
        {"an absolute line among relative ones",
         "#EXTM3U\ns0.ts\ns1.ts\nhttp://ad.host/ad.ts\ns2.ts\n", "http://h/a/i.m3u8", false,
         "1.Tavrosi http://h/a/s0.ts\n2.Tavrosi http://h/a/s1.ts\n3.Tavrosi http://ad.host/ad.ts\n"
         "4.Tavrosi http://h/a/s2.ts\n"},
        {"a token that holds ts among fragments",
         "#EXTM3U\n#EXT-X-MAP:URI=\"init.mp4\"\na.m4s\nb.m4s?sig=ts1\nc.m4s\n", "http://h/a/i.m3u8",
         false,
         "1.Tavrosi http://h/a/a.m4s\n2.Tavrosi http://h/a/b.m4s?sig=ts1\n"
         "3.Tavrosi http://h/a/c.m4s\nmap http://h/a/init.mp4\n"},
        {"a line of blanks between encrypted segments",
         "#EXTM3U\r\n#EXT-X-MEDIA-SEQUENCE:5\r\n#EXT-X-KEY:METHOD=AES-128,URI=\"/keys/k.bin\"\r\n"
         "a.ts\r\n   \r\nb.ts\r\n",
         "http://h/dir/i.m3u8", false,
         "1.Tavrosi http://h/dir/a.ts key 0 iv 5\n2.Tavrosi http://h/dir/b.ts key 0 iv 6\n"
         "key http://h/keys/k.bin\n"},
        {"an absolute key", "#EXTM3U\n#EXT-X-KEY:METHOD=AES-128,URI=\"http://k.host/k\"\na.ts\n",
         "http://h/dir/i.m3u8", false,
         "1.Tavrosi http://h/dir/a.ts key 0 iv 0\nkey http://k.host/k\n"},
        {"a dropped file", "#EXTM3U\n#EXT-X-KEY:METHOD=AES-128,URI=\"k.bin\"\nseg 0.ts\n",
         "C:\\v\\list.m3u8", true, "1.Tavrosi C:\\v\\seg 0.ts key 0 iv 0\nkey C:\\v\\k.bin\n"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.addresses, AddressesOf(row.playlist, row.location, row.local)) << row.what;
    }
}

}  // namespace
