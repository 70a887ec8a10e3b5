// Segments fetched side by side leave what one connection at a time leaves:
// the same log in the same order, the same list, the same numbered files.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/e2e/end_to_end.h"
#include "tests/support/child_process.h"

namespace e2e {
namespace {

constexpr int kSegments = 6;
constexpr char kConnections[] = "VELMORA_TEST_SEGMENT_CONNECTIONS";
constexpr char kJob[] = "<job>\\";

std::string WithoutJob(std::string text, const std::string& job) {
    for (size_t at; !job.empty() && (at = text.find(job)) != std::string::npos;) {
        text.replace(at, job.size(), kJob);
    }
    return text;
}

std::string Playlist(const std::string& mode) {
    return Server() + mode + "/made/tiny-" + std::to_string(kSegments) + ".m3u8";
}

// The name the server gives segment `index` (from 0), which its bytes start with.
std::string SegmentName(int index) {
    char name[16];
    std::snprintf(name, sizeof name, "tiny%06d", index);
    return name;
}

ULONGLONG WriteTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) |
           data.ftLastWriteTime.dwLowDateTime;
}

// What a job of the six tiny segments left, its job directory written kJob.
struct FinishedJob {
    std::vector<std::string> messages;  // up to the merge, and the last line
    std::string list;
    std::vector<std::string> segments;  // the bytes of each numbered file
    std::vector<ULONGLONG> written;     // when each was written
};

class SegmentPool : public VelmoraEndToEnd {
  protected:
    void TearDown() override {
        ::SetEnvironmentVariableA(kConnections, nullptr);
        VelmoraEndToEnd::TearDown();
    }

    // The job with `connections` downloads at once; the tool finds no media
    // in the tiny segments, and the question is answered "no".
    FinishedJob Run(int connections, const std::string& mode) {
        app_.reset();  // one copy of the program at a time
        ::SetEnvironmentVariableA(kConnections, std::to_string(connections).c_str());
        Start("pool " + std::to_string(connections));
        FinishedJob job;
        Parse(Playlist(mode), kClickStart);
        EXPECT_TRUE(app_->Press(windows::kStartButton));
        AnswerQuestion(IDNO);
        EXPECT_TRUE(app_->WaitForLog("分段保留在：", kJobTimeoutMs)) << app_->Log();
        EXPECT_TRUE(app_->WaitUntilEnabled(windows::kStartButton, kJobTimeoutMs));

        const std::vector<std::string> messages = LogMessages();
        const std::string directory = JobDirectory(messages);
        const auto merging = std::find(messages.begin(), messages.end(), " 正在进行合并。");
        EXPECT_NE(messages.end(), merging);
        for (auto message = messages.begin(); message != merging && message != messages.end();
             ++message) {
            job.messages.push_back(WithoutJob(*message, directory));
        }
        if (!messages.empty()) job.messages.push_back(WithoutJob(messages.back(), directory));
        job.list = WithoutJob(driver::ReadWholeFile(directory + "list.txt"), directory);
        for (int i = 1; i <= kSegments; ++i) {
            const std::string file = directory + std::to_string(i) + ".Tavrosi";
            job.segments.push_back(driver::ReadWholeFile(file));
            job.written.push_back(WriteTime(file));
        }
        return job;
    }

    // What a one-at-a-time job logs and lists when `arrived` says which came.
    static void ExpectOneAtATime(const FinishedJob& job, const std::string& mode,
                                 const std::vector<bool>& arrived) {
        const int failed = static_cast<int>(std::count(arrived.begin(), arrived.end(), false));
        std::vector<std::string> expected =
            Join(Join({kWarning}, ParseMessages(Playlist(mode), kSegments)),
                 DownloadMessages(kJob, arrived, "HTTP 404 Not Found"));  // the only fault here
        expected.resize(expected.size() - 2);                             // up to the merge
        expected.push_back(failed ? IncompleteMessage(failed, kJob)
                                  : std::string(kSegmentsKept) + kJob);
        EXPECT_EQ(Readable(expected), Readable(job.messages));

        std::string list;
        for (int i = 1; i <= kSegments; ++i) {
            const std::string name = SegmentName(i - 1);
            if (!arrived[i - 1]) {
                EXPECT_EQ("", job.segments[i - 1]) << i;
                continue;
            }
            list += "file '" + std::string(kJob) + std::to_string(i) + ".Tavrosi'\r\n";
            EXPECT_EQ(188u, job.segments[i - 1].size()) << i;
            EXPECT_EQ(name, job.segments[i - 1].substr(4, name.size())) << i;
        }
        EXPECT_EQ(list, job.list);
    }
};

TEST_F(SegmentPool, ASixSegmentJobLeavesWhatOneConnectionLeaves) {
    const FinishedJob single = Run(1, "plain");
    const FinishedJob pooled = Run(6, "plain");
    ExpectOneAtATime(single, "plain", std::vector<bool>(kSegments, true));
    ExpectOneAtATime(pooled, "plain", std::vector<bool>(kSegments, true));
}

TEST_F(SegmentPool, TheThirdOfSixFailingFailsOnlyItsOwnLines) {
    const std::string mode = "missing-tiny000002.ts";
    const std::vector<bool> arrived{true, true, false, true, true, true};
    ExpectOneAtATime(Run(1, mode), mode, arrived);
    ExpectOneAtATime(Run(6, mode), mode, arrived);
}

// The first segment answers five seconds late: the others arrive before it,
// and the log and the list still go in index order.
TEST_F(SegmentPool, SegmentsFinishingOutOfOrderAreWrittenInOrder) {
    const std::string mode = "delay-tiny000000.ts";
    const std::vector<bool> arrived(kSegments, true);
    ExpectOneAtATime(Run(1, mode), mode, arrived);
    const FinishedJob pooled = Run(6, mode);
    ExpectOneAtATime(pooled, mode, arrived);
    EXPECT_GT(pooled.written[0], pooled.written[kSegments - 1]) << "the first came last";
}

}  // namespace
}  // namespace e2e
