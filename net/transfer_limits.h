// The limits that keep every network wait finite, in one place: the playlist
// reader and the segment download both take theirs from here.
#pragma once

#include <cstdint>

namespace net {

// A connection that is not made, or a server that sends nothing, for this
// long is given up. Thirty seconds outlast a busy server's slow first answer
// and still end a wait that a person would take for a frozen window.
constexpr uint32_t kWaitLimitMs = 30000;

// A body that moves less than kLowSpeedBytesPerSecond on average over a
// window of kLowSpeedWindowMs is abandoned: a trickle that would take hours
// for one segment is as good as a dead connection. An average, not a minimum
// count: a server that drips 1,100 bytes every 20 s passes "1 KB in 30 s" for
// ever. The window is judged at the first piece after it ends, 30 to 50 s in
// when pieces come every 20 s; by then at most three drips, 3,300 of the
// 30,720 bytes a window asks for, have come, so the drip ends within a minute.
// A 20 KB/s link moves 600 KB a window, twenty times what it must.
constexpr uint32_t kLowSpeedBytesPerSecond = 1024;
constexpr uint32_t kLowSpeedWindowMs = 30000;

// The most a playlist body may hold in memory. A 32-bit process that reads a
// 600 MB file by mistake would die of the allocation; no playlist comes near.
constexpr uint32_t kLargestPlaylistBody = 64 << 20;

// Browsers give up after about twenty; ten redirects already mean a loop.
constexpr int kMaxRedirects = 10;

// A segment is tried this often before it counts as failed: a dropped
// connection or a server's passing error seldom happens three times in a row.
constexpr int kSegmentTries = 3;
// The pause before another try, so that a server that just refused gets a
// moment to recover.
constexpr uint32_t kRetryPauseMs = 500;

// A server that asks to slow down (503 or 429) is asked again after its
// pause (net/server_pace.h) without that answer counting as one of a
// segment's tries, this often at most for one segment: at the longest pause
// a segment waits five minutes before its tries count again.
constexpr int kBusyTries = 10;

// Segments downloaded at once: the connections per host a browser opens.
// More would ask a server for more than it expects from one visitor.
constexpr int kSegmentConnections = 6;

// kSegmentConnections, or the count VELMORA_TEST_SEGMENT_CONNECTIONS sets, so
// that tests and benchmarks can compare the pool with one connection.
int SegmentConnections();

// A time limit as shipped or, when VELMORA_TEST_WAIT_LIMIT_MS is set, shrunk
// by the factor that turns kWaitLimitMs into that setting, so that tests of
// the limits need not wait the full thirty seconds and every limit keeps its
// proportion to the others (the merge tool's start stays well inside its own).
uint32_t TimeLimitMs(uint32_t shipped);

}  // namespace net
