#include "Session.h"

#include <gio/gio.h>

#include "GstLoop.h"
#include "platform/core/Log.h"

namespace kromedia {

namespace {

constexpr guint kTickMs = 500;
constexpr int kHelloTries = 10;       // 5 s without an answer: the relay is not there
constexpr int kSilentTicksDown = 20;  // 10 s without a keepalive answer: the path is down
constexpr int kKeepaliveEvery = 4;    // ticks

}  // namespace

RelaySession::RelaySession(Events events) : m_events(std::move(events)) {}

RelaySession::~RelaySession() {
    Stop();
}

void RelaySession::Start(const std::string& address, uint16_t port, bool tcp,
                         const std::array<uint8_t, relay::kTicketBytes>& ticket,
                         uint32_t conferenceId, uint16_t mediaId) {
    // What the channel asked for before it logged in is asked for once the relay accepts it.
    std::set<std::pair<uint16_t, relay::Kind>> asked;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        asked = m_subscriptions;
    }
    Stop();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_subscriptions = std::move(asked);
    }
    InvokeSync([&] {
        GError* error = nullptr;
        GInetAddress* inet = g_inet_address_new_from_string(address.c_str());
        if (inet == nullptr) {
            YLOG_WARN("media server address %s is no IPv4 address", address.c_str());
            if (m_events.serverConnected) {
                m_events.serverConnected(0);
            }
            return;
        }
        GSocketAddress* remote = g_inet_socket_address_new(inet, port);
        g_object_unref(inet);
        GSocket* socket =
            g_socket_new(G_SOCKET_FAMILY_IPV4, tcp ? G_SOCKET_TYPE_STREAM : G_SOCKET_TYPE_DATAGRAM,
                         tcp ? G_SOCKET_PROTOCOL_TCP : G_SOCKET_PROTOCOL_UDP, &error);
        if (socket != nullptr && !g_socket_connect(socket, remote, nullptr, &error)) {
            g_object_unref(socket);
            socket = nullptr;
        }
        g_object_unref(remote);
        if (socket == nullptr) {
            YLOG_WARN("media server %s:%u not reachable: %s", address.c_str(), port,
                      error != nullptr ? error->message : "?");
            g_clear_error(&error);
            if (m_events.serverConnected) {
                m_events.serverConnected(0);
            }
            return;
        }
        g_socket_set_blocking(socket, FALSE);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_socket = socket;
            m_tcp = tcp;
            m_accepted = false;
            m_streamUp = false;
            m_helloTries = 0;
            m_silentTicks = 0;
            m_deframer = relay::Deframer4571();
            m_hello = relay::Control{};
            m_hello.type = relay::Type::Hello;
            m_hello.hello.ticket = ticket;
            m_hello.hello.conferenceId = conferenceId;
            m_hello.hello.mediaId = mediaId;
        }
        m_readSource = g_socket_create_source(socket, G_IO_IN, nullptr);
        g_source_set_callback(m_readSource,
                              reinterpret_cast<GSourceFunc>(reinterpret_cast<void (*)()>(
                                  +[](GSocket*, GIOCondition, gpointer self) -> gboolean {
                                      static_cast<RelaySession*>(self)->OnReadable();
                                      return G_SOURCE_CONTINUE;
                                  })),
                              this, nullptr);
        g_source_attach(m_readSource, LoopContext());
        m_timer = g_timeout_source_new(kTickMs);
        g_source_set_callback(
            m_timer,
            +[](gpointer self) -> gboolean {
                static_cast<RelaySession*>(self)->OnTick();
                return G_SOURCE_CONTINUE;
            },
            this, nullptr);
        g_source_attach(m_timer, LoopContext());
        // On the loop, before the new session's first word: nobody may receive it yet, whatever
        // the old one was told.
        if (m_events.audience) {
            m_events.audience(relay::Audience{});
        }
        SendControl(m_hello);
    });
}

void RelaySession::Stop() {
    InvokeSync([this] { CloseOnLoop(); });
}

void RelaySession::CloseOnLoop() {
    if (m_readSource != nullptr) {
        g_source_destroy(m_readSource);
        g_source_unref(m_readSource);
        m_readSource = nullptr;
    }
    if (m_timer != nullptr) {
        g_source_destroy(m_timer);
        g_source_unref(m_timer);
        m_timer = nullptr;
    }
    GSocket* socket = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_socket != nullptr && m_accepted) {
            relay::Control bye;
            bye.type = relay::Type::Bye;
            const auto bytes = relay::Encode(bye);
            SendRaw(bytes.data(), bytes.size());
        }
        socket = m_socket;
        m_socket = nullptr;
        m_accepted = false;
        m_streamUp = false;
        m_subscriptions.clear();
    }
    if (socket != nullptr) {
        g_socket_close(socket, nullptr);
        g_object_unref(socket);
    }
}

bool RelaySession::IsSubscribed(uint16_t mediaId, relay::Kind kind) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_subscriptions.contains({mediaId, kind});
}

bool RelaySession::IsAccepted() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_accepted;
}

void RelaySession::Subscribe(uint16_t mediaId, relay::Kind kind, bool on) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (on) {
        m_subscriptions.insert({mediaId, kind});
    } else {
        m_subscriptions.erase({mediaId, kind});
    }
    if (m_accepted) {
        relay::Control c;
        c.type = relay::Type::Subscribe;
        c.subscribe = {mediaId, kind, on};
        const auto bytes = relay::Encode(c);
        SendRaw(bytes.data(), bytes.size());
    }
}

void RelaySession::SendMedia(const uint8_t* data, size_t length) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_accepted && length <= relay::kMaxPacket) {
        SendRaw(data, length);
    }
}

// Called with m_mutex held.
void RelaySession::SendRaw(const uint8_t* data, size_t length) {
    if (m_socket == nullptr) {
        return;
    }
    if (!m_tcp) {
        g_socket_send(m_socket, reinterpret_cast<const gchar*>(data), length, nullptr, nullptr);
        return;
    }
    const auto framed = relay::Frame4571(data, length);
    // A stream must not lose part of a frame: wait for room (loopback or LAN, short).
    size_t sent = 0;
    int spins = 0;
    while (sent < framed.size() && spins < 200) {
        GError* error = nullptr;
        const gssize n =
            g_socket_send(m_socket, reinterpret_cast<const gchar*>(framed.data() + sent),
                          framed.size() - sent, nullptr, &error);
        if (n > 0) {
            sent += static_cast<size_t>(n);
            continue;
        }
        const bool wouldBlock =
            error != nullptr && g_error_matches(error, G_IO_ERROR, G_IO_ERROR_WOULD_BLOCK);
        g_clear_error(&error);
        if (!wouldBlock) {
            return;
        }
        g_socket_condition_timed_wait(m_socket, G_IO_OUT, 10000, nullptr, nullptr);
        ++spins;
    }
}

void RelaySession::SendControl(const relay::Control& control) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto bytes = relay::Encode(control);
    SendRaw(bytes.data(), bytes.size());
}

void RelaySession::OnReadable() {
    uint8_t buffer[4096];
    for (;;) {
        GSocket* socket = nullptr;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            socket = m_socket;
        }
        if (socket == nullptr) {
            return;
        }
        GError* error = nullptr;
        const gssize n = g_socket_receive(socket, reinterpret_cast<gchar*>(buffer), sizeof(buffer),
                                          nullptr, &error);
        if (n < 0) {
            g_clear_error(&error);
            return;
        }
        if (!m_tcp) {
            OnPacket(buffer, static_cast<size_t>(n));
            continue;
        }
        if (n == 0 || !m_deframer.Push(buffer, static_cast<size_t>(n))) {
            YLOG_WARN("media server closed the stream or sent a bad frame");
            CloseOnLoop();
            if (m_events.streamConnected) {
                m_events.streamConnected(0);
            }
            return;
        }
        while (auto packet = m_deframer.Next()) {
            OnPacket(packet->data(), packet->size());
        }
    }
}

void RelaySession::OnPacket(const uint8_t* data, size_t length) {
    const relay::PacketClass kind = relay::Classify(data, length);
    if (kind == relay::PacketClass::Rtp || kind == relay::PacketClass::Rtcp) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (!m_accepted) {
                return;
            }
        }
        if (m_events.media) {
            m_events.media(data, length, kind == relay::PacketClass::Rtcp);
        }
        return;
    }
    const auto control = relay::Decode(data, length);
    if (!control) {
        return;
    }
    if (control->type == relay::Type::Cookie) {
        // The relay binds a UDP session only once its cookie comes back from this address.
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_accepted && control->cookieMediaId == m_hello.hello.mediaId) {
            m_hello.hello.hasCookie = true;
            m_hello.hello.cookie = control->cookie;
            const auto bytes = relay::Encode(m_hello);
            SendRaw(bytes.data(), bytes.size());
        }
        return;
    }
    if (control->type == relay::Type::Audience) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (!m_accepted) {
                return;
            }
        }
        if (m_events.audience) {
            m_events.audience(control->audience);
        }
        return;
    }
    if (control->type == relay::Type::HelloAck) {
        bool first = false;
        bool ok = control->result == relay::HelloResult::Ok;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (!m_accepted && control->ackMediaId == m_hello.hello.mediaId) {
                first = true;
                m_accepted = ok;
                if (ok) {
                    for (const auto& sub : m_subscriptions) {
                        relay::Control c;
                        c.type = relay::Type::Subscribe;
                        c.subscribe = {sub.first, sub.second, true};
                        const auto bytes = relay::Encode(c);
                        SendRaw(bytes.data(), bytes.size());
                    }
                    relay::Control ping;
                    ping.type = relay::Type::Keepalive;
                    const auto bytes = relay::Encode(ping);
                    SendRaw(bytes.data(), bytes.size());
                }
            }
        }
        if (first) {
            if (!ok) {
                YLOG_WARN("media server refused the session (%d)",
                          static_cast<int>(control->result));
                m_helloTries = kHelloTries;  // no more hellos
            }
            if (m_events.serverConnected) {
                m_events.serverConnected(ok ? 1 : 0);
            }
        }
    } else if (control->type == relay::Type::Keepalive) {
        bool up = false;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_silentTicks = 0;
            if (m_accepted && !m_streamUp) {
                m_streamUp = true;
                up = true;
            }
        }
        if (up && m_events.streamConnected) {
            m_events.streamConnected(1);
        }
    }
}

void RelaySession::OnTick() {
    bool accepted = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        accepted = m_accepted;
    }
    if (!accepted) {
        if (m_helloTries >= kHelloTries) {
            return;
        }
        if (++m_helloTries == kHelloTries) {
            YLOG_WARN("media server did not answer the hello");
            if (m_events.serverConnected) {
                m_events.serverConnected(0);
            }
            return;
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto bytes = relay::Encode(m_hello);  // with the relay's cookie once it gave one
        SendRaw(bytes.data(), bytes.size());
        return;
    }
    bool down = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_silentTicks;
        if (m_silentTicks % kKeepaliveEvery == 0) {
            relay::Control ping;
            ping.type = relay::Type::Keepalive;
            const auto bytes = relay::Encode(ping);
            SendRaw(bytes.data(), bytes.size());
        }
        if (m_silentTicks == kSilentTicksDown) {
            down = true;
            m_streamUp = false;
        }
    }
    if (down && m_events.streamConnected) {
        m_events.streamConnected(0);
    }
}

}  // namespace kromedia
