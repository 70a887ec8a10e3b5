// The internet library's HTTP reader: one GET over WinINet, the response body
// returned as a byte set.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "runtime/owned.h"
#include "runtime/values.h"

namespace net {

inline void CloseInternetHandle(HINTERNET handle) { ::InternetCloseHandle(handle); }
using InternetHandle = runtime::Owned<runtime::NullEmptyTraits<HINTERNET, &CloseInternetHandle>>;

// (address text, [failure text variable]) -> byte set: the body of an HTTP or
// HTTPS GET, after at most ten redirects. Empty when the fetch failed: no
// connection, an error status (400 and above), a body shorter than announced,
// or a transfer that stalled (net/transfer_limits.h); the variable then
// receives why, in words a person can read, and the empty text otherwise.
void FetchUrl(runtime::ArgRecord* result, int32_t argCount, const runtime::ArgRecord* args);

// Closes the process's internet root at program end; a later fetch opens it again.
void CloseInternetRoot();

// Read size for a body: its announced length plus one, at most 102,400; 10,240
// when the length could not be queried or is not positive.
uint32_t ChunkSizeFor(const char* contentLength, bool queryOk);
// The read size for a sent request, from its Content-Length header.
uint32_t ChunkSizeOf(HINTERNET request);

// Reads one piece of a body into `into`, as InternetReadFile does.
using ReadPiece = BOOL (*)(void* source, void* into, DWORD size, DWORD* received);
// Appends pieces of `chunk` bytes at most to `body` until a piece is empty
// or a read fails; what arrived stays in `body` either way. `moved` hears of
// every piece with the length gathered so far.
void ReadPieces(ReadPiece read, void* source, uint32_t chunk, std::string* body,
                void (*moved)(void* context, size_t gathered), void* context);

}  // namespace net
