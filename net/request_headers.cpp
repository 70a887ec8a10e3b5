#include "net/request_headers.h"

#include <algorithm>
#include <cctype>
#include <mutex>
#include <utility>

#include "net/url_parts.h"

namespace net {

namespace {

constexpr char kHeadEnd[] = "\r\n";

bool NameStartsWith(const std::string& name, const std::string& prefix) {
    return name.size() >= prefix.size() && SameName(name.substr(0, prefix.size()), prefix);
}

std::mutex g_inUseLock;
std::shared_ptr<const RequestHeaders> g_inUse = std::make_shared<RequestHeaders>();

}  // namespace

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool IsSetByProgram(const std::string& name) {
    for (const char* own : {"Host", "Content-Length", "Connection", "Accept-Encoding", "Range"}) {
        if (SameName(name, own)) return true;
    }
    return NameStartsWith(name, "If-");
}

bool IsForwardable(const RequestHeader& header) {
    // RFC 9110's token characters.
    const auto isToken = [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) ||
               std::string("!#$%&'*+-.^_`|~").find(c) != std::string::npos;
    };
    const auto breaksLine = [](char c) { return c == '\r' || c == '\n' || c == '\0'; };
    return !header.name.empty() && std::all_of(header.name.begin(), header.name.end(), isToken) &&
           std::none_of(header.value.begin(), header.value.end(), breaksLine) &&
           !IsSetByProgram(header.name);
}

bool IsCredential(const std::string& name) {
    return SameName(name, "Cookie") || SameName(name, "Authorization");
}

RequestHeaders::RequestHeaders(std::vector<RequestHeader> headers,
                               const std::string& ownerAddress) {
    for (RequestHeader& header : headers) {
        if (IsForwardable(header)) headers_.push_back(std::move(header));
    }
    UrlParts parts;
    if (SplitUrl(ownerAddress, parts)) ownerHost_ = parts.host;
}

// Host names compare without regard to case; an owner that could not be
// told has no host, and its credentials go nowhere.
bool RequestHeaders::Reaches(const RequestHeader& header, const std::string& host) const {
    return !IsCredential(header.name) || (!ownerHost_.empty() && SameName(host, ownerHost_));
}

bool RequestHeaders::HasCredentialsFor(const std::string& host) const {
    return std::any_of(headers_.begin(), headers_.end(), [&](const RequestHeader& header) {
        return IsCredential(header.name) && Reaches(header, host);
    });
}

std::string RequestHeaders::LinesFor(const std::string& host) const {
    std::string lines;
    for (const RequestHeader& header : headers_) {
        if (Reaches(header, host)) lines += header.name + ": " + header.value + kHeadEnd;
    }
    return lines;
}

void UseRequestHeaders(RequestHeaders headers) {
    auto inUse = std::make_shared<const RequestHeaders>(std::move(headers));
    const std::lock_guard<std::mutex> lock(g_inUseLock);
    g_inUse = std::move(inUse);
}

std::shared_ptr<const RequestHeaders> RequestHeadersInUse() {
    const std::lock_guard<std::mutex> lock(g_inUseLock);
    return g_inUse;
}

}  // namespace net
