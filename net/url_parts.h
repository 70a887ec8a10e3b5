// An address cracked into the pieces a request is made of.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <string>

namespace net {

struct UrlParts {
    INTERNET_SCHEME scheme = INTERNET_SCHEME_UNKNOWN;
    INTERNET_PORT port = 0;
    std::string host;
    std::string userName;
    std::string password;
    std::string object;  // path and query
};

// The fragment is the client's alone and is never sent: it goes before the
// address is cracked. False when WinINet cannot crack the rest.
bool SplitUrl(const std::string& whole, UrlParts& parts);

}  // namespace net
