#include "Session.h"

#include <gio/gio.h>

#include <algorithm>

#include "GstLoop.h"
#include "platform/core/Log.h"

namespace kromedia {

namespace {

constexpr guint kTickMs = 500;
constexpr int kAttemptTicks = 10;     // 5 s to connect and be answered: that try failed
constexpr int kKeepaliveEvery = 4;    // ticks
constexpr int kRehelloTicks = 8;      // two keepalives unanswered: say hello again
constexpr int kSilentTicksDown = 20;  // 10 s without an answer: the path is down
constexpr int kFirstRetryMs = 1000;
constexpr int kRetryCeilingMs = 30000;
// What a TCP stream may owe the relay: about a second of a large camera picture. More means
// pictures that arrive too late to be shown.
constexpr size_t kQueueBytes = 256 * 1024;

template <typename Self, void (Self::*Member)()>
gboolean Call(gpointer self) {
    (static_cast<Self*>(self)->*Member)();
    return G_SOURCE_CONTINUE;
}

GSource* AttachSocketSource(GSocket* socket, GIOCondition condition, GSourceFunc callback,
                            gpointer self) {
    GSource* source = g_socket_create_source(socket, condition, nullptr);
    g_source_set_callback(source, callback, self, nullptr);
    g_source_attach(source, LoopContext());
    return source;
}

void DropSource(GSource*& source) {
    if (source != nullptr) {
        g_source_destroy(source);
        g_source_unref(source);
        source = nullptr;
    }
}

}  // namespace

RelaySession::RelaySession(Events events)
    : m_events(std::move(events)),
      m_backoff(kFirstRetryMs, kRetryCeilingMs,
                static_cast<uint32_t>(reinterpret_cast<uintptr_t>(this))),
      m_queue(kQueueBytes) {}

RelaySession::~RelaySession() {
    Stop();
}

void RelaySession::Start(const std::string& address, uint16_t port, bool tcp,
                         const std::array<uint8_t, relay::kTicketBytes>& ticket,
                         uint32_t conferenceId, uint16_t mediaId) {
    InvokeSync([&] {
        CloseSocket(true);
        m_address = address;
        m_port = port;
        m_hello = relay::Control{};
        m_hello.type = relay::Type::Hello;
        m_hello.hello.ticket = ticket;
        m_hello.hello.conferenceId = conferenceId;
        m_hello.hello.mediaId = mediaId;
        m_reportedServer = -1;
        m_streamUp = false;
        m_rehello = false;
        m_backoff.Reset();
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_tcp = tcp;
        }
        if (m_timer == nullptr) {
            m_timer = g_timeout_source_new(kTickMs);
            g_source_set_callback(m_timer, &Call<RelaySession, &RelaySession::OnTick>, this,
                                  nullptr);
            g_source_attach(m_timer, LoopContext());
        }
        OpenAttempt();
    });
}

void RelaySession::Stop() {
    InvokeSync([this] {
        CloseSocket(true);
        DropSource(m_timer);
        m_phase = Phase::Idle;
        std::lock_guard<std::mutex> lock(m_mutex);
        m_subscriptions.clear();
    });
}

void RelaySession::UseTcp(bool tcp) {
    InvokeSync([this, tcp] {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_tcp == tcp) {
                return;
            }
            m_tcp = tcp;
        }
        if (m_phase == Phase::Idle) {
            return;
        }
        YLOG_INFO("media session of %u moves to %s", m_hello.hello.mediaId, tcp ? "TCP" : "UDP");
        CloseSocket(true);
        m_backoff.Reset();
        OpenAttempt();
    });
}

// ---- tries and losses (loop thread) ------------------------------------------------------------

void RelaySession::OpenAttempt() {
    // Each new socket is a new session at the relay: nobody may receive it until the relay
    // says so, whatever the old one was told.
    if (m_events.audience) {
        m_events.audience(relay::Audience{});
    }
    m_attemptTicks = 0;
    m_rehello = false;
    m_hello.hello.hasCookie = false;  // a cookie holds for the address it was given to
    m_deframer = relay::Deframer4571();
    GInetAddress* inet = g_inet_address_new_from_string(m_address.c_str());
    if (inet == nullptr) {
        YLOG_WARN("media server address %s is no IPv4 address", m_address.c_str());
        m_phase = Phase::Idle;
        ReportServer(0);
        return;
    }
    bool tcp = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        tcp = m_tcp;
    }
    GError* error = nullptr;
    GSocket* socket =
        g_socket_new(G_SOCKET_FAMILY_IPV4, tcp ? G_SOCKET_TYPE_STREAM : G_SOCKET_TYPE_DATAGRAM,
                     tcp ? G_SOCKET_PROTOCOL_TCP : G_SOCKET_PROTOCOL_UDP, &error);
    bool pending = false;
    if (socket != nullptr) {
        // Never blocking: a relay that does not answer a TCP connect must not hold the loop.
        g_socket_set_blocking(socket, FALSE);
        GSocketAddress* remote = g_inet_socket_address_new(inet, m_port);
        if (!g_socket_connect(socket, remote, nullptr, &error)) {
            pending = g_error_matches(error, G_IO_ERROR, G_IO_ERROR_PENDING);
            if (!pending) {
                g_object_unref(socket);
                socket = nullptr;
            }
            g_clear_error(&error);
        }
        g_object_unref(remote);
    }
    g_object_unref(inet);
    if (socket == nullptr) {
        YLOG_WARN("media server %s:%u not reachable: %s", m_address.c_str(), m_port,
                  error != nullptr ? error->message : "connect failed");
        g_clear_error(&error);
        FailAttempt();
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_socket = socket;
        m_connected = false;
        m_accepted = false;
        m_silentTicks = 0;
        m_queue.Clear();
    }
    if (pending) {
        m_phase = Phase::Connecting;
        m_connectSource =
            AttachSocketSource(socket, G_IO_OUT,
                               reinterpret_cast<GSourceFunc>(reinterpret_cast<void (*)()>(
                                   +[](GSocket*, GIOCondition, gpointer self) -> gboolean {
                                       static_cast<RelaySession*>(self)->OnConnected();
                                       return G_SOURCE_CONTINUE;
                                   })),
                               this);
        return;
    }
    OnConnected();
}

void RelaySession::OnConnected() {
    DropSource(m_connectSource);
    GSocket* socket = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        socket = m_socket;
    }
    if (socket == nullptr) {
        return;
    }
    GError* error = nullptr;
    if (!g_socket_check_connect_result(socket, &error)) {
        YLOG_WARN("media server %s:%u refused the connection: %s", m_address.c_str(), m_port,
                  error != nullptr ? error->message : "?");
        g_clear_error(&error);
        FailAttempt();
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_connected = true;
    }
    m_phase = Phase::Hello;
    m_readSource = AttachSocketSource(socket, G_IO_IN,
                                      reinterpret_cast<GSourceFunc>(reinterpret_cast<void (*)()>(
                                          +[](GSocket*, GIOCondition, gpointer self) -> gboolean {
                                              static_cast<RelaySession*>(self)->OnReadable();
                                              return G_SOURCE_CONTINUE;
                                          })),
                                      this);
    SendHello();
}

void RelaySession::FailAttempt() {
    CloseSocket(false);
    if (m_reportedServer != 0) {
        YLOG_WARN("media server %s:%u did not take the session of %u; trying again",
                  m_address.c_str(), m_port, m_hello.hello.mediaId);
    }
    ReportServer(0);
    WaitBeforeRetry();
}

// An accepted session went silent or its connection closed: a new socket says hello again.
void RelaySession::LoseSession() {
    YLOG_WARN("media session of %u lost; saying hello again", m_hello.hello.mediaId);
    CloseSocket(false);
    ReportStream(false);
    WaitBeforeRetry();
}

void RelaySession::WaitBeforeRetry() {
    m_phase = Phase::Waiting;
    m_waitTicks = std::max(
        1, (m_backoff.NextDelayMs() + static_cast<int>(kTickMs) / 2) / static_cast<int>(kTickMs));
}

void RelaySession::CloseSocket(bool sayBye) {
    DropSource(m_readSource);
    DropSource(m_connectSource);
    GSocket* socket = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (sayBye && m_socket != nullptr && m_accepted) {
            relay::Control bye;
            bye.type = relay::Type::Bye;
            const auto bytes = relay::Encode(bye);
            SendRaw(bytes.data(), bytes.size(), true);
            if (m_tcp) {
                DrainLocked();  // what the socket takes now; the rest goes with the connection
            }
        }
        DropSource(m_writeSource);
        socket = m_socket;
        m_socket = nullptr;
        m_connected = false;
        m_accepted = false;
        m_queue.Clear();
    }
    if (socket != nullptr) {
        g_socket_close(socket, nullptr);
        g_object_unref(socket);
    }
}

void RelaySession::ReportServer(int connected) {
    if (m_reportedServer == connected) {
        return;
    }
    m_reportedServer = connected;
    if (m_events.serverConnected) {
        m_events.serverConnected(connected);
    }
}

void RelaySession::ReportStream(bool up) {
    if (m_streamUp == up) {
        return;
    }
    m_streamUp = up;
    if (m_events.streamConnected) {
        m_events.streamConnected(up ? 1 : 0);
    }
}

// ---- sending -----------------------------------------------------------------------------------

bool RelaySession::IsAccepted() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_accepted;
}

uint64_t RelaySession::QueueDrops() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_queue.Dropped();
}

bool RelaySession::IsSubscribed(uint16_t mediaId, relay::Kind kind) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_subscriptions.contains({mediaId, kind});
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
        SendRaw(bytes.data(), bytes.size(), true);
    }
}

void RelaySession::SendMedia(const uint8_t* data, size_t length) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_accepted && length <= relay::kMaxPacket) {
        SendRaw(data, length, false);
    }
}

void RelaySession::SendControl(const relay::Control& control) {
    const auto bytes = relay::Encode(control);
    std::lock_guard<std::mutex> lock(m_mutex);
    SendRaw(bytes.data(), bytes.size(), true);
}

// Called with m_mutex held. A datagram goes now or not at all; a stream's frame is queued
// whole and the loop writes it.
void RelaySession::SendRaw(const uint8_t* data, size_t length, bool control) {
    if (m_socket == nullptr || !m_connected) {
        return;
    }
    if (!m_tcp) {
        g_socket_send(m_socket, reinterpret_cast<const gchar*>(data), length, nullptr, nullptr);
        return;
    }
    if (m_queue.Push(relay::Frame4571(data, length), control)) {
        ArmWriterLocked();
    }
}

void RelaySession::ArmWriterLocked() {
    if (m_writeSource == nullptr && m_socket != nullptr) {
        m_writeSource =
            AttachSocketSource(m_socket, G_IO_OUT,
                               reinterpret_cast<GSourceFunc>(reinterpret_cast<void (*)()>(
                                   +[](GSocket*, GIOCondition, gpointer self) -> gboolean {
                                       static_cast<RelaySession*>(self)->OnWritable();
                                       return G_SOURCE_CONTINUE;
                                   })),
                               this);
    }
}

// Called with m_mutex held: writes what the socket takes without waiting.
bool RelaySession::DrainLocked() {
    for (;;) {
        size_t length = 0;
        const uint8_t* pending = m_queue.Pending(&length);
        if (pending == nullptr) {
            return true;
        }
        GError* error = nullptr;
        const gssize n = g_socket_send(m_socket, reinterpret_cast<const gchar*>(pending), length,
                                       nullptr, &error);
        if (n > 0) {
            m_queue.Consumed(static_cast<size_t>(n));
            continue;
        }
        const bool wouldBlock =
            error != nullptr && g_error_matches(error, G_IO_ERROR, G_IO_ERROR_WOULD_BLOCK);
        g_clear_error(&error);
        return wouldBlock;
    }
}

void RelaySession::OnWritable() {
    bool failed = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_socket == nullptr) {
            return;
        }
        failed = !DrainLocked();
        if (!failed && m_queue.Empty()) {
            DropSource(m_writeSource);  // armed again by the next frame
            return;
        }
    }
    if (failed) {
        YLOG_WARN("media server stream of %u failed while writing", m_hello.hello.mediaId);
        if (m_phase == Phase::Up) {
            LoseSession();
        } else {
            FailAttempt();
        }
    }
}

// ---- receiving ---------------------------------------------------------------------------------

void RelaySession::OnReadable() {
    uint8_t buffer[4096];
    for (;;) {
        GSocket* socket = nullptr;
        bool tcp = false;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            socket = m_socket;
            tcp = m_tcp;
        }
        if (socket == nullptr || m_readSource == nullptr) {
            return;
        }
        GError* error = nullptr;
        const gssize n = g_socket_receive(socket, reinterpret_cast<gchar*>(buffer), sizeof(buffer),
                                          nullptr, &error);
        if (n < 0) {
            // Would block, or (UDP) an ICMP error of a relay that is not there: wait for more.
            g_clear_error(&error);
            return;
        }
        if (!tcp) {
            OnPacket(buffer, static_cast<size_t>(n));
            continue;
        }
        if (n == 0 || !m_deframer.Push(buffer, static_cast<size_t>(n))) {
            YLOG_WARN("media server closed the stream or sent a bad frame");
            if (m_phase == Phase::Up) {
                LoseSession();
            } else {
                FailAttempt();
            }
            return;
        }
        while (auto packet = m_deframer.Next()) {
            OnPacket(packet->data(), packet->size());
            if (m_readSource == nullptr) {
                return;  // the packet ended this socket
            }
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
    if (control->type == relay::Type::HelloAck) {
        OnHelloAck(*control);
    } else if (control->type == relay::Type::Cookie) {
        OnCookie(*control);
    } else if (control->type == relay::Type::Audience) {
        bool accepted = false;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            accepted = m_accepted;
        }
        if (accepted && m_events.audience) {
            m_events.audience(control->audience);
        }
    } else if (control->type == relay::Type::Keepalive) {
        bool accepted = false;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_silentTicks = 0;
            accepted = m_accepted;
        }
        if (accepted) {
            ReportStream(true);
        }
    }
}

void RelaySession::SendHello() {
    SendControl(m_hello);
}

// Whether a hello of this session waits for its answer: a first one, or one said again on a
// session that went silent.
bool RelaySession::SayingHello() const {
    return m_phase == Phase::Hello || (m_phase == Phase::Up && m_rehello);
}

// The relay takes a UDP hello only with the cookie it gave to the hello's address: the hello
// goes again at once, with it.
void RelaySession::OnCookie(const relay::Control& cookie) {
    if (cookie.cookieMediaId != m_hello.hello.mediaId || !SayingHello()) {
        return;
    }
    m_hello.hello.hasCookie = true;
    m_hello.hello.cookie = cookie.cookie;
    SendHello();
}

// A first answer, or the answer to a hello said again on a silent session: subscriptions go
// again (a restarted relay knows none). A repeated answer to the same hello changes nothing.
void RelaySession::OnHelloAck(const relay::Control& answer) {
    if (answer.ackMediaId != m_hello.hello.mediaId || !SayingHello()) {
        return;
    }
    if (answer.result != relay::HelloResult::Ok) {
        YLOG_WARN("media server refused the session of %u (%d)", m_hello.hello.mediaId,
                  static_cast<int>(answer.result));
        CloseSocket(false);
        m_phase = Phase::Idle;  // the relay said no: asking again changes nothing
        ReportStream(false);
        ReportServer(0);
        return;
    }
    m_phase = Phase::Up;
    m_rehello = false;
    m_backoff.Reset();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_accepted = true;
        m_silentTicks = 0;
        for (const auto& sub : m_subscriptions) {
            relay::Control c;
            c.type = relay::Type::Subscribe;
            c.subscribe = {sub.first, sub.second, true};
            const auto bytes = relay::Encode(c);
            SendRaw(bytes.data(), bytes.size(), true);
        }
        relay::Control ping;
        ping.type = relay::Type::Keepalive;
        const auto bytes = relay::Encode(ping);
        SendRaw(bytes.data(), bytes.size(), true);
    }
    ReportServer(1);
}

void RelaySession::OnTick() {
    switch (m_phase) {
        case Phase::Idle:
            return;
        case Phase::Waiting:
            if (--m_waitTicks <= 0) {
                OpenAttempt();
            }
            return;
        case Phase::Connecting:
        case Phase::Hello:
            if (++m_attemptTicks >= kAttemptTicks) {
                FailAttempt();
            } else if (m_phase == Phase::Hello) {
                SendHello();
            }
            return;
        case Phase::Up:
            break;
    }
    int silent = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        silent = ++m_silentTicks;
        if (silent % kKeepaliveEvery == 0) {
            relay::Control ping;
            ping.type = relay::Type::Keepalive;
            const auto bytes = relay::Encode(ping);
            SendRaw(bytes.data(), bytes.size(), true);
        }
    }
    if (silent >= kSilentTicksDown) {
        LoseSession();
    } else if (silent >= kRehelloTicks && silent % 2 == 0) {
        // A relay that restarted, or saw us come from a new address, knows no session: a
        // hello on the same socket makes one (or is answered again when nothing was lost).
        m_rehello = true;
        SendHello();
    }
}

}  // namespace kromedia
