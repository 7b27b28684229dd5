#pragma once
// A protocol bot made of the real conference-server component: it logs in like the client
// and collects what the component queues, so tests can wait for given events.

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "KroCsManger.h"

namespace yav::test {

class CsBot {
public:
    CsBot();
    ~CsBot();
    CsBot(const CsBot&) = delete;
    CsBot& operator=(const CsBot&) = delete;

    // mode 0 with an account password (digested here), 1 as a guest, 2 with a conference
    // password (digested here).
    int32_t Login(uint16_t port, uint32_t confId, const std::string& name,
                  const std::string& password, uint8_t mode);
    ICsManager& Cs() { return *cs_; }
    ICsUserManager& Users() { return *cs_->GetUserManager(); }
    uint16_t UserId();

    // Pops queued events until one matches (all popped events are kept); null after the limit.
    const ST_CS_MSG* WaitFor(const std::function<bool(const ST_CS_MSG&)>& match,
                             std::chrono::milliseconds limit = std::chrono::seconds(10));
    const ST_CS_MSG* WaitForType(uint32_t type,
                                 std::chrono::milliseconds limit = std::chrono::seconds(10));
    // Pops whatever is queued now and answers whether any kept event matches.
    bool Saw(const std::function<bool(const ST_CS_MSG&)>& match);
    void Forget() { seen_.clear(); }
    const std::vector<ST_CS_MSG>& Seen() const { return seen_; }

private:
    void Drain();

    ICsManager* cs_;
    std::vector<ST_CS_MSG> seen_;
};

// Matchers for the usual events.
std::function<bool(const ST_CS_MSG&)> IsTransmit(uint16_t from, uint16_t subCommand);
std::function<bool(const ST_CS_MSG&)> IsJoinOf(uint16_t userId);
std::function<bool(const ST_CS_MSG&)> IsLeaveOf(uint16_t userId);

}  // namespace yav::test
