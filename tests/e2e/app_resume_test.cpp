// A job that did not end well, finished later: by "开始" again in the same
// window, or by the next run of the program after this one was killed. Only
// the segments that are not in the job folder whole are asked for again.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "tests/e2e/end_to_end.h"

namespace e2e {
namespace {

// The requests the server got after the first `before` of them, sorted.
std::vector<std::string> RequestsSince(size_t before) {
    std::vector<std::string> requests = ServerRequests();
    requests.erase(requests.begin(), requests.begin() + static_cast<std::ptrdiff_t>(before));
    std::sort(requests.begin(), requests.end());
    return requests;
}

class Resume : public VelmoraEndToEnd {
  protected:
    // Presses "开始" on the parsed playlist and checks that the job goes on
    // with `kept` segments there and ends with the whole video, asking the
    // server for `fetched` (in index order) and nothing else.
    void ExpectFinishedWith(int kept, const std::vector<std::string>& fetched,
                            const std::string& folder) {
        const size_t logged = app_->Log().size();
        const size_t asked = ServerRequests().size();
        ASSERT_TRUE(app_->Press(windows::kStartButton));
        ASSERT_TRUE(app_->WaitForLog(kSavedAt + Target(), kJobTimeoutMs, logged)) << app_->Log();
        std::vector<std::string> expected{" 继续上次未完成的任务：已有 [" + std::to_string(kept) +
                                          "] 个分段，还需下载 [" + std::to_string(3 - kept) +
                                          "] 个。"};
        for (const std::string& segment : fetched) {
            const std::string index = std::to_string(std::stoi(segment.substr(3, 3)) + 1);
            expected.push_back(" 正在下载。[" + index + "/3]");
            expected.push_back(" 下载 [" + index + "/3] 成功");
        }
        expected.insert(expected.end(), {" 下载完成。", " 正在进行合并。", "", " 视频合并成功。",
                                         kSavedAt + Target()});
        EXPECT_EQ(Readable(expected), Readable(LogMessages(logged)));
        ExpectVideo(Target(), kSampleSeconds);
        std::vector<std::string> paths;
        for (const std::string& segment : fetched) paths.push_back(folder + segment);
        EXPECT_EQ(paths, RequestsSince(asked));
        // The job folder went with the merge.
        EXPECT_EQ(std::vector<std::string>{"output.mp4"}, DirectoryNames(run_->Data()));
    }
};

TEST_F(Resume, StartAgainAfterFailedSegmentsFetchesOnlyThoseAndSavesTheWholeVideo) {
    Start();
    const std::string mode = "/outage-seg000.ts+seg002.ts/relative/";
    RunJob(Server() + mode.substr(1) + "index.m3u8", " 有 [2] 个分段下载失败");
    ServerBody(Server() + "mend");
    ExpectFinishedWith(1, {"seg000.ts", "seg002.ts"}, mode);
}

// As Task Manager ends a program: at once, in the middle of the job.
TEST_F(Resume, AJobKilledMidWayIsFinishedByTheNextRunFetchingOnlyTheRest) {
    Start();
    const std::string mode = "/delay5000-seg002.ts/relative/";
    const std::string address = Server() + mode.substr(1) + "index.m3u8";
    Parse(address, kClickStart);
    ASSERT_TRUE(app_->Press(windows::kStartButton));
    ASSERT_TRUE(app_->WaitForLog(" 下载 [2/3] 成功", kJobTimeoutMs)) << app_->Log();
    app_->process().WaitForExit(0);
    ASSERT_EQ(1u, app_->process().WaitForExit(30000));

    app_ = std::make_unique<Velmora>(*run_);
    ASSERT_NE(nullptr, app_->main());
    Parse(address, kClickStart);
    ExpectFinishedWith(2, {"seg002.ts"}, mode);
}

}  // namespace
}  // namespace e2e
