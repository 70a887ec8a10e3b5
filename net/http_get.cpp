#include "net/http_get.h"

#include <cstdlib>
#include <mutex>
#include <string>
#include <utility>

#include "net/body_decoder.h"
#include "net/request_headers.h"
#include "net/retry_after.h"
#include "net/transfer_limits.h"
#include "net/transfer_stop.h"
#include "net/url_parts.h"
#include "net/wine_receive_limit.h"
#include "runtime/system_error_text.h"

namespace net {

namespace {

constexpr char kVerb[] = "GET";
constexpr char kHttp10[] = "HTTP/1.0";
constexpr char kHttp11[] = "HTTP/1.1";
constexpr char kAcceptType[] = "Accept: */* \r\n";
constexpr char kExtraHeaders[] = "Accept: */*\r\n";
constexpr char kHeadEnd[] = "\r\n";
// Redirects are followed here, not by WinINet, which follows a loop for ever.
constexpr DWORD kRequestFlags =
    INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_AUTO_REDIRECT;
constexpr uint32_t kDefaultChunk = 10240;
constexpr uint32_t kLargestChunk = 102400;
constexpr DWORD kWatchIntervalMs = 100;
constexpr DWORD kServiceUnavailable = 503;
constexpr DWORD kTooManyRequests = 429;

// A redirect's target: the Location header resolved against the address it
// came from.
std::string Resolve(const std::string& base, const std::string& location) {
    DWORD size = static_cast<DWORD>(base.size() + location.size() + 1);
    std::string resolved(size, '\0');
    if (!::InternetCombineUrlA(base.c_str(), location.c_str(), resolved.data(), &size,
                               ICU_NO_ENCODE)) {
        return location;
    }
    resolved.resize(size);
    return resolved;
}

std::string QueryText(HINTERNET request, DWORD info) {
    char text[2048] = {};
    DWORD size = sizeof text - 1;
    if (!::HttpQueryInfoA(request, info, text, &size, nullptr)) return {};
    return std::string(text, size);
}

DWORD StatusOf(HINTERNET request) {
    DWORD status = 0;
    DWORD size = sizeof status;
    ::HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                     nullptr);
    return status;
}

constexpr DWORD kOk = 200;
constexpr DWORD kPartialContent = 206;

bool IsSuccess(DWORD status) { return status >= 200 && status <= 299; }

bool IsRedirect(DWORD status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// The announced body length; -1 when there is none.
long long AnnouncedLength(HINTERNET request) {
    const std::string text = QueryText(request, HTTP_QUERY_CONTENT_LENGTH);
    if (text.empty()) return -1;
    return std::strtoll(text.c_str(), nullptr, 10);
}

// Wine's WinINet passes on a failed socket's own error, for which the
// system has no words; WinINet has them for the same failure.
DWORD AsWinInetError(DWORD error) {
    switch (error) {
        case WSAETIMEDOUT:
            return ERROR_INTERNET_TIMEOUT;
        case WSAECONNRESET:
            return ERROR_INTERNET_CONNECTION_RESET;
        case WSAECONNABORTED:
            return ERROR_INTERNET_CONNECTION_ABORTED;
        default:
            return error;
    }
}

// Why a WinINet call failed, in the system's words where it has some.
std::string WinInetFailure(DWORD error) {
    error = AsWinInetError(error);
    std::string text = runtime::SystemErrorText(error, ::GetModuleHandleA("wininet.dll"));
    return text.empty() ? "错误代码 " + std::to_string(error) : text;
}

// Whether a failed request got no answer because the server would not take
// its connection: refused, reset or closed before the answer.
bool IsRefusal(DWORD error) {
    error = AsWinInetError(error);
    return error == ERROR_INTERNET_CANNOT_CONNECT || error == ERROR_INTERNET_CONNECTION_RESET ||
           error == ERROR_INTERNET_CONNECTION_ABORTED || error == WSAECONNREFUSED;
}

SYSTEMTIME UtcNow() {
    SYSTEMTIME now;
    ::GetSystemTime(&now);
    return now;
}

std::string LengthText(uint64_t bytes) { return std::to_string(bytes) + " 字节"; }

// The sink of a GET as its transfer sees it: nothing more after the GET was
// left behind or past its cap, and every piece counted for the stall watch.
class WatchedSink : public BodySink {
  public:
    enum class Refusal { kNone, kAbandoned, kOverCap, kStalled, kUnkept };

    WatchedSink(BodySink& sink, StallWatch& watch, const std::atomic<bool>& abandoned, uint64_t cap)
        : sink_(sink), watch_(watch), abandoned_(abandoned), cap_(cap) {}
    bool Keep(const char* data, uint32_t size) override {
        refusal_ = Refuse(data, size);
        return refusal_ == Refusal::kNone;
    }
    Refusal refusal() const { return refusal_; }

  private:
    Refusal Refuse(const char* data, uint32_t size) {
        if (abandoned_) return Refusal::kAbandoned;
        if (size > cap_ - moved_) return Refusal::kOverCap;
        moved_ += size;
        watch_.Moved(static_cast<uint32_t>(moved_));
        if (watch_.Stalled()) return Refusal::kStalled;
        return sink_.Keep(data, size) ? Refusal::kNone : Refusal::kUnkept;
    }

    BodySink& sink_;
    StallWatch& watch_;
    const std::atomic<bool>& abandoned_;
    const uint64_t cap_;
    uint64_t moved_ = 0;
    Refusal refusal_ = Refusal::kNone;
};

}  // namespace

HttpGet::HttpGet(std::string address, HttpVersion version, std::unique_ptr<BodySink> sink,
                 uint64_t cap)
    : address_(std::move(address)),
      version_(version),
      sink_(std::move(sink)),
      cap_(cap),
      headers_(RequestHeadersInUse()),
      watch_(TimeLimitMs(kLowSpeedWindowMs), kLowSpeedBytesPerSecond),
      decided_(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

void DropGetReference(HttpGet* get) { get->DropReference(); }

DWORD __stdcall HttpGet::RunOnWorker(void* get) {
    const HttpGetReference reference(static_cast<HttpGet*>(get));
    reference->Run();
    ::SetEvent(reference->decided_.get());
    // Closed when nobody waits any more: Wine reads the rest of a body when
    // its request closes, which for a large, fast one takes long. The request
    // goes before its connection, whose close alone changes the root's list.
    {
        const std::lock_guard<std::mutex> lock(reference->callLock_);
        if (reference->cancelled_) reference->request_.Detach();
    }
    reference->request_.Reset();
    reference->connection_.Reset();
    return 0;
}

void HttpGet::Abandon() {
    const std::lock_guard<std::mutex> lock(callLock_);
    abandoned_ = true;
    if (inCall_ && request_ && !cancelled_) {
        ::InternetCloseHandle(request_.get());
        cancelled_ = true;
    }
}

bool HttpGet::EnterCall() {
    const std::lock_guard<std::mutex> lock(callLock_);
    if (abandoned_) return false;
    inCall_ = true;
    return true;
}

bool HttpGet::LeaveCall() {
    const std::lock_guard<std::mutex> lock(callLock_);
    inCall_ = false;
    return !cancelled_;
}

BOOL HttpGet::ReadFromRequest(void* self, void* into, DWORD size, DWORD* received) {
    HttpGet& get = *static_cast<HttpGet*>(self);
    *received = 0;
    if (!get.EnterCall()) {
        ::SetLastError(ERROR_INTERNET_OPERATION_CANCELLED);
        return FALSE;
    }
    // A piece of the body as soon as some of it is there: asking for a whole
    // chunk would wait until the chunk is full, and a trickle would hold the
    // transfer for hours before its stall could be seen.
    const HINTERNET request = get.request_.get();
    DWORD available = 0;
    BOOL read = ::InternetQueryDataAvailable(request, &available, 0, 0);
    if (read)
        read = ::InternetReadFile(request, into, available < size ? available : size, received);
    const DWORD error = ::GetLastError();
    if (!get.LeaveCall()) {
        ::SetLastError(ERROR_INTERNET_OPERATION_CANCELLED);
        return FALSE;
    }
    ::SetLastError(error);
    return read;
}

GetOutcome HttpGet::RunWatched(HttpGet& get, std::string* failure) {
    get.AddReference();  // the worker's
    const runtime::UniqueHandle worker(::CreateThread(nullptr, 0, RunOnWorker, &get, 0, nullptr));
    if (!worker) {
        get.DropReference();
        get.Run();
        *failure = get.failure_;
        return get.outcome_;
    }
    // Once the body flows, the transfer watches itself; before its first byte
    // only this wait ends what WinINet sets no limit to.
    const DWORD limit = TimeLimitMs(kWaitLimitMs);
    const DWORD start = ::GetTickCount();
    const HANDLE decided = get.decided_ ? get.decided_.get() : worker.get();
    while (::WaitForSingleObject(decided, kWatchIntervalMs) == WAIT_TIMEOUT) {
        if (TransfersStopped()) {
            get.Abandon();
            *failure = kStoppedFailure;
            return GetOutcome::kFailed;
        }
        if (get.watch_.total() == 0 && ::GetTickCount() - start >= limit) {
            get.Abandon();
            *failure = WinInetFailure(ERROR_INTERNET_TIMEOUT);
            return GetOutcome::kFailed;
        }
    }
    *failure = get.failure_;
    return get.outcome_;
}

void HttpGet::Run() {
    const RefuseConnectsOnceLeftBehind refusal(abandoned_);
    Follow();
    sink_->Finish();
}

// The GET and its redirects, up to the outcome.
void HttpGet::Follow() {
    std::string address = address_;
    for (int redirects = 0;; ++redirects) {
        std::string location;
        if (abandoned_) return;
        if (!Get(address, location)) {
            outcome_ = failedAs_;
            return;
        }
        if (location.empty()) break;
        if (redirects == kMaxRedirects) {
            failure_ = "重定向超过 " + std::to_string(kMaxRedirects) + " 次。";
            outcome_ = GetOutcome::kRedirectLoop;
            return;
        }
        address = Resolve(address, location);
    }
    if (abandoned_) return;  // the waiting thread reads address_ no more
    address_ = address;
    outcome_ = GetOutcome::kArrived;
}

// One request; a redirect leaves its target in `location`. False on failure.
bool HttpGet::Get(const std::string& address, std::string& location) {
    UrlParts parts;
    if (!SplitUrl(address, parts)) return Fail(::GetLastError());

    // WinINet numbers the ftp, gopher and http schemes as their services.
    DWORD service = static_cast<DWORD>(parts.scheme);
    DWORD flags = kRequestFlags;
    // The person's own cookie is the one the host gets, not WinINet's store.
    if (headers_->HasCredentialsFor(parts.host)) flags |= INTERNET_FLAG_NO_COOKIES;
    if (parts.scheme == INTERNET_SCHEME_HTTPS) {
        service = INTERNET_SERVICE_HTTP;
        flags |= INTERNET_FLAG_SECURE;
    }
    request_.Reset();  // a redirect's, before the connection it belongs to
    connection_ = ConnectOnRoot(parts.host, parts.port, parts.userName, parts.password, service);
    if (!connection_) return Fail(::GetLastError());
    const HINTERNET connection = connection_.get();

    const char* acceptTypes[] = {kAcceptType, nullptr};
    request_ = InternetHandle(::HttpOpenRequestA(connection, kVerb, parts.object.c_str(),
                                                 version_ == HttpVersion::k10 ? kHttp10 : kHttp11,
                                                 nullptr, acceptTypes, flags, 0));
    if (!request_) return Fail(::GetLastError());
    const HINTERNET request = request_.get();
    // Wine takes the time limits from the request handle only.
    DWORD limit = TimeLimitMs(kWaitLimitMs);
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                         INTERNET_OPTION_RECEIVE_TIMEOUT}) {
        ::InternetSetOptionA(request, option, &limit, sizeof limit);
    }
    // The extra headers replace the accept-types entry, whose own "Accept: " and
    // CR LF would otherwise reach the server as "Accept: Accept: */* " followed
    // by a line break that ends the request head early.
    // The person's headers replace the program's of the same name (User-Agent, Accept).
    const std::string given = headers_->LinesFor(parts.host);
    if (!given.empty() &&
        !::HttpAddRequestHeadersA(request, given.c_str(), static_cast<DWORD>(given.size()),
                                  HTTP_ADDREQ_FLAG_ADD | HTTP_ADDREQ_FLAG_REPLACE)) {
        return Fail(::GetLastError());
    }
    std::string headers = kExtraHeaders;
    if (range_) headers += "Range: " + RangeRequestValue(*range_) + kHeadEnd;
    headers += kHeadEnd;
    if (!EnterCall()) return false;
    const BOOL sent = ::HttpSendRequestA(request, headers.c_str(),
                                         static_cast<DWORD>(headers.size()), nullptr, 0);
    const DWORD sendError = ::GetLastError();
    if (!LeaveCall()) return false;  // left behind: nobody waits for the reason
    if (!sent) {
        if (IsRefusal(sendError)) failedAs_ = GetOutcome::kUnanswered;
        return Fail(sendError);
    }

    const DWORD status = StatusOf(request);
    if (IsRedirect(status)) {
        location = QueryText(request, HTTP_QUERY_LOCATION);
        if (!location.empty()) return true;
    }
    // Wine takes a connection closed before any answer for an answer
    // without a status line and without a body.
    if (status == 0) {
        failedAs_ = GetOutcome::kUnanswered;
        failure_ = "服务器没有应答就关闭了连接。";
        return false;
    }
    if (status == kServiceUnavailable || status == kTooManyRequests) {
        failedAs_ = GetOutcome::kBusy;
        retryAfterMs_ = RetryAfterMs(QueryText(request, HTTP_QUERY_RETRY_AFTER),
                                     QueryText(request, HTTP_QUERY_DATE), UtcNow());
    }
    if (!IsSuccess(status)) {
        failure_ =
            "HTTP " + std::to_string(status) + " " + QueryText(request, HTTP_QUERY_STATUS_TEXT);
        return false;
    }
    if (range_ && status == kPartialContent) {
        const std::string contentRange = QueryText(request, HTTP_QUERY_CONTENT_RANGE);
        if (!ContentRangeNames(contentRange, *range_)) {
            failure_ = "服务器返回的范围“" + contentRange + "”不是所要的 " +
                       RangeRequestValue(*range_) + "。";
            return false;
        }
    }
    gotWholeResource_ = range_ && status == kOk;
    return ReadBody(request);
}

bool HttpGet::ReadBody(HINTERNET request) {
    const long long announced = AnnouncedLength(request);
    if (announced >= 0 && static_cast<uint64_t>(announced) > cap_) {
        failure_ = "正文长 " + LengthText(announced) + "，超过 " + LengthText(cap_) + "的上限。";
        return false;
    }
    const std::string encodingName = QueryText(request, HTTP_QUERY_CONTENT_ENCODING);
    const ContentEncoding encoding = EncodingNamed(encodingName);
    if (encoding == ContentEncoding::kUnknown) {
        failure_ = "服务器用本程序解不开的编码“" + encodingName + "”发送正文。";
        return false;
    }
    std::unique_ptr<BodyDecoder> decoder;
    if (encoding != ContentEncoding::kIdentity)
        decoder = std::make_unique<BodyDecoder>(encoding, *sink_, cap_);
    watch_.Start();
    WatchedSink sink(decoder ? *decoder : *sink_, watch_, abandoned_, cap_);
    const PiecesRead read = ReadPieces(&ReadFromRequest, this, ChunkSizeOf(request), sink);
    if (read.end == PiecesRead::kRefused) {
        switch (sink.refusal()) {
            case WatchedSink::Refusal::kOverCap:
                failure_ = "正文超过 " + LengthText(cap_) + "的上限。";
                break;
            case WatchedSink::Refusal::kStalled:
                failure_ = "传输过慢：每秒平均不到 " + LengthText(kLowSpeedBytesPerSecond) + "。";
                break;
            case WatchedSink::Refusal::kUnkept:
                failure_ = decoder ? decoder->Fault() : "无法保存收到的数据。";
                break;
            default:  // left behind: nobody waits for the reason
                break;
        }
        return false;
    }
    // A reset, or a wait that WinINet's limit ended, is never the end of a body.
    if (read.end == PiecesRead::kReadFailed) {
        failure_ = "接收正文时连接出错：" + WinInetFailure(read.error);
        return false;
    }
    // WinINet hands on what came with the answer's head even past the
    // announced length, so a longer body shows when its excess came with it.
    if (announced < 0) return Decoded(decoder.get());
    const uint64_t expected = static_cast<uint64_t>(announced);
    if (read.bytes < expected) {
        failure_ = "正文不完整：应有 " + LengthText(expected) + "，只收到 " +
                   LengthText(read.bytes) + "。";
    } else if (read.bytes > expected) {
        failure_ =
            "正文过长：应有 " + LengthText(expected) + "，却收到 " + LengthText(read.bytes) + "。";
    }
    return read.bytes == expected && Decoded(decoder.get());
}

bool HttpGet::Decoded(const BodyDecoder* decoder) {
    if (!decoder) return true;
    failure_ = decoder->Fault();
    return failure_.empty();
}

bool HttpGet::Fail(DWORD error) {
    failure_ = WinInetFailure(error);
    return false;
}

uint32_t ChunkSizeFor(const char* contentLength, bool queryOk) {
    if (!queryOk || !contentLength) return kDefaultChunk;
    const long long length = std::strtoll(contentLength, nullptr, 10);
    if (length <= 0) return kDefaultChunk;
    return length >= kLargestChunk ? kLargestChunk : static_cast<uint32_t>(length) + 1;
}

PiecesRead ReadPieces(ReadPiece read, void* source, uint32_t chunk, BodySink& sink) {
    std::string piece(chunk, '\0');
    PiecesRead result;
    for (;;) {
        DWORD received = 0;
        if (!read(source, piece.data(), chunk, &received)) {
            result.end = PiecesRead::kReadFailed;
            result.error = ::GetLastError();
            return result;
        }
        if (received == 0) return result;
        if (!sink.Keep(piece.data(), received)) {
            result.end = PiecesRead::kRefused;
            return result;
        }
        result.bytes += received;
    }
}

uint32_t ChunkSizeOf(HINTERNET request) {
    char contentLength[32] = {};
    DWORD size = sizeof contentLength;
    const bool queryOk = ::HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, contentLength, &size,
                                          nullptr) != FALSE;
    return ChunkSizeFor(contentLength, queryOk);
}

}  // namespace net
