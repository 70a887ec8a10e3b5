// One segment fetched into its file: over HTTP or HTTPS by the internet
// library's GET, tried again when a try fails; a local file (the names of a
// dropped playlist) is copied. A segment may be a slice of its resource.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "net/byte_range.h"
#include "net/server_pace.h"
#include "net/slice_sources.h"

namespace net {

// Checks a segment's bytes once it arrived: empty when they are what the
// playlist promises, else why not.
using ContentCheck = std::function<std::string(const std::string& file)>;

struct SegmentDownload {
    std::string address;
    std::string file;
    bool wanted = true;              // false: the segment fails without a download
    ContentCheck check;              // may be empty
    std::optional<ByteRange> range;  // the slice of the resource the segment is, if only a slice
};

// Downloads the segment into its file, trying up to kSegmentTries times.
// true when it arrived whole (and passed its check if given); else
// `*failure` says why the last try failed. A try fails when its GET does
// (net/http_get.h), when its body is empty, or when the check finds fault
// with the file; a redirect loop is not tried again, nor anything once
// transfers are stopped (net/transfer_stop.h). Each try to a server waits
// for its turn in `pace`; a busy answer is tried again in the server's own
// time, up to kBusyTries such answers, without counting as a try. What a
// failed try left is removed. A slice is fetched through `slices`, or read
// from a local file. The check runs on the calling thread.
bool DownloadSegment(const SegmentDownload& download, SliceSources& slices, ServerPace& pace,
                     std::string* failure);

}  // namespace net
