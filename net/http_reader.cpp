#include "net/http_reader.h"

#include <atomic>
#include <cstdlib>
#include <string>

#include "net/stall_watch.h"
#include "net/transfer_limits.h"
#include "runtime/command_args.h"
#include "runtime/memory.h"
#include "runtime/owned.h"
#include "runtime/system_error_text.h"

namespace net {

namespace {

constexpr char kUserAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr char kVerb[] = "GET";
constexpr char kHttpVersion[] = "HTTP/1.0";
constexpr char kAcceptType[] = "Accept: */* \r\n";
constexpr char kExtraHeaders[] = "Accept: */*\r\n\r\n";
// Redirects are followed here, not by WinINet, which follows a loop for ever.
constexpr DWORD kRequestFlags =
    INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_AUTO_REDIRECT;
constexpr uint32_t kDefaultChunk = 10240;
constexpr uint32_t kLargestChunk = 102400;
constexpr DWORD kWatchIntervalMs = 100;
// The proxy and its credentials: only other commands of the library set them,
// and this program calls none of those.
constexpr char kProxyUserName[] = "";
constexpr char kProxyPassword[] = "";

// Opened by the first fetch, reused by every later one.
InternetHandle& Root() {
    static InternetHandle root;
    return root;
}

struct UrlParts {
    INTERNET_SCHEME scheme = INTERNET_SCHEME_UNKNOWN;
    INTERNET_PORT port = 0;
    std::string host;
    std::string userName;
    std::string password;
    std::string object;  // path and query
};

// The fragment is the client's alone and is never sent: it goes before the
// address is cracked, for the first address and every redirect's target.
bool SplitUrl(const std::string& whole, UrlParts& parts) {
    const std::string address = whole.substr(0, whole.find('#'));
    // No component is longer than the address itself.
    const DWORD size = static_cast<DWORD>(address.size() + 1);
    std::string host(size, '\0'), userName(size, '\0'), password(size, '\0');
    std::string path(size, '\0'), extra(size, '\0');
    URL_COMPONENTSA components = {};
    components.dwStructSize = sizeof components;
    components.lpszHostName = host.data();
    components.dwHostNameLength = size;
    components.lpszUserName = userName.data();
    components.dwUserNameLength = size;
    components.lpszPassword = password.data();
    components.dwPasswordLength = size;
    components.lpszUrlPath = path.data();
    components.dwUrlPathLength = size;
    components.lpszExtraInfo = extra.data();
    components.dwExtraInfoLength = size;
    if (!::InternetCrackUrlA(address.c_str(), static_cast<DWORD>(address.size()), ICU_NO_ENCODE,
                             &components)) {
        return false;
    }
    parts.scheme = components.nScheme;
    parts.port = components.nPort;
    parts.host.assign(host.c_str(), components.dwHostNameLength);
    parts.userName.assign(userName.c_str(), components.dwUserNameLength);
    parts.password.assign(password.c_str(), components.dwPasswordLength);
    parts.object.assign(path.c_str(), components.dwUrlPathLength);
    parts.object.append(extra.c_str(), components.dwExtraInfoLength);
    return true;
}

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

bool IsRedirect(DWORD status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// The announced body length; -1 when there is none.
long long AnnouncedLength(HINTERNET request) {
    const std::string text = QueryText(request, HTTP_QUERY_CONTENT_LENGTH);
    if (text.empty()) return -1;
    return std::strtoll(text.c_str(), nullptr, 10);
}

// Why a WinINet call failed, in the system's words where it has some.
std::string WinInetFailure(DWORD error) {
    std::string text = runtime::SystemErrorText(error, ::GetModuleHandleA("wininet.dll"));
    return text.empty() ? "错误代码 " + std::to_string(error) : text;
}

// One fetch, shared by the thread that waits for it and the worker thread
// that performs it. Whichever lets go last frees it: a worker stuck where
// WinINet sets no time limit (a TLS handshake with a silent server) is left
// behind, and the wait still ends.
class FetchTask {
  public:
    explicit FetchTask(std::string address) : address_(std::move(address)) {}
    FetchTask(const FetchTask&) = delete;
    FetchTask& operator=(const FetchTask&) = delete;

    // Runs on the worker with the reference it was given.
    static DWORD __stdcall RunOnWorker(void* task);

    void Run() {
        std::string address = address_;
        for (int redirects = 0;; ++redirects) {
            std::string location;
            if (!Get(address, location)) return;
            if (location.empty()) return;
            if (redirects == kMaxRedirects) {
                failure_ = "重定向超过 " + std::to_string(kMaxRedirects) + " 次。";
                return;
            }
            address = Resolve(address, location);
        }
    }

    // Waits for the worker; false when the transfer stalled first.
    bool Wait(HANDLE worker) {
        while (::WaitForSingleObject(worker, kWatchIntervalMs) == WAIT_TIMEOUT) {
            if (watch_.Stalled()) return false;
        }
        return true;
    }

    void AddReference() { references_.fetch_add(1); }
    void DropReference() {
        if (references_.fetch_sub(1) == 1) delete this;
    }

    const std::string& body() const { return body_; }
    const std::string& failure() const { return failure_; }
    bool failed() const { return !failure_.empty(); }

  private:
    // One GET; a redirect leaves its target in `location`. False on failure.
    bool Get(const std::string& address, std::string& location) {
        UrlParts parts;
        if (!SplitUrl(address, parts)) return Fail(::GetLastError());

        // WinINet numbers the ftp, gopher and http schemes as their services.
        DWORD service = static_cast<DWORD>(parts.scheme);
        DWORD flags = kRequestFlags;
        if (parts.scheme == INTERNET_SCHEME_HTTPS) {
            service = INTERNET_SERVICE_HTTP;
            flags |= INTERNET_FLAG_SECURE;
        }
        InternetHandle& root = Root();
        const InternetHandle connection(::InternetConnectA(root.get(), parts.host.c_str(),
                                                           parts.port, parts.userName.c_str(),
                                                           parts.password.c_str(), service, 0, 0));
        if (!connection) return Fail(::GetLastError());

        // These only restate the defaults, so their failures do not matter (Wine
        // refuses the proxy option on the root handle).
        INTERNET_PROXY_INFO noProxy = {0, nullptr, nullptr};
        ::InternetSetOptionA(root.get(), INTERNET_OPTION_PROXY, &noProxy, sizeof noProxy);
        ::InternetSetOptionA(connection.get(), INTERNET_OPTION_PROXY_USERNAME,
                             const_cast<char*>(kProxyUserName), sizeof kProxyUserName);
        ::InternetSetOptionA(connection.get(), INTERNET_OPTION_PROXY_PASSWORD,
                             const_cast<char*>(kProxyPassword), sizeof kProxyPassword);

        const char* acceptTypes[] = {kAcceptType, nullptr};
        const InternetHandle request(::HttpOpenRequestA(connection.get(), kVerb,
                                                        parts.object.c_str(), kHttpVersion, nullptr,
                                                        acceptTypes, flags, 0));
        if (!request) return Fail(::GetLastError());
        // Wine takes the time limits from the request handle only.
        DWORD limit = TimeLimitMs(kWaitLimitMs);
        for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                             INTERNET_OPTION_RECEIVE_TIMEOUT}) {
            ::InternetSetOptionA(request.get(), option, &limit, sizeof limit);
        }
        // The extra headers replace the accept-types entry, whose own "Accept: " and
        // CR LF would otherwise reach the server as "Accept: Accept: */* " followed
        // by a line break that ends the request head early.
        if (!::HttpSendRequestA(request.get(), kExtraHeaders, sizeof kExtraHeaders - 1, nullptr,
                                0)) {
            return Fail(::GetLastError());
        }

        const DWORD status = StatusOf(request.get());
        if (IsRedirect(status)) {
            location = QueryText(request.get(), HTTP_QUERY_LOCATION);
            if (!location.empty()) return true;
        }
        if (status >= 400) {
            failure_ = "HTTP " + std::to_string(status) + " " +
                       QueryText(request.get(), HTTP_QUERY_STATUS_TEXT);
            return false;
        }
        return ReadBody(request.get());
    }

    static BOOL ReadFromRequest(void* request, void* into, DWORD size, DWORD* received) {
        return ::InternetReadFile(static_cast<HINTERNET>(request), into, size, received);
    }
    static void Moved(void* task, size_t gathered) {
        static_cast<FetchTask*>(task)->watch_.Moved(static_cast<uint32_t>(gathered));
    }

    bool ReadBody(HINTERNET request) {
        // A read that fails ends the body as a connection that closes early
        // does, keeping what arrived: only the announced length tells that
        // the body is short.
        ReadPieces(&ReadFromRequest, request, ChunkSizeOf(request), &body_, &Moved, this);
        const long long announced = AnnouncedLength(request);
        if (announced >= 0 && static_cast<long long>(body_.size()) < announced) {
            failure_ = "正文不完整：应有 " + std::to_string(announced) + " 字节，只收到 " +
                       std::to_string(body_.size()) + " 字节。";
            return false;
        }
        return true;
    }

    bool Fail(DWORD error) {
        failure_ = WinInetFailure(error);
        return false;
    }

    const std::string address_;
    std::string body_;
    std::string failure_;
    StallWatch watch_{TimeLimitMs(kLowSpeedWindowMs), kLowSpeedBytes};
    std::atomic<int> references_{1};
};

void DropTaskReference(FetchTask* task) { task->DropReference(); }
using TaskReference = runtime::Owned<runtime::NullEmptyTraits<FetchTask*, &DropTaskReference>>;

DWORD __stdcall FetchTask::RunOnWorker(void* task) {
    const TaskReference reference(static_cast<FetchTask*>(task));
    reference->Run();
    return 0;
}

// The body, or null with the reason in `failure`.
void* Fetch(const std::string& address, std::string& failure) {
    InternetHandle& root = Root();
    if (!root) {
        root = InternetHandle(
            ::InternetOpenA(kUserAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
        if (!root) {
            failure = WinInetFailure(::GetLastError());
            return nullptr;
        }
    }
    const TaskReference task(new FetchTask(address));
    task->AddReference();  // the worker's
    const runtime::UniqueHandle worker(
        ::CreateThread(nullptr, 0, FetchTask::RunOnWorker, task.get(), 0, nullptr));
    if (!worker) {
        task->DropReference();
        task->Run();
    } else if (!task->Wait(worker.get())) {
        failure = WinInetFailure(ERROR_INTERNET_TIMEOUT);
        return nullptr;
    }
    failure = task->failure();
    return task->failed() ? nullptr : runtime::NewByteSet(task->body().data(), task->body().size());
}

}  // namespace

void FetchUrl(runtime::ArgRecord* result, int32_t argCount, const runtime::ArgRecord* args) {
    const std::string address = argCount > 0 ? runtime::TextArgument(args[0]) : "";
    std::string failure;
    if (!address.empty()) runtime::SetPointer(result, Fetch(address, failure));
    if (runtime::IsGiven(argCount, args, 1)) {
        runtime::StoreText(runtime::VariableArgument<char*>(args[1]),
                           runtime::NewText(failure.data(), failure.size()));
    }
}

void CloseInternetRoot() { Root().Reset(); }

uint32_t ChunkSizeFor(const char* contentLength, bool queryOk) {
    if (!queryOk || !contentLength) return kDefaultChunk;
    const long long length = std::strtoll(contentLength, nullptr, 10);
    if (length <= 0) return kDefaultChunk;
    return length >= kLargestChunk ? kLargestChunk : static_cast<uint32_t>(length) + 1;
}

void ReadPieces(ReadPiece read, void* source, uint32_t chunk, std::string* body,
                void (*moved)(void* context, size_t gathered), void* context) {
    for (;;) {
        const size_t gathered = body->size();
        body->resize(gathered + chunk);
        DWORD received = 0;
        const BOOL ok = read(source, &(*body)[gathered], chunk, &received);
        body->resize(gathered + (ok ? received : 0));
        if (!ok || received == 0) return;
        moved(context, body->size());
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
