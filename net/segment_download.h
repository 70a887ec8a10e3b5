// One segment fetched into its file: over HTTP or HTTPS by the internet
// library's GET, tried again when a try fails; a local file (the names of a
// dropped playlist) is copied.
#pragma once

#include <string>

namespace net {

// Downloads `address` into `file`, trying up to kSegmentTries times. True
// when a try ended with an answer below 400 and the whole announced body in
// the file. An error status, a short body, a stalled transfer and a redirect
// loop count as failed tries; a loop is not tried again. What a failed try
// left is removed.
bool DownloadSegment(const std::string& address, const std::string& file);

}  // namespace net
