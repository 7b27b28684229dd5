#include "UDPSocket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <new>

#include "platform/core/Log.h"

CUdpPacket::CUdpPacket(std::uint32_t address, std::uint16_t port, const std::uint8_t* data,
                       std::uint32_t length)
    : m_dwAddress(address),
      m_wPort(port),
      m_pData(new (std::nothrow) std::uint8_t[length == 0 ? 1 : length]),
      m_dwLength(m_pData != nullptr ? length : 0) {
    if (m_pData != nullptr && length != 0) {
        std::memcpy(m_pData.get(), data, length);
    }
}

CUdpSocket::~CUdpSocket() {
    Close();
}

std::uint32_t CUdpSocket::NowTick() const {
    if (m_tickSource) {
        return m_tickSource();
    }
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

std::uint16_t CUdpSocket::Create(std::uint16_t firstPort) {
    Close();
    m_socket = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (m_socket < 0) {
        YLOG_ERROR("socket创建失败%d", errno);
        return 0;
    }
    std::uint16_t port = firstPort;
    for (int attempt = 0; attempt < kBindAttempts; ++attempt, ++port) {
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = htonl(INADDR_ANY);
        local.sin_port = htons(port);
        if (::bind(m_socket, reinterpret_cast<const sockaddr*>(&local), sizeof(local)) != 0) {
            continue;
        }
        // The system caps both sizes (net.core.rmem_max / wmem_max); smaller buffers only
        // mean that a burst may drop datagrams, so the probe carries on.
        const int wanted = kSocketBufferBytes;
        for (const int option : {SO_RCVBUF, SO_SNDBUF}) {
            ::setsockopt(m_socket, SOL_SOCKET, option, &wanted, sizeof(wanted));
            int granted = 0;
            socklen_t size = sizeof(granted);
            ::getsockopt(m_socket, SOL_SOCKET, option, &granted, &size);
            // Linux reports twice the usable size.
            if (granted / 2 < wanted) {
                YLOG_INFO("%s buffer %d bytes instead of %d (capped by the system's %s)",
                          option == SO_RCVBUF ? "receive" : "send", granted / 2, wanted,
                          option == SO_RCVBUF ? "rmem_max" : "wmem_max");
            }
        }
        const std::uint16_t bound = GetPort();
        if (bound != 0) {
            return bound;
        }
    }
    YLOG_WARN("no free UDP port from %u in %d tries", firstPort, kBindAttempts);
    return 0;
}

std::uint16_t CUdpSocket::GetPort() const {
    if (m_socket < 0) {
        return 0;
    }
    sockaddr_in local{};
    socklen_t size = sizeof(local);
    if (::getsockname(m_socket, reinterpret_cast<sockaddr*>(&local), &size) != 0) {
        return 0;
    }
    return ntohs(local.sin_port);
}

bool CUdpSocket::SetPeer(const char* address, std::uint16_t port) {
    in_addr parsed{};
    if (address == nullptr || ::inet_pton(AF_INET, address, &parsed) != 1) {
        m_bHasPeer = false;
        m_dwPeerAddress = 0;
        m_wPeerPort = 0;
        if (!m_bPeerFailureLogged) {
            m_bPeerFailureLogged = true;
            YLOG_WARN("probe peer '%s' is not a dotted IPv4 address: nothing is sent",
                      address != nullptr ? address : "");
        }
        return false;
    }
    m_dwPeerAddress = parsed.s_addr;
    m_wPeerPort = htons(port);
    m_bHasPeer = true;
    return true;
}

bool CUdpSocket::SendTo(const void* data, std::int32_t length) {
    if (m_socket < 0 || !m_bHasPeer || data == nullptr || length < 0) {
        return false;
    }
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_addr.s_addr = m_dwPeerAddress;
    peer.sin_port = m_wPeerPort;
    const ssize_t sent = ::sendto(m_socket, data, static_cast<size_t>(length), MSG_NOSIGNAL,
                                  reinterpret_cast<const sockaddr*>(&peer), sizeof(peer));
    return sent == length;
}

void CUdpSocket::Receive(std::uint32_t waitMs) {
    if (m_socket < 0) {
        return;
    }
    timespec timeout{};
    if (waitMs == 0) {
        timeout.tv_nsec = 100 * 1000;
    } else {
        timeout.tv_sec = static_cast<time_t>(waitMs / 1000);
        timeout.tv_nsec = static_cast<long>(waitMs % 1000) * 1000 * 1000;
    }
    for (int queued = 0; queued < kMaxPacketsPerReceive; ++queued) {
        pollfd entry{m_socket, POLLIN, 0};
        const int ready = ::ppoll(&entry, 1, &timeout, nullptr);
        if (ready <= 0 || (entry.revents & POLLIN) == 0) {
            return;
        }
        sockaddr_in sender{};
        socklen_t size = sizeof(sender);
        const ssize_t received = ::recvfrom(m_socket, m_buffer, sizeof(m_buffer), MSG_DONTWAIT,
                                            reinterpret_cast<sockaddr*>(&sender), &size);
        if (received < 0) {
            return;
        }
        auto* packet =
            new (std::nothrow) CUdpPacket(ntohl(sender.sin_addr.s_addr), ntohs(sender.sin_port),
                                          m_buffer, static_cast<std::uint32_t>(received));
        if (packet == nullptr) {
            return;
        }
        if (packet->m_pData == nullptr) {
            delete packet;
            return;
        }
        packet->m_dwArrivalTick = NowTick();
        if (m_pTail == nullptr) {
            m_pHead = packet;
        } else {
            m_pTail->m_pNext = packet;
        }
        m_pTail = packet;
    }
}

CUdpPacket* CUdpSocket::PopPacket() {
    CUdpPacket* packet = m_pHead;
    if (packet != nullptr) {
        m_pHead = packet->m_pNext;
        if (m_pHead == nullptr) {
            m_pTail = nullptr;
        }
        packet->m_pNext = nullptr;
    }
    return packet;
}

void CUdpSocket::Close() {
    if (m_socket >= 0) {
        ::close(m_socket);
        m_socket = -1;
    }
    while (CUdpPacket* packet = PopPacket()) {
        FreePacket(packet);
    }
}
