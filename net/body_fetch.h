// Small bodies (a stream's keys) fetched into memory side by side, each by the
// internet library's GET with a cap on its length.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace net {

struct FetchedBody {
    bool arrived = false;
    std::string bytes;
    std::string failure;  // why it did not arrive, in words a person can read
};

// Fetches each address into memory, up to kSegmentConnections at once (the
// count SegmentConnections() gives), each body at most `cap` bytes (more
// fails with a reason). `waiting` is called at least every 100 ms on the
// calling thread while it waits. Results in the order of `addresses`. A body
// arrives as a playlist's does (net/http_reader.h), an empty one too; the
// GETs speak the playlist reader's HTTP/1.0.
std::vector<FetchedBody> FetchBodies(const std::vector<std::string>& addresses, uint32_t cap,
                                     const std::function<void()>& waiting);

}  // namespace net
