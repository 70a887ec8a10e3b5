// One segment fetched into its file by URLDownloadToFileA, the declared call,
// and watched while it runs: only a whole body counts as downloaded.
#pragma once

#include <windows.h>

#include <mutex>
#include <string>

#include "runtime/owned.h"

namespace app {

class SegmentTry;

// Watches the tries of one downloading thread, one at a time, from a thread
// of its own, and aborts a try that stalls. One watcher serves all the tries
// of its thread: under Wine, starting a thread for each try costs more than
// downloading a small segment.
class SegmentWatcher {
  public:
    SegmentWatcher();
    ~SegmentWatcher();
    SegmentWatcher(const SegmentWatcher&) = delete;
    SegmentWatcher& operator=(const SegmentWatcher&) = delete;

    // The try being watched, or null between tries.
    void Watch(SegmentTry* attempt);

  private:
    static DWORD __stdcall Run(void* self);

    std::mutex lock_;
    SegmentTry* watched_ = nullptr;
    const runtime::UniqueHandle stop_;
    runtime::UniqueHandle thread_;
};

// Downloads `address` into `file`, trying up to net::kSegmentTries times.
// True when a try ended with an answer below 400 and the file holds the whole
// announced body; an error status, a short body, a redirect loop and a stalled
// transfer count as a failed try. The watcher belongs to the calling thread.
bool DownloadSegment(const char* address, const std::string& file, SegmentWatcher& watcher);

}  // namespace app
