#include "net/body_fetch.h"

#include <memory>
#include <utility>

#include "net/http_get.h"
#include "net/memory_sink.h"
#include "net/side_by_side.h"
#include "net/transfer_limits.h"

namespace net {

namespace {

FetchedBody FetchBody(const std::string& address, uint32_t cap) {
    FetchedBody fetched;
    const HttpGetReference get(
        new HttpGet(address, HttpVersion::k10, std::make_unique<MemorySink>(cap), cap));
    fetched.arrived = HttpGet::RunWatched(*get.get(), &fetched.failure) == GetOutcome::kArrived;
    if (fetched.arrived) fetched.bytes = std::move(static_cast<MemorySink&>(get->sink()).body());
    return fetched;
}

}  // namespace

std::vector<FetchedBody> FetchBodies(const std::vector<std::string>& addresses, uint32_t cap,
                                     const std::function<void()>& waiting) {
    std::vector<FetchedBody> bodies(addresses.size());
    SideBySide runner(addresses.size(), SegmentConnections(),
                      [&](size_t index) { bodies[index] = FetchBody(addresses[index], cap); });
    for (size_t i = 0; i < addresses.size(); ++i) runner.WaitFor(i, waiting);
    return bodies;
}

}  // namespace net
