#include "app/job_record.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

#include "tests/support/child_process.h"

namespace {

constexpr char kHead[] = "Velmora job record 1\naddress http://a.example/v.m3u8\nplaylist D1\n";

// The record as its lines would be written again; "none" without a head.
std::string Lines(const std::string& text) {
    app::JobRecord record;
    if (!app::ParseJobRecord(text, &record)) return "none";
    std::string lines = record.address + " " + record.playlistDigest + "\n";
    for (const app::SegmentRecord& segment : record.segments) lines += app::RecordLine(segment);
    for (const app::VideoRecord& video : record.videos) lines += app::RecordLine(video);
    return lines;
}

TEST(JobRecord, ReadsOnlyTheWholeLinesOfItsSegmentsAndVideos) {
    const std::string read = "http://a.example/v.m3u8 D1\n";
    const struct {
        const char* what;
        std::string text;
        std::string lines;
    } rows[] = {
        {"segments and a video",
         std::string(kHead) + "v 0 1880 0a1b2c3d\na 2 376 ffffffff\n"
                              "video 5000 00000001 C:\\Data\\my video.mp4\n",
         read +
             "v 0 1880 0a1b2c3d\na 2 376 ffffffff\nvideo 5000 00000001 C:\\Data\\my video.mp4\n"},
        {"a torn last line", std::string(kHead) + "v 0 1880 0a1b2c3d\nv 1 18",
         read + "v 0 1880 0a1b2c3d\n"},
        {"lines that are no segment",
         std::string(kHead) + "x 0 1 00000000\nv 1 2 abc\nv 2 3 0000000g\n"
                              "v 3 4 00000000 \nvideo 1 00000000\nv 4 5 00000000\n",
         read + "v 4 5 00000000\n"},
        {"an index past 2^64", std::string(kHead) + "v 18446744073709551616 5 00000000\n", read},
        {"no head", "v 0 1880 0a1b2c3d\n", "none"},
        {"a head cut short", "Velmora job record 1\naddress x\n", "none"},
    };
    for (const auto& row : rows) EXPECT_EQ(row.lines, Lines(row.text)) << row.what;
}

bool Write(const std::string& path, const std::string& bytes) {
    const HANDLE file =
        ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    const bool ok =
        file != INVALID_HANDLE_VALUE &&
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
    if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
    return ok;
}

class JobRecordFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        directory_ = driver::MakeTempDirectory() + "\\";
        segment_ = directory_ + "1.Tavrosi";
        ASSERT_TRUE(Write(segment_, std::string(1880, 'G')));
    }
    void TearDown() override {
        ::DeleteFileA(segment_.c_str());
        ::DeleteFileA((directory_ + "job.txt").c_str());
        ::RemoveDirectoryA(directory_.c_str());
    }

    std::string directory_;
    std::string segment_;
};

TEST_F(JobRecordFiles, ASegmentCountsAsWholeOnlyWhileItsFileHoldsTheRecordedBytes) {
    {
        app::RecordFile record;
        ASSERT_TRUE(record.Create(directory_, app::RecordHead("http://a.example/v.m3u8", "D1")));
        ASSERT_TRUE(record.Append('v', 0, segment_));
    }
    app::JobRecord record;
    ASSERT_TRUE(app::ReadJobRecord(directory_, &record));
    ASSERT_EQ(1u, record.segments.size());
    const app::SegmentRecord& whole = record.segments[0];
    const struct {
        const char* what;
        std::function<bool()> change;
        bool stillWhole;
    } rows[] = {
        {"as written", [] { return true; }, true},
        {"one byte other", [&] { return Write(segment_, std::string(1879, 'G') + "H"); }, false},
        {"cut short", [&] { return Write(segment_, std::string(1692, 'G')); }, false},
        {"longer", [&] { return Write(segment_, std::string(2068, 'G')); }, false},
        {"gone", [&] { return ::DeleteFileA(segment_.c_str()) != FALSE; }, false},
    };
    for (const auto& row : rows) {
        ASSERT_TRUE(Write(segment_, std::string(1880, 'G')));
        ASSERT_TRUE(row.change()) << row.what;
        EXPECT_EQ(row.stillWhole, app::StillAsRecorded(segment_, whole.size, whole.checksum))
            << row.what;
    }
}

// A run killed while it wrote a line leaves it torn; the next run's lines
// still stand on lines of their own.
TEST_F(JobRecordFiles, ALineAfterATornOneIsRead) {
    ASSERT_TRUE(Write(directory_ + "job.txt", std::string(kHead) + "v 0 1880 0a1b"));
    {
        app::RecordFile record;
        ASSERT_TRUE(record.Reopen(directory_));
        ASSERT_TRUE(record.Append('v', 1, segment_));
    }
    app::JobRecord record;
    ASSERT_TRUE(app::ReadJobRecord(directory_, &record));
    ASSERT_EQ(1u, record.segments.size());
    EXPECT_EQ(1u, record.segments[0].index);
}

}  // namespace
