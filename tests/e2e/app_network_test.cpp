// Velmora end to end through the network a user has: the proxy that the
// system's Internet Settings name, and a server under load.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/end_to_end.h"

namespace e2e {
namespace {

constexpr char kSettingsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
constexpr char kSlowDown[] =
    " 服务器繁忙，要求放慢下载：之后的请求会等一等再发，同时下载的分段也会减少。";
// A name no resolver knows: only the test server's forwarding proxy reaches it.
constexpr char kProxiedHost[] = "hls.proxied.invalid";

// The prefix's Internet Settings name a proxy for as long as this lives, as
// the proxy tools and company networks set them; then they are as they were.
class SystemProxy {
  public:
    explicit SystemProxy(const std::string& server) {
        ::RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                          &key_, nullptr);
        enabledBefore_ = Read("ProxyEnable", &enabled_, sizeof enabled_);
        serverBefore_ = Read("ProxyServer", server_, sizeof server_);
        const DWORD on = 1;
        ::RegSetValueExA(key_, "ProxyEnable", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&on),
                         sizeof on);
        ::RegSetValueExA(key_, "ProxyServer", 0, REG_SZ,
                         reinterpret_cast<const BYTE*>(server.c_str()),
                         static_cast<DWORD>(server.size() + 1));
    }
    ~SystemProxy() {
        Restore("ProxyEnable", enabledBefore_, REG_DWORD, &enabled_, sizeof enabled_);
        Restore("ProxyServer", serverBefore_, REG_SZ, server_,
                static_cast<DWORD>(std::string(server_).size() + 1));
        ::RegCloseKey(key_);
    }
    SystemProxy(const SystemProxy&) = delete;
    SystemProxy& operator=(const SystemProxy&) = delete;

  private:
    bool Read(const char* name, void* value, DWORD size) {
        return ::RegQueryValueExA(key_, name, nullptr, nullptr, static_cast<BYTE*>(value), &size) ==
               ERROR_SUCCESS;
    }
    void Restore(const char* name, bool was, DWORD type, const void* value, DWORD size) {
        if (was) {
            ::RegSetValueExA(key_, name, 0, type, static_cast<const BYTE*>(value), size);
        } else {
            ::RegDeleteValueA(key_, name);
        }
    }

    HKEY key_ = nullptr;
    bool enabledBefore_ = false;
    bool serverBefore_ = false;
    DWORD enabled_ = 0;
    char server_[256] = {};
};

// The paths of the request lines the proxy took, in order.
std::vector<std::string> ProxiedPaths() {
    std::vector<std::string> paths;
    const std::string text = ServerBody(Server() + "proxied");
    for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
         start = end + 1) {
        const std::string line =
            text.substr(start, end - start);  // GET http://host:port/path HTTP/1.1
        const size_t path = line.find('/', line.find("//") + 2);
        paths.push_back(line.substr(path, line.rfind(' ') - path));
    }
    return paths;
}

std::vector<std::string> Sorted(std::vector<std::string> paths) {
    std::sort(paths.begin(), paths.end());
    return paths;
}

class Network : public VelmoraEndToEnd {};

TEST_F(Network, TheSystemsProxyCarriesEveryRequestToAHostOnlyItReaches) {
    const SystemProxy proxy("127.0.0.1:" + ServerBody(Server() + "proxy-port"));
    Start();
    const std::string port = Server().substr(Server().rfind(':') + 1);  // with its slash
    DownloadAll("http://" + std::string(kProxiedHost) + ":" + port + "plain/relative/index.m3u8",
                {true, true, true});
    ExpectVideo(Target(), kSampleSeconds);
    const std::vector<std::string> served = ServerRequests();
    EXPECT_EQ(4u, served.size());  // the playlist and its three segments
    EXPECT_EQ(Sorted(served), Sorted(ProxiedPaths()));
}

// The server answers one request at a time and 503 to the others: the job
// takes fewer connections, gets every segment, and says once that it slowed down.
TEST_F(Network, AServerThatTakesOneRequestAtATimeGivesTheWholeVideoMoreSlowly) {
    Start();
    const std::string address =
        Server() + "limit1-seg000.ts+seg001.ts+seg002.ts/relative/index.m3u8";
    RunJob(address, kSavedAt);
    std::vector<std::string> messages = LogMessages();
    EXPECT_EQ(1, std::count(messages.begin(), messages.end(), kSlowDown)) << Readable(messages);
    messages.erase(std::remove(messages.begin(), messages.end(), kSlowDown), messages.end());
    EXPECT_EQ(Readable(Join(Join(Join({kWarning}, ParseMessages(address, 3)),
                                 DownloadMessages(JobDirectory(messages), {true, true, true})),
                            {" 视频合并成功。", kSavedAt + Target()})),
              Readable(messages));
    ExpectVideo(Target(), kSampleSeconds);
}

}  // namespace
}  // namespace e2e
