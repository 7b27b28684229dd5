#include "LoopbackRelay.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

#include "components/KroMedia/RelayWire.h"

using namespace kromedia::relay;

LoopbackRelay::LoopbackRelay() {
    m_fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(m_fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
    socklen_t len = sizeof(addr);
    ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &len);
    m_port = ntohs(addr.sin_port);
    m_thread = std::thread([this] { Run(); });
}

LoopbackRelay::~LoopbackRelay() {
    m_stop = true;
    m_thread.join();
    ::close(m_fd);
}

void LoopbackRelay::SetAudience(bool video, bool audio) {
    m_videoAudience = video;
    m_audioAudience = audio;
    Control audience;
    audience.type = Type::Audience;
    audience.audience = {video, audio};
    const auto bytes = Encode(audience);
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& peer : m_peers) {
        ::sendto(m_fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&peer),
                 sizeof(peer));
    }
}

int LoopbackRelay::Sessions() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<int>(m_peers.size());
}

void LoopbackRelay::Run() {
    uint8_t buffer[2048];
    while (!m_stop) {
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0) {
            continue;
        }
        sockaddr_in from{};
        socklen_t len = sizeof(from);
        const ssize_t n =
            ::recvfrom(m_fd, buffer, sizeof(buffer), 0, reinterpret_cast<sockaddr*>(&from), &len);
        if (n <= 0) {
            continue;
        }
        const auto size = static_cast<size_t>(n);
        const PacketClass kind = Classify(buffer, size);
        if (kind == PacketClass::Control) {
            const auto control = Decode(buffer, size);
            if (!control) {
                continue;
            }
            Control answer;
            if (control->type == Type::Hello) {
                {
                    std::lock_guard<std::mutex> lock(m_mutex);
                    bool known = false;
                    for (const auto& peer : m_peers) {
                        known = known || (peer.sin_port == from.sin_port &&
                                          peer.sin_addr.s_addr == from.sin_addr.s_addr);
                    }
                    if (!known) {
                        m_peers.push_back(from);
                    }
                }
                answer.type = Type::HelloAck;
                answer.result = HelloResult::Ok;
                answer.ackMediaId = control->hello.mediaId;
            } else if (control->type == Type::Keepalive) {
                answer.type = Type::Keepalive;
                ++m_keepalives;
            } else {
                continue;
            }
            const auto bytes = Encode(answer);
            ::sendto(m_fd, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&from), len);
            Control audience;
            audience.type = Type::Audience;
            audience.audience = {m_videoAudience, m_audioAudience};
            const auto said = Encode(audience);
            ::sendto(m_fd, said.data(), said.size(), 0, reinterpret_cast<sockaddr*>(&from), len);
            continue;
        }
        if (kind != PacketClass::Rtp && kind != PacketClass::Rtcp) {
            continue;
        }
        if (kind == PacketClass::Rtp) {
            const auto parsed = ParseSsrc(*SenderSsrc(buffer, size));
            if (parsed) {
                ++(parsed->second == Kind::Video ? m_videoRtp : m_audioRtp);
            }
        }
        if (kind == PacketClass::Rtcp) {
            // Picture-loss requests: payload-specific feedback (206) of format 1.
            for (size_t at = 0; at + 4 <= size;) {
                if (buffer[at + 1] == 206 && (buffer[at] & 0x1F) == 1) {
                    ++m_pli;
                }
                at += (static_cast<size_t>(buffer[at + 2] << 8 | buffer[at + 3]) + 1) * 4;
            }
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const auto& peer : m_peers) {
            if (peer.sin_port == from.sin_port && peer.sin_addr.s_addr == from.sin_addr.s_addr) {
                continue;  // never back to the sender
            }
            ::sendto(m_fd, buffer, size, 0, reinterpret_cast<const sockaddr*>(&peer), sizeof(peer));
            ++m_forwarded;
        }
    }
}
