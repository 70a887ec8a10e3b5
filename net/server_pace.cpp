#include "net/server_pace.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <utility>

#include "net/transfer_limits.h"
#include "net/transfer_stop.h"
#include "net/url_parts.h"

namespace net {

namespace {

constexpr auto kStopCheck = std::chrono::milliseconds(100);

// The server an address names, as host:port in lower case; empty for one
// that names none (a local file).
std::string ServerOf(const std::string& address) {
    UrlParts parts;
    if (!SplitUrl(address, parts) || parts.host.empty()) return {};
    std::string key = parts.host + ":" + std::to_string(parts.port);
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

}  // namespace

ServerPace::ServerPace(int connections) : connections_(std::max(connections, 1)) {}

std::optional<ServerPace::Turn> ServerPace::Take(const std::string& address) {
    const std::string key = ServerOf(address);
    if (key.empty()) return Turn();
    std::unique_lock<std::mutex> lock(lock_);
    Server& server = servers_.emplace(key, Server{connections_}).first->second;
    for (;;) {
        if (TransfersStopped()) return {};
        const ULONGLONG now = ::GetTickCount64();
        if (server.open < server.allowed && now >= server.pausedUntil) break;
        const ULONGLONG wait = now < server.pausedUntil ? server.pausedUntil - now : 0;
        turnFree_.wait_for(
            lock, wait > 0 ? std::min(std::chrono::milliseconds(wait), kStopCheck) : kStopCheck);
    }
    ++server.open;
    return Turn(this, &server);
}

void ServerPace::SlowDown(Server& server, uint32_t pauseMs) {
    // The others under way are what the server still answers.
    if (server.open > 1) server.allowed = std::min(server.allowed, server.open - 1);
    server.pausedUntil = std::max(server.pausedUntil, ::GetTickCount64() + pauseMs);
}

ServerPace::Turn::Turn(Turn&& other) noexcept
    : pace_(std::exchange(other.pace_, nullptr)), server_(std::exchange(other.server_, nullptr)) {}

ServerPace::Turn::~Turn() {
    if (!server_) return;
    {
        const std::lock_guard<std::mutex> lock(pace_->lock_);
        --server_->open;
    }
    pace_->turnFree_.notify_all();
}

void ServerPace::Turn::Arrived() {
    if (!server_) return;
    const std::lock_guard<std::mutex> lock(pace_->lock_);
    server_->busySince = 0;
    server_->busyInARow = 0;
}

bool ServerPace::Turn::Busy(std::optional<uint32_t> retryAfterMs) {
    if (!server_) return false;
    const std::lock_guard<std::mutex> lock(pace_->lock_);
    Server& server = *server_;
    const ULONGLONG now = ::GetTickCount64();
    if (server.busySince == 0) server.busySince = now;
    if (now - server.busySince >= TimeLimitMs(kBusyGiveUpMs)) return false;
    const uint32_t longest = TimeLimitMs(kWaitLimitMs);
    uint64_t pause = retryAfterMs
                         ? *retryAfterMs
                         : uint64_t{TimeLimitMs(kFirstPauseMs)} << std::min(server.busyInARow, 16);
    ++server.busyInARow;
    pace_->askedToSlowDown_ = true;
    pace_->SlowDown(server, static_cast<uint32_t>(std::min<uint64_t>(pause, longest)));
    return true;
}

void ServerPace::Turn::Refused() {
    if (!server_) return;
    const std::lock_guard<std::mutex> lock(pace_->lock_);
    // Alone, a refusal says nothing of the load.
    if (server_->open > 1) pace_->SlowDown(*server_, TimeLimitMs(kFirstPauseMs));
}

}  // namespace net
