// A segment's bytes against what its playlist promises, a picture in front of
// them, the codecs they say they hold, and a merged video's duration from its
// movie header.
#include "app/segment_check.h"

#include <gtest/gtest.h>

#include <string>

#include "app/data/app_image.h"
#include "app/mp4_duration.h"
#include "app/picture_prefix.h"
#include "app/stream_codecs.h"

namespace {

using app::SegmentKind;

std::string Packets(int count) {
    std::string bytes;
    for (int i = 0; i < count; ++i) bytes += "\x47\x1f\xff\x10" + std::string(184, '\xff');
    return bytes;
}

std::string Problem(const std::string& bytes, SegmentKind kind) {
    const size_t head = bytes.size() < app::kCheckedBytes ? bytes.size() : app::kCheckedBytes;
    return app::ContentProblem(reinterpret_cast<const uint8_t*>(bytes.data()), head, bytes.size(),
                               kind);
}

TEST(SegmentCheck, OnlyBytesOfThePromisedKindPass) {
    const app::ConstantTexts& k = app::Constants();
    const std::string styp = std::string("\0\0\0\x18styp", 8) + "msdh" + std::string(12, '\0');
    const struct {
        const char* what;
        std::string bytes;
        SegmentKind kind;
        std::string problem;
    } rows[] = {
        {"two packets", Packets(2), SegmentKind::kStandalone, ""},
        {"one packet", Packets(1), SegmentKind::kStandalone, ""},
        {"packed audio", "ID3\x04" + std::string(300, '\0'), SegmentKind::kStandalone, ""},
        {"empty", "", SegmentKind::kStandalone, k.contentEmpty},
        {"no sync byte at 188", Packets(1) + "x" + Packets(1).substr(1), SegmentKind::kStandalone,
         k.contentNotTs},
        {"cut mid-packet", Packets(2).substr(0, 300), SegmentKind::kStandalone, k.contentCutTs},
        {"error page", "\r\n <html><body>503</body></html>", SegmentKind::kStandalone,
         k.contentWebPage},
        {"text", "a note, not a video\n", SegmentKind::kStandalone, k.contentNotTs},
        {"fragment", styp, SegmentKind::kFragment, ""},
        {"a whole MP4 file", styp, SegmentKind::kStandalone, ""},
        {"box to the end", std::string("\0\0\0\0mdat", 8) + "xx", SegmentKind::kFragment, ""},
        {"box longer than the file", std::string("\0\0\1\0moof", 8), SegmentKind::kFragment,
         k.contentNotMp4},
        {"box shorter than its header", std::string("\0\0\0\4moof", 8), SegmentKind::kFragment,
         k.contentNotMp4},
        {"transport stream for a fragment", Packets(2), SegmentKind::kFragment, k.contentNotMp4},
        {"error page for a fragment", "<html></html>", SegmentKind::kFragment, k.contentWebPage},
    };
    for (const auto& row : rows) EXPECT_EQ(row.problem, Problem(row.bytes, row.kind)) << row.what;
}

size_t PictureLength(const std::string& bytes) {
    return app::PicturePrefixLength(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

TEST(PicturePrefix, OnlyAPictureSignatureBeforeThreePacketsInARowIsTakenOff) {
    const std::string png = std::string("\x89PNG\r\n\x1a\n", 8) + "IHDR\x47" + "IEND";
    const struct {
        const char* what;
        std::string bytes;
        size_t prefix;
    } rows[] = {
        {"PNG", png + Packets(3), png.size()},
        {"JPEG", "\xff\xd8\xff\xe0JFIF" + Packets(4), 8},
        {"GIF89a", "GIF89a;" + Packets(3), 7},
        {"GIF87a", "GIF87a;" + Packets(3), 7},
        {"BMP", "BM" + Packets(3), 2},
        // A sync byte inside the picture is no packet unless two more follow at 188-byte steps.
        {"a lone sync byte in the picture", png + "\x47" + std::string(100, '\0') + Packets(3),
         png.size() + 101},
        {"only two packets", png + Packets(2), 0},
        {"packets without a picture", Packets(3), 0},
        {"a picture without packets", png + std::string(600, '\0'), 0},
        {"another signature", "RIFF" + Packets(3), 0},
        {"cut inside the signature", png.substr(0, 5), 0},
    };
    for (const auto& row : rows) EXPECT_EQ(row.prefix, PictureLength(row.bytes)) << row.what;
}

// A box of `type` around `content`.
std::string Box(const char* type, const std::string& content) {
    const uint32_t size = static_cast<uint32_t>(content.size() + 8);
    const char header[] = {static_cast<char>(size >> 24), static_cast<char>(size >> 16),
                           static_cast<char>(size >> 8), static_cast<char>(size)};
    return std::string(header, 4) + type + content;
}

double Seconds(const std::string& movie) {
    return app::MovieSeconds(reinterpret_cast<const uint8_t*>(movie.data()), movie.size());
}

// A packet of `pid` whose payload starts a section with `section`'s bytes
// (a CRC's four bytes added), filled up with 0xff.
std::string SectionPacket(int pid, const std::string& section) {
    const std::string head{'\x47', static_cast<char>(0x40 | (pid >> 8)), static_cast<char>(pid),
                           '\x10', '\0'};
    const std::string packet = head + section + "CRC!";
    return packet + std::string(188 - packet.size(), '\xff');
}

const std::string kPat = SectionPacket(0, std::string("\x00\xb0\x0d\x00\x01\xc1\x00\x00"
                                                      "\x00\x01\xe1\x00",
                                                      12));
std::string Pmt(char video, int sectionLength = 0x17) {
    return SectionPacket(0x100, std::string("\x02\xb0", 2) + static_cast<char>(sectionLength) +
                                    std::string("\x00\x01\xc1\x00\x00\xe1\x00\xf0\x00", 9) + video +
                                    std::string("\xe1\x00\xf0\x00\x0f\xe1\x01\xf0\x00", 9));
}

std::string TsCodecs(const std::string& bytes) {
    return app::TransportStreamCodecs(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

TEST(StreamCodecs, TheProgramMapNamesTheTransportStreamsCodecs) {
    const struct {
        const char* what;
        std::string bytes;
        const char* codecs;
    } rows[] = {
        {"H.264 and AAC", kPat + Pmt('\x1b') + Packets(2), "1b 0f"},
        {"HEVC and AAC", Packets(1) + kPat + Pmt('\x24'), "24 0f"},
        {"the map before the association", Pmt('\x1b') + kPat, ""},
        {"no association", Packets(3), ""},
        {"a map longer than its packet", kPat + Pmt('\x1b', 0xc0), ""},
        {"cut mid-packet", kPat + Pmt('\x1b').substr(0, 100), ""},
    };
    for (const auto& row : rows) EXPECT_EQ(row.codecs, TsCodecs(row.bytes)) << row.what;
}

TEST(StreamCodecs, TheSampleEntriesNameTheMoviesCodecs) {
    const auto trak = [](const char* entry) {
        const std::string sampleEntry = entry ? Box(entry, std::string(78, '\0')) : "";
        return Box(
            "trak",
            Box("mdia", Box("minf", Box("stbl", Box("stsd", std::string(8, '\0') + sampleEntry)))));
    };
    const struct {
        const char* what;
        std::string bytes;
        const char* codecs;
    } rows[] = {
        {"two tracks", Box("ftyp", "iso5") + Box("moov", trak("avc1") + trak("mp4a")), "avc1 mp4a"},
        {"an empty sample table", Box("moov", trak(nullptr)), ""},
        {"no movie", Box("moof", trak("avc1")), ""},
        {"cut short", Box("moov", trak("hvc1")).substr(0, 60), ""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.codecs, app::MovieCodecs(reinterpret_cast<const uint8_t*>(row.bytes.data()),
                                               row.bytes.size()))
            << row.what;
    }
}

TEST(Mp4Duration, TheMovieHeaderGivesDurationOverTimescale) {
    // Version 0: version and flags, creation, modification, timescale 1000, duration 8,250.
    const std::string short0 = std::string("\0\0\0\0", 4) + std::string(8, '\0') +
                               std::string("\0\0\x03\xe8\0\0\x20\x3a", 8) + std::string(80, '\0');
    // Version 1: 64-bit times, timescale 90,000, duration 900,000.
    const std::string long1 = std::string("\1\0\0\0", 4) + std::string(16, '\0') +
                              std::string("\0\x01\x5f\x90\0\0\0\0\0\x0d\xbb\xa0", 12);
    const std::string noScale = std::string(12, '\0') + std::string("\0\0\0\0\0\0\0\x08", 8);
    const struct {
        const char* what;
        std::string movie;
        double seconds;
    } rows[] = {
        {"version 0", Box("mvhd", short0), 8.25},
        {"version 1 after a track", Box("trak", "") + Box("mvhd", long1), 10.0},
        {"cut short", Box("mvhd", short0.substr(0, 18)), -1},
        {"no timescale", Box("mvhd", noScale), -1},
        {"no movie header", Box("trak", short0), -1},
        {"a box that overruns", Box("trak", "").substr(0, 6), -1},
    };
    for (const auto& row : rows) EXPECT_DOUBLE_EQ(row.seconds, Seconds(row.movie)) << row.what;
}

}  // namespace
