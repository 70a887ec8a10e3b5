#include "net/internet_root.h"

#include <mutex>

#include "net/transfer_limits.h"
#include "net/wine_receive_limit.h"

namespace net {

namespace {

constexpr char kUserAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
// The proxy and its credentials: only other commands of the library set them,
// and this program calls none of those. Without a proxy of its own the root
// takes the system's settings, as the browser does that an address was
// copied from.
constexpr char kProxyAddress[] = "";
constexpr char kProxyUserName[] = "";
constexpr char kProxyPassword[] = "";

std::mutex g_rootLock;
// Under g_rootLock.
HINTERNET g_root = nullptr;
int g_openConnections = 0;

// Opens the root if it is not open; under g_rootLock.
HINTERNET OpenRoot() {
    if (g_root) return g_root;
    // WinINet lets a process open only two connections to one HTTP/1.1
    // server unless told otherwise: the pool's workers would queue behind them.
    DWORD connections = static_cast<DWORD>(SegmentConnections()) + 1;  // and the reader's
    for (DWORD option :
         {INTERNET_OPTION_MAX_CONNS_PER_SERVER, INTERNET_OPTION_MAX_CONNS_PER_1_0_SERVER}) {
        ::InternetSetOptionA(nullptr, option, &connections, sizeof connections);
    }
    const bool named = kProxyAddress[0] != '\0';
    g_root =
        ::InternetOpenA(kUserAgent, named ? INTERNET_OPEN_TYPE_PROXY : INTERNET_OPEN_TYPE_PRECONFIG,
                        named ? kProxyAddress : nullptr, nullptr, 0);
    if (!g_root) return nullptr;
    // The proxy option restates what the root was opened with, so its failure
    // does not matter (Wine refuses it on a root handle).
    INTERNET_PROXY_INFO proxy = {
        named ? DWORD{INTERNET_OPEN_TYPE_PROXY} : DWORD{INTERNET_OPEN_TYPE_PRECONFIG},
        named ? kProxyAddress : nullptr, nullptr};
    ::InternetSetOptionA(g_root, INTERNET_OPTION_PROXY, &proxy, sizeof proxy);
    // Half as long again as the wait limit: the waiting thread gives a GET
    // up first, so Wine's second try of a handshake finds it left behind.
    LimitWinInetReceivesOnWine(TimeLimitMs(kWaitLimitMs) * 3 / 2);
    return g_root;
}

}  // namespace

RootConnection ConnectOnRoot(const std::string& host, INTERNET_PORT port,
                             const std::string& userName, const std::string& password,
                             DWORD service) {
    const std::lock_guard<std::mutex> lock(g_rootLock);
    const HINTERNET root = OpenRoot();
    if (!root) return RootConnection();
    RootConnection connection(::InternetConnectA(root, host.c_str(), port, userName.c_str(),
                                                 password.c_str(), service, 0, 0));
    if (!connection) return connection;
    ++g_openConnections;
    // These restate the defaults, so their failures do not matter.
    ::InternetSetOptionA(connection.get(), INTERNET_OPTION_PROXY_USERNAME,
                         const_cast<char*>(kProxyUserName), sizeof kProxyUserName);
    ::InternetSetOptionA(connection.get(), INTERNET_OPTION_PROXY_PASSWORD,
                         const_cast<char*>(kProxyPassword), sizeof kProxyPassword);
    return connection;
}

void CloseRootConnection(HINTERNET connection) {
    const std::lock_guard<std::mutex> lock(g_rootLock);
    ::InternetCloseHandle(connection);
    --g_openConnections;
}

void CloseInternetRoot() {
    const std::lock_guard<std::mutex> lock(g_rootLock);
    if (!g_root || g_openConnections > 0) return;
    ::InternetCloseHandle(g_root);
    g_root = nullptr;
}

}  // namespace net
