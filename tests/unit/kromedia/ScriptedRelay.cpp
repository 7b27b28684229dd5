#include "ScriptedRelay.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

using namespace kromedia::relay;
namespace relay = kromedia::relay;

namespace {

sockaddr_in Loopback(uint16_t port) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(port);
    return addr;
}

uint16_t PortOf(int fd) {
    sockaddr_in addr{};
    socklen_t length = sizeof(addr);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &length);
    return ntohs(addr.sin_port);
}

bool SameAddress(const sockaddr_in& a, const sockaddr_in& b) {
    return a.sin_port == b.sin_port && a.sin_addr.s_addr == b.sin_addr.s_addr;
}

}  // namespace

ScriptedRelay::ScriptedRelay() {
    // UDP first on a free port, then TCP on the same number (tried again when that is taken).
    for (int attempt = 0; attempt < 20 && m_port == 0; ++attempt) {
        m_udp = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr = Loopback(0);
        ::bind(m_udp, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
        const uint16_t port = PortOf(m_udp);
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int one = 1;
        ::setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
        addr = Loopback(port);
        if (::bind(m_listener, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) == 0 &&
            ::listen(m_listener, 16) == 0) {
            m_port = port;
        } else {
            ::close(m_udp);
            ::close(m_listener);
        }
    }
    if (::pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        m_wake[0] = m_wake[1] = -1;
    }
    m_thread = std::thread([this] { Run(); });
}

ScriptedRelay::~ScriptedRelay() {
    m_stop = true;
    if (m_wake[1] >= 0) {
        const char byte = 0;
        (void)!::write(m_wake[1], &byte, 1);
    }
    m_thread.join();
    for (auto& [fd, connection] : m_connections) {
        ::close(fd);
    }
    ::close(m_udp);
    ::close(m_listener);
    ::close(m_wake[0]);
    ::close(m_wake[1]);
}

void ScriptedRelay::SetSilent(bool silent) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_silent = silent;
}

void ScriptedRelay::SetRefusing(bool refusing) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_refusing = refusing;
}

void ScriptedRelay::SetForwardingAll(bool all) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_forwardingAll = all;
}

void ScriptedRelay::SetReadingTcp(bool reading) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_readingTcp = reading;
}

void ScriptedRelay::Restart() {
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_cookieKey;
    m_sessions.clear();
    while (!m_connections.empty()) {
        CloseConnection(m_connections.begin()->first);
    }
}

bool ScriptedRelay::HasSession(uint16_t mediaId, bool tcp) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_sessions.find(mediaId);
    return it != m_sessions.end() && it->second.tcp == tcp;
}

std::set<std::pair<uint16_t, Kind>> ScriptedRelay::SubscriptionsOf(uint16_t mediaId) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_sessions.find(mediaId);
    return it != m_sessions.end() ? it->second.subscriptions
                                  : std::set<std::pair<uint16_t, Kind>>{};
}

int ScriptedRelay::Hellos(uint16_t mediaId) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_hellos[mediaId];
}

std::vector<size_t> ScriptedRelay::MediaSizesFrom(uint16_t mediaId) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_mediaSizes[mediaId];
}

int ScriptedRelay::BadStreams() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_badStreams;
}

int ScriptedRelay::TcpConnectionsAccepted() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_accepted;
}

void ScriptedRelay::CloseConnection(int fd) {
    ::close(fd);
    m_connections.erase(fd);
    for (auto it = m_sessions.begin(); it != m_sessions.end();) {
        it = it->second.tcp && it->second.fd == fd ? m_sessions.erase(it) : std::next(it);
    }
}

uint16_t ScriptedRelay::SessionOf(const sockaddr_in* from, int fd) {
    for (const auto& [id, session] : m_sessions) {
        if (from != nullptr ? !session.tcp && SameAddress(session.udp, *from)
                            : session.tcp && session.fd == fd) {
            return id;
        }
    }
    return 0;
}

void ScriptedRelay::SendTo(const Session& session, const uint8_t* data, size_t size) {
    if (session.tcp) {
        const auto framed = Frame4571(data, size);
        (void)!::send(session.fd, framed.data(), framed.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    } else {
        ::sendto(m_udp, data, size, 0, reinterpret_cast<const sockaddr*>(&session.udp),
                 sizeof(session.udp));
    }
}

std::array<uint8_t, relay::kCookieBytes> ScriptedRelay::CookieFor(const sockaddr_in& from,
                                                                  uint16_t mediaId) const {
    std::array<uint8_t, relay::kCookieBytes> cookie{};
    uint64_t mix = (uint64_t{m_cookieKey} << 48) ^ (uint64_t{from.sin_addr.s_addr} << 16) ^
                   (uint64_t{from.sin_port} << 32) ^ mediaId;
    for (auto& byte : cookie) {
        mix = mix * 6364136223846793005ULL + 1442695040888963407ULL;
        byte = static_cast<uint8_t>(mix >> 56);
    }
    return cookie;
}

// Everybody may receive every session: senders send.
void ScriptedRelay::TellAudience(const Session& session) {
    Control audience;
    audience.type = Type::Audience;
    audience.audience = {true, true};
    const auto bytes = Encode(audience);
    SendTo(session, bytes.data(), bytes.size());
}

void ScriptedRelay::OnPacket(const uint8_t* data, size_t size, const sockaddr_in* from, int fd) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const PacketClass kind = Classify(data, size);
    if (kind == PacketClass::Control) {
        return Answer(data, size, from, fd);
    }
    if (kind != PacketClass::Rtp && kind != PacketClass::Rtcp) {
        return;
    }
    const uint16_t sender = SessionOf(from, fd);
    if (sender == 0) {
        return;
    }
    m_mediaSizes[sender].push_back(size);
    if (m_silent) {
        return;
    }
    const auto ssrc = SenderSsrc(data, size);
    const auto named = ssrc ? ParseSsrc(*ssrc) : std::nullopt;
    for (const auto& [id, session] : m_sessions) {
        if (id == sender) {
            continue;
        }
        // RTCP goes to everybody else (reports and feedback), RTP to the subscribers.
        if (kind == PacketClass::Rtcp || m_forwardingAll ||
            (named && session.subscriptions.contains({named->first, named->second}))) {
            SendTo(session, data, size);
        }
    }
}

// m_mutex held.
void ScriptedRelay::Answer(const uint8_t* data, size_t size, const sockaddr_in* from, int fd) {
    const auto control = Decode(data, size);
    if (!control) {
        return;
    }
    if (control->type == Type::Hello) {
        const uint16_t id = control->hello.mediaId;
        ++m_hellos[id];
        if (m_silent) {
            return;
        }
        // A UDP hello is taken only with the cookie given to its address by this relay.
        if (from != nullptr &&
            (!control->hello.hasCookie || control->hello.cookie != CookieFor(*from, id))) {
            Control cookie;
            cookie.type = Type::Cookie;
            cookie.cookieMediaId = id;
            cookie.cookie = CookieFor(*from, id);
            const auto bytes = Encode(cookie);
            ::sendto(m_udp, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(from),
                     sizeof(*from));
            return;
        }
        Control answer;
        answer.type = Type::HelloAck;
        answer.ackMediaId = id;
        answer.result = m_refusing ? HelloResult::BadTicket : HelloResult::Ok;
        Session session;
        session.tcp = from == nullptr;
        session.fd = fd;
        if (from != nullptr) {
            session.udp = *from;
        }
        if (!m_refusing) {
            const auto old = m_sessions.find(id);
            const bool same =
                old != m_sessions.end() && old->second.tcp == session.tcp &&
                (session.tcp ? old->second.fd == fd : SameAddress(old->second.udp, session.udp));
            if (!same) {
                m_sessions[id] = session;  // a new socket replaces the old session
            }
        }
        const auto bytes = Encode(answer);
        SendTo(session, bytes.data(), bytes.size());
        if (!m_refusing) {
            TellAudience(session);
        }
        return;
    }
    const uint16_t id = SessionOf(from, fd);
    if (id == 0 || m_silent) {
        return;
    }
    Session& session = m_sessions[id];
    if (control->type == Type::Keepalive) {
        const auto bytes = Encode(*control);
        SendTo(session, bytes.data(), bytes.size());
        TellAudience(session);
    } else if (control->type == Type::Subscribe) {
        const std::pair<uint16_t, Kind> stream{control->subscribe.mediaId, control->subscribe.kind};
        if (control->subscribe.on) {
            session.subscriptions.insert(stream);
        } else {
            session.subscriptions.erase(stream);
        }
    } else if (control->type == Type::Bye) {
        m_sessions.erase(id);
    }
}

void ScriptedRelay::Run() {
    uint8_t buffer[4096];
    while (!m_stop) {
        std::vector<pollfd> fds{
            {m_udp, POLLIN, 0}, {m_listener, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_readingTcp) {
                for (const auto& [fd, connection] : m_connections) {
                    fds.push_back({fd, POLLIN, 0});
                }
            }
        }
        if (::poll(fds.data(), fds.size(), 50) <= 0) {
            continue;
        }
        if (fds[2].revents != 0) {
            (void)!::read(m_wake[0], buffer, sizeof(buffer));
        }
        if (fds[0].revents & POLLIN) {
            sockaddr_in from{};
            socklen_t length = sizeof(from);
            const ssize_t n = ::recvfrom(m_udp, buffer, sizeof(buffer), MSG_DONTWAIT,
                                         reinterpret_cast<sockaddr*>(&from), &length);
            if (n > 0) {
                OnPacket(buffer, static_cast<size_t>(n), &from, -1);
            }
        }
        if (fds[1].revents & POLLIN) {
            const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0) {
                std::lock_guard<std::mutex> lock(m_mutex);
                auto connection = std::make_unique<Connection>();
                connection->fd = fd;
                m_connections[fd] = std::move(connection);
                ++m_accepted;
            }
        }
        for (size_t i = 3; i < fds.size(); ++i) {
            if ((fds[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0) {
                continue;
            }
            const int fd = fds[i].fd;
            const ssize_t n = ::recv(fd, buffer, sizeof(buffer), MSG_DONTWAIT);
            std::vector<std::vector<uint8_t>> packets;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                const auto it = m_connections.find(fd);
                if (it == m_connections.end()) {
                    continue;  // closed by a restart meanwhile
                }
                if (n <= 0) {
                    CloseConnection(fd);
                    continue;
                }
                if (!it->second->deframer.Push(buffer, static_cast<size_t>(n))) {
                    ++m_badStreams;
                    CloseConnection(fd);
                    continue;
                }
                while (auto packet = it->second->deframer.Next()) {
                    packets.push_back(std::move(*packet));
                }
            }
            for (const auto& packet : packets) {
                OnPacket(packet.data(), packet.size(), nullptr, fd);
            }
        }
    }
}
