// One segment fetched into its file: over HTTP or HTTPS by the internet
// library's GET, tried again when a try fails; a local file (the names of a
// dropped playlist) is copied.
#pragma once

#include <functional>
#include <string>

namespace net {

// Checks a segment's bytes once it arrived: empty when they are what the
// playlist promises, else why not.
using ContentCheck = std::function<std::string(const std::string& file)>;

// Downloads `address` into `file`, trying up to kSegmentTries times. true
// when the segment arrived whole (and passed `check` if given); else
// `*failure` says why the last try failed. A try fails when its GET does
// (net/http_get.h), when its body is empty, or when `check` finds fault with
// the file; a redirect loop is not tried again, nor anything once transfers
// are stopped (net/transfer_stop.h). What a failed try left is removed.
// `check` runs on the calling thread.
bool DownloadSegment(const std::string& address, const std::string& file, std::string* failure,
                     const ContentCheck& check = {});

}  // namespace net
