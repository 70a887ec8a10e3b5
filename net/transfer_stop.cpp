#include "net/transfer_stop.h"

#include <atomic>

namespace net {

namespace {

std::atomic<bool> g_stopped{false};

}  // namespace

void StopTransfers() { g_stopped = true; }

bool TransfersStopped() { return g_stopped; }

}  // namespace net
