// One segment fetched into its file by URLDownloadToFileA, the declared call,
// and watched while it runs: only a whole body counts as downloaded.
#pragma once

#include <string>

namespace app {

// Downloads `address` into `file`, trying up to net::kSegmentTries times.
// True when a try ended with an answer below 400 and the file holds the whole
// announced body; an error status, a short body, a redirect loop and a stalled
// transfer count as a failed try.
bool DownloadSegment(const char* address, const std::string& file);

}  // namespace app
