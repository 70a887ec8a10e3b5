#include "net/url_parts.h"

namespace net {

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

}  // namespace net
