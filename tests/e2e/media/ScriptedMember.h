#pragma once
// A member of the conference scripted at the wire: a guest login with its own ticket and a raw
// UDP socket to the media relay that says hello as the relay asks (cookie included),
// subscribes to whatever it likes, sends whatever RTCP it likes and counts every RTP packet it
// gets, by the sender's media id and kind. It never sends media of its own.

#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "CsBot.h"
#include "components/KroMedia/RelayWire.h"

namespace yav::test {

class ScriptedMember {
public:
    ScriptedMember(uint16_t conferencePort, uint16_t mediaPort, const std::string& name);
    ~ScriptedMember();
    ScriptedMember(const ScriptedMember&) = delete;
    ScriptedMember& operator=(const ScriptedMember&) = delete;

    bool LoggedIn() const { return id_ != 0; }
    // The relay accepted the session.
    bool Accepted() const { return accepted_; }
    uint16_t Id() const { return id_; }
    CsBot& Bot() { return bot_; }

    void Subscribe(uint16_t mediaId, relay::Kind kind, bool on = true);
    void Send(const std::vector<uint8_t>& packet);
    // RTP packets received from that media id and kind.
    uint64_t Received(uint16_t mediaId, relay::Kind kind) const;
    // Keepalives sent (one every 100 ms once accepted) and answered: the test's clock. The
    // relay reads and answers in order, so an answer to a keepalive sent after some packet
    // shows that the relay has read that packet.
    uint64_t KeepalivesSent() const { return keepalivesSent_; }
    uint64_t KeepalivesAnswered() const { return keepalives_; }

private:
    void Run();
    void SendControl(const relay::Control& control);

    CsBot bot_;
    int fd_ = -1;
    uint16_t id_ = 0;
    relay::Control hello_;
    std::atomic<bool> accepted_{false};
    std::atomic<bool> stop_{false};
    std::atomic<uint64_t> keepalivesSent_{0};
    std::atomic<uint64_t> keepalives_{0};
    mutable std::mutex mutex_;
    std::map<std::pair<uint16_t, relay::Kind>, uint64_t> received_;
    std::thread thread_;
};

}  // namespace yav::test
