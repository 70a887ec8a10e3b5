// A TCP socket on 127.0.0.1 for tests that need a peer the test server is
// not: the sockets library is started for as long as the socket lives.
#pragma once

#include <winsock2.h>

namespace test_app {

class LoopbackSocket {
  public:
    LoopbackSocket() {
        WSADATA data;
        ::WSAStartup(MAKEWORD(2, 2), &data);
        socket_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    }
    ~LoopbackSocket() {
        ::closesocket(socket_);
        ::WSACleanup();
    }
    LoopbackSocket(const LoopbackSocket&) = delete;
    LoopbackSocket& operator=(const LoopbackSocket&) = delete;

    // Connects to `port` and then sends nothing: a connection held idle.
    void Connect(unsigned port) {
        sockaddr_in address = Loopback(port);
        ::connect(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    }

    // Binds a port of the system's choosing and never listens, so that
    // connections to it are refused; returns the port.
    unsigned BindRefusingPort() {
        sockaddr_in address = Loopback(0);
        ::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        int size = sizeof address;
        ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &size);
        return ::ntohs(address.sin_port);
    }

  private:
    static sockaddr_in Loopback(unsigned port) {
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
        address.sin_port = ::htons(static_cast<u_short>(port));
        return address;
    }

    SOCKET socket_;
};

}  // namespace test_app
