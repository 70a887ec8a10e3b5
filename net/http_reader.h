// The internet library's HTTP reader: one GET, the response body returned as
// a byte set.
#pragma once

#include <cstdint>

#include "runtime/values.h"

namespace net {

// (address text, [failure text variable], [final address text variable]) ->
// byte set: the body of an HTTP or HTTPS GET, after at most ten redirects.
// Empty when the fetch failed: no connection, no answer, a status other than
// 2xx, a body other than announced or over kLargestPlaylistBody, a failed
// read, or a transfer that stalled (net/transfer_limits.h); the failure
// variable then receives why, in words a person can read, and the empty text
// otherwise, also for a body that arrived empty. The final address variable
// receives the address the body came from after the redirects, against which
// the names inside the body are to be resolved.
void FetchUrl(runtime::ArgRecord* result, int32_t argCount, const runtime::ArgRecord* args);

}  // namespace net
