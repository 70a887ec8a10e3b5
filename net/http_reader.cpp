#include "net/http_reader.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "runtime/command_args.h"
#include "runtime/memory.h"

namespace net {

namespace {

constexpr char kUserAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr char kVerb[] = "GET";
constexpr char kHttpVersion[] = "HTTP/1.0";
constexpr char kAcceptType[] = "Accept: */* \r\n";
constexpr char kExtraHeaders[] = "Accept: */*\r\n\r\n";
constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;
constexpr uint32_t kDefaultChunk = 10240;
constexpr uint32_t kLargestChunk = 102400;
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

bool SplitUrl(const std::string& address, UrlParts& parts) {
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

// The result byte set, grown geometrically on the runtime heap so that a large
// body costs linear time; freed unless Release hands it over.
class ByteSetBuilder {
public:
    ByteSetBuilder() = default;
    ByteSetBuilder(const ByteSetBuilder&) = delete;
    ByteSetBuilder& operator=(const ByteSetBuilder&) = delete;
    ~ByteSetBuilder() { runtime::FreeMemory(block_); }

    // Room for n more bytes after those gathered so far.
    uint8_t* Reserve(uint32_t n) {
        if (length_ + n > capacity_) {
            capacity_ = std::max(length_ + n, capacity_ * 2);
            block_ = runtime::ReallocMemory(block_, sizeof(runtime::ByteSetHeader) + capacity_);
        }
        return static_cast<uint8_t*>(block_) + sizeof(runtime::ByteSetHeader) + length_;
    }
    void Commit(uint32_t n) { length_ += n; }

    // The finished byte set, or null when nothing was gathered.
    void* Release() {
        if (length_ == 0) return nullptr;
        if (capacity_ > length_) {
            block_ = runtime::ReallocMemory(block_, sizeof(runtime::ByteSetHeader) + length_);
        }
        auto* header = static_cast<runtime::ByteSetHeader*>(block_);
        header->dimensionCount = 1;
        header->length = static_cast<int32_t>(length_);
        return std::exchange(block_, nullptr);
    }

private:
    void* block_ = nullptr;
    uint32_t length_ = 0;
    uint32_t capacity_ = 0;
};

void* Fetch(std::string address) {
    address = address.substr(0, address.find('#'));
    UrlParts parts;
    if (!SplitUrl(address, parts)) return nullptr;

    // WinINet numbers the ftp, gopher and http schemes as their services.
    DWORD service = static_cast<DWORD>(parts.scheme);
    DWORD flags = kRequestFlags;
    if (parts.scheme == INTERNET_SCHEME_HTTPS) {
        service = INTERNET_SERVICE_HTTP;
        flags |= INTERNET_FLAG_SECURE;
    }

    InternetHandle& root = Root();
    if (!root) {
        root = InternetHandle(
            ::InternetOpenA(kUserAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
        if (!root) return nullptr;
    }
    const InternetHandle connection(::InternetConnectA(root.get(), parts.host.c_str(), parts.port,
                                                       parts.userName.c_str(),
                                                       parts.password.c_str(), service, 0, 0));
    if (!connection) return nullptr;

    // These only restate the defaults, so their failures do not matter (Wine
    // refuses the proxy option on the root handle).
    INTERNET_PROXY_INFO noProxy = {0, nullptr, nullptr};
    ::InternetSetOptionA(root.get(), INTERNET_OPTION_PROXY, &noProxy, sizeof noProxy);
    ::InternetSetOptionA(connection.get(), INTERNET_OPTION_PROXY_USERNAME,
                         const_cast<char*>(kProxyUserName), sizeof kProxyUserName);
    ::InternetSetOptionA(connection.get(), INTERNET_OPTION_PROXY_PASSWORD,
                         const_cast<char*>(kProxyPassword), sizeof kProxyPassword);

    const char* acceptTypes[] = {kAcceptType, nullptr};
    const InternetHandle request(::HttpOpenRequestA(connection.get(), kVerb, parts.object.c_str(),
                                                    kHttpVersion, nullptr, acceptTypes, flags, 0));
    if (!request) return nullptr;
    // The extra headers replace the accept-types entry, whose own "Accept: " and
    // CR LF would otherwise reach the server as "Accept: Accept: */* " followed
    // by a line break that ends the request head early.
    if (!::HttpSendRequestA(request.get(), kExtraHeaders, sizeof kExtraHeaders - 1, nullptr, 0)) {
        return nullptr;
    }

    const uint32_t chunk = ChunkSizeOf(request.get());
    ByteSetBuilder body;
    for (;;) {
        DWORD received = 0;
        // A failed read ends the transfer; what came before it is kept.
        if (!::InternetReadFile(request.get(), body.Reserve(chunk), chunk, &received) ||
            received == 0) {
            break;
        }
        body.Commit(received);
    }
    return body.Release();
}

}  // namespace

void FetchUrl(runtime::ArgRecord* result, int32_t argCount, const runtime::ArgRecord* args) {
    const char* address = argCount > 0 ? runtime::TextArgument(args[0]) : "";
    if (*address == '\0') return;
    runtime::SetPointer(result, Fetch(address));
}

void CloseInternetRoot() { Root().Reset(); }

uint32_t ChunkSizeFor(const char* contentLength, bool queryOk) {
    if (!queryOk || !contentLength) return kDefaultChunk;
    const long long length = std::strtoll(contentLength, nullptr, 10);
    if (length <= 0) return kDefaultChunk;
    return length >= kLargestChunk ? kLargestChunk : static_cast<uint32_t>(length) + 1;
}

uint32_t ChunkSizeOf(HINTERNET request) {
    char contentLength[32] = {};
    DWORD size = sizeof contentLength;
    const bool queryOk = ::HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, contentLength, &size,
                                          nullptr) != FALSE;
    return ChunkSizeFor(contentLength, queryOk);
}

}  // namespace net
