#pragma once
// A TCP port on loopback whose connects are never answered, as a relay behind a firewall that
// drops them: the listener's one backlog place is taken by a connection nobody accepts, so the
// kernel drops every later SYN and a blocking connect would wait for about two minutes.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>

namespace yav::test {

class UnansweredTcpPort {
public:
    UnansweredTcpPort() {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address));
        ::listen(listener_, 0);
        socklen_t length = sizeof(address);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        filler_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        ::connect(filler_, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    }
    ~UnansweredTcpPort() {
        ::close(filler_);
        ::close(listener_);
    }
    UnansweredTcpPort(const UnansweredTcpPort&) = delete;
    UnansweredTcpPort& operator=(const UnansweredTcpPort&) = delete;
    uint16_t Port() const { return port_; }

private:
    int listener_ = -1;
    int filler_ = -1;
    uint16_t port_ = 0;
};

}  // namespace yav::test
