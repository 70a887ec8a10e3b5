// A time limit on every receive of Wine's WinINet, from the moment its
// socket is connected. Wine gives a socket the request's receive timeout
// only once the TLS handshake is done, and waits for the server's half of
// the handshake on a blocking socket with no limit at all: an https GET to a
// server that never answers holds its thread until the program ends, and
// neither closing its handles nor cancelling the thread's I/O ends that wait
// under Wine. So, under Wine only, the socket library's connect as WinINet
// imports it is replaced by one that gives each new socket the receive
// limit; the handshake then fails when its answer does not come in time,
// and the receive timeouts WinINet sets later replace the limit as before.
// Windows' own WinINet ends a blocked call when its request handle is closed
// (net/http_get.cpp does that), and is left as it is.
#pragma once

#include <windows.h>

#include <atomic>

namespace net {

// From the thread that opens the internet root, before its first
// connection: later calls only change the limit.
void LimitWinInetReceivesOnWine(DWORD limitMs);

// While it lives, WinINet's connects on the calling thread are refused once
// `leftBehind` is set: Wine tries a handshake that ran out of time once more,
// on a new connection, which nobody would wait for.
class RefuseConnectsOnceLeftBehind {
  public:
    explicit RefuseConnectsOnceLeftBehind(const std::atomic<bool>& leftBehind);
    ~RefuseConnectsOnceLeftBehind();
    RefuseConnectsOnceLeftBehind(const RefuseConnectsOnceLeftBehind&) = delete;
    RefuseConnectsOnceLeftBehind& operator=(const RefuseConnectsOnceLeftBehind&) = delete;
};

}  // namespace net
