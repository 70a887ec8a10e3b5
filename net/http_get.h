// One HTTP or HTTPS GET over WinINet, the way every transfer of the program
// goes: redirects followed here (at most kMaxRedirects), an error status or
// a body shorter than announced counted as a failure, and the body handed to
// a sink piece by piece as it arrives.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "net/stall_watch.h"
#include "runtime/owned.h"

namespace net {

inline void CloseInternetHandle(HINTERNET handle) { ::InternetCloseHandle(handle); }
using InternetHandle = runtime::Owned<runtime::NullEmptyTraits<HINTERNET, &CloseInternetHandle>>;

// Where a body goes as it arrives.
class BodySink {
  public:
    virtual ~BodySink() = default;
    // False when the piece cannot be kept: the transfer fails.
    virtual bool Keep(const char* data, uint32_t size) = 0;
};

// Which version of HTTP a GET speaks: the playlist reader's fixed HTTP/1.0,
// or HTTP/1.1, whose connections stay open for the next segment.
enum class HttpVersion { k10, k11 };

enum class GetOutcome { kArrived, kFailed, kRedirectLoop };

// One GET, shared by the thread that waits for it and the thread that
// performs it; whichever lets go last frees it. The performing thread gives
// the transfer up itself when its body stalls (kLowSpeedBytes in
// kLowSpeedWindowMs) or WinINet's time limits end a wait. Where WinINet sets
// no limit (a TLS handshake with a silent server) the waiting thread leaves
// the GET behind when no byte of the body has come within kWaitLimitMs; a GET
// left behind hands nothing more to its sink. The sink is the GET's: the
// waiting thread looks at it only after the transfer has ended.
class HttpGet {
  public:
    HttpGet(std::string address, HttpVersion version, std::unique_ptr<BodySink> sink);
    HttpGet(const HttpGet&) = delete;
    HttpGet& operator=(const HttpGet&) = delete;

    // Runs the GET on a thread of its own and waits for it; the GET runs on
    // the calling thread when no thread can be started. `failure` receives
    // why it failed, in words a person can read.
    static GetOutcome RunWatched(HttpGet& get, std::string* failure);

    // After an arrival: the address the body came from, after the redirects,
    // and the sink that holds the body.
    const std::string& finalAddress() const { return address_; }
    BodySink& sink() const { return *sink_; }

    void AddReference() { references_.fetch_add(1); }
    void DropReference() {
        if (references_.fetch_sub(1) == 1) delete this;
    }

  private:
    ~HttpGet() = default;

    static DWORD __stdcall RunOnWorker(void* get);
    void Run();
    bool Get(const std::string& address, std::string& location);
    bool ReadBody(HINTERNET request);
    bool Fail(DWORD error);

    std::string address_;
    const HttpVersion version_;
    const std::unique_ptr<BodySink> sink_;
    GetOutcome outcome_ = GetOutcome::kFailed;
    std::string failure_;
    StallWatch watch_;
    std::atomic<bool> abandoned_{false};
    std::atomic<int> references_{1};
};

void DropGetReference(HttpGet* get);
// One reference to a GET.
using HttpGetReference = runtime::Owned<runtime::NullEmptyTraits<HttpGet*, &DropGetReference>>;

// Closes the process's internet root at program end; a later GET opens it again.
void CloseInternetRoot();

// Read size for a body: its announced length plus one, at most 102,400; 10,240
// when the length could not be queried or is not positive.
uint32_t ChunkSizeFor(const char* contentLength, bool queryOk);
// The read size for a sent request, from its Content-Length header.
uint32_t ChunkSizeOf(HINTERNET request);

// Reads one piece of a body into `into`, as InternetReadFile does.
using ReadPiece = BOOL (*)(void* source, void* into, DWORD size, DWORD* received);
// Hands pieces of `chunk` bytes at most to `sink` until a piece is empty or a
// read fails; what arrived stays in the sink either way. The number of bytes
// handed over; `refused` tells whether the sink refused the last piece.
uint64_t ReadPieces(ReadPiece read, void* source, uint32_t chunk, BodySink& sink, bool* refused);

}  // namespace net
