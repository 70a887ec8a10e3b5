// One HTTP or HTTPS GET over WinINet, the way every transfer of the program
// goes: redirects followed here (at most kMaxRedirects), and the body handed
// to a sink piece by piece as it arrives. A GET arrives only when its end is
// proven: a 2xx answer, and a body of exactly the announced length or, with
// none announced, one that WinINet ended without a failed read (the last
// chunk, an orderly close). Wine's WinINet ends a chunked body whose
// connection closes before the last chunk just as it ends a whole one, and
// often takes a reset for an orderly close: those ends are not seen here.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "net/byte_range.h"
#include "net/internet_root.h"
#include "net/request_headers.h"
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
    // The transfer has ended, arrived or not; called on its thread before
    // the waiting thread may look at the sink (a file sink closes its file).
    virtual void Finish() {}
};

// Which version of HTTP a GET speaks: the playlist reader's fixed HTTP/1.0,
// or HTTP/1.1, whose connections stay open for the next segment.
enum class HttpVersion { k10, k11 };

enum class GetOutcome {
    kArrived,
    kFailed,
    kRedirectLoop,
    kBusy,        // the server answered 503 or 429: it asks to be asked later
    kUnanswered,  // the connection was refused, reset or closed before any answer
};

// One GET, shared by the thread that waits for it and the thread that
// performs it; whichever lets go last frees it. The performing thread gives
// the transfer up itself when its body moves less than
// kLowSpeedBytesPerSecond on average over a window of kLowSpeedWindowMs, or
// WinINet's time limits end a wait. Where WinINet sets no limit (a TLS
// handshake with a silent server) the waiting thread leaves the GET behind
// when no byte of the body has come within kWaitLimitMs, or at once when
// transfers are stopped (net/transfer_stop.h); a GET left behind
// reads, follows and hands on nothing more. Leaving it, the waiting thread
// closes the request handle if the performing thread is inside a call on
// it, which ends that call on Windows (Wine's ends by the receive limit of
// net/wine_receive_limit.h). The sink is the GET's: the waiting thread looks
// at it only after the outcome is decided, which the performing thread does
// before it closes its handles.
class HttpGet {
  public:
    static constexpr uint64_t kNoCap = UINT64_MAX;

    // A body longer than `cap` bytes fails, announced or not, and is read no further.
    HttpGet(std::string address, HttpVersion version, std::unique_ptr<BodySink> sink,
            uint64_t cap = kNoCap);
    HttpGet(const HttpGet&) = delete;
    HttpGet& operator=(const HttpGet&) = delete;

    // Asks for a slice of the resource only, before the GET runs. A 206
    // answer must name that slice; a 200 answer (a server that ignores
    // Range) brings the whole resource, and gotWholeResource says so.
    void AskForRange(const ByteRange& range) { range_ = range; }
    bool gotWholeResource() const { return gotWholeResource_; }

    // Runs the GET on a thread of its own and waits for it; the GET runs on
    // the calling thread when no thread can be started. `failure` receives
    // why it failed, in words a person can read.
    static GetOutcome RunWatched(HttpGet& get, std::string* failure);

    // After an arrival: the address the body came from, after the redirects,
    // and the sink that holds the body.
    const std::string& finalAddress() const { return address_; }
    BodySink& sink() const { return *sink_; }
    // After kBusy: how long the server's Retry-After asks to wait, if it names a wait.
    std::optional<uint32_t> retryAfterMs() const { return retryAfterMs_; }

    void AddReference() { references_.fetch_add(1); }
    void DropReference() {
        if (references_.fetch_sub(1) == 1) delete this;
    }

  private:
    ~HttpGet() = default;

    static DWORD __stdcall RunOnWorker(void* get);
    // A piece of the body, as ReadPiece reads one, from the GET's request.
    static BOOL ReadFromRequest(void* get, void* into, DWORD size, DWORD* received);
    void Run();
    void Follow();
    bool Get(const std::string& address, std::string& location);
    bool ReadBody(HINTERNET request);
    // Whether a body decoded on its way (if it was) ended whole; failure_ says why not.
    bool Decoded(const class BodyDecoder* decoder);
    bool Fail(DWORD error);
    // From the waiting thread: leaves the GET behind.
    void Abandon();
    // Around a call on the request that may wait long: false, without the
    // call, once the GET was left behind; after it, whether the waiting
    // thread closed the request meanwhile.
    bool EnterCall();
    bool LeaveCall();

    std::string address_;
    const HttpVersion version_;
    const std::unique_ptr<BodySink> sink_;
    const uint64_t cap_;
    const std::shared_ptr<const RequestHeaders> headers_;  // as they were when the GET began
    std::optional<ByteRange> range_;
    bool gotWholeResource_ = false;
    GetOutcome outcome_ = GetOutcome::kFailed;
    GetOutcome failedAs_ = GetOutcome::kFailed;  // what a failed request says of its server
    std::optional<uint32_t> retryAfterMs_;
    std::string failure_;
    StallWatch watch_;
    std::atomic<bool> abandoned_{false};
    // The request in hand and its connection: the performing thread's, and
    // closed by it once the outcome is decided, but for a request that the
    // waiting thread closed while leaving the GET behind.
    RootConnection connection_;
    InternetHandle request_;
    std::mutex callLock_;
    bool inCall_ = false;                  // under callLock_
    bool cancelled_ = false;               // under callLock_: the waiting thread closed request_
    const runtime::UniqueHandle decided_;  // set when outcome_ and failure_ are final
    std::atomic<int> references_{1};
};

void DropGetReference(HttpGet* get);
// One reference to a GET.
using HttpGetReference = runtime::Owned<runtime::NullEmptyTraits<HttpGet*, &DropGetReference>>;

// Read size for a body: its announced length plus one, at most 102,400; 10,240
// when the length could not be queried or is not positive.
uint32_t ChunkSizeFor(const char* contentLength, bool queryOk);
// The read size for a sent request, from its Content-Length header.
uint32_t ChunkSizeOf(HINTERNET request);

// Reads one piece of a body into `into`, as InternetReadFile does: FALSE,
// with the thread's last error set, when the read failed.
using ReadPiece = BOOL (*)(void* source, void* into, DWORD size, DWORD* received);
// How a body's reading ended.
struct PiecesRead {
    enum End { kEmptyPiece, kReadFailed, kRefused };
    uint64_t bytes = 0;  // handed to the sink
    End end = kEmptyPiece;
    DWORD error = 0;  // with kReadFailed: the thread's last error after the read
};
// Hands pieces of `chunk` bytes at most to `sink` until a piece is empty, a
// read fails or the sink refuses one; what arrived stays in the sink.
PiecesRead ReadPieces(ReadPiece read, void* source, uint32_t chunk, BodySink& sink);

}  // namespace net
