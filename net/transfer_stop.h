// Stopping every transfer of the process at once, when the program is about
// to end in the middle of a job: each wait for a GET, each try of a segment
// and each download not yet begun gives up within a watch interval, as
// failed, so the workers that run them end and can be waited for.
#pragma once

namespace net {

// Why a transfer that a stop ended failed.
constexpr char kStoppedFailure[] = "下载已停止。";

// From any thread; for the rest of the process.
void StopTransfers();
bool TransfersStopped();

}  // namespace net
