// The limits that keep every network wait finite, in one place: the playlist
// reader and the segment download both take theirs from here.
#pragma once

#include <cstdint>

namespace net {

// A connection that is not made, or a server that sends nothing, for this
// long is given up. Thirty seconds outlast a busy server's slow first answer
// and still end a wait that a person would take for a frozen window.
constexpr uint32_t kWaitLimitMs = 30000;

// A transfer that moves fewer than kLowSpeedBytes in kLowSpeedWindowMs is
// abandoned, as curl's low-speed limit does: a trickle that would take hours
// for one segment is as good as a dead connection.
constexpr uint32_t kLowSpeedBytes = 1024;
constexpr uint32_t kLowSpeedWindowMs = 30000;

// Browsers give up after about twenty; ten redirects already mean a loop.
constexpr int kMaxRedirects = 10;

// A segment is tried this often before it counts as failed: a dropped
// connection or a server's passing error seldom happens three times in a row.
constexpr int kSegmentTries = 3;
// The pause before another try, so that a server that just refused gets a
// moment to recover.
constexpr uint32_t kRetryPauseMs = 500;

// Segments downloaded at once: the connections per host a browser opens.
// More would ask a server for more than it expects from one visitor.
constexpr int kSegmentConnections = 6;

// kSegmentConnections, or the count VELMORA_TEST_SEGMENT_CONNECTIONS sets, so
// that tests and benchmarks can compare the pool with one connection.
int SegmentConnections();

// A time limit as shipped, or the one that VELMORA_TEST_WAIT_LIMIT_MS sets, so
// that tests of the limits need not wait the full thirty seconds.
uint32_t TimeLimitMs(uint32_t shipped);

}  // namespace net
