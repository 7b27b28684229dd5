#include "CsBot.h"

#include <thread>

#include "ServerConfig.h"

namespace yav::test {

CsBot::CsBot() : cs_(Kro_CreateCsManager()) {}

CsBot::~CsBot() {
    Kro_DestroyCsManager(cs_);
}

int32_t CsBot::Login(uint16_t port, uint32_t confId, const std::string& name,
                     const std::string& password, uint8_t mode) {
    const std::string digest = password.empty() ? "" : yav::server::PasswordDigest(password);
    return cs_->Login("127.0.0.1", port, confId, name.c_str(), digest.c_str(), mode);
}

uint16_t CsBot::UserId() {
    ST_CONF_LOGIN_INFO info;
    cs_->GetConfLoginInfo(&info);
    return info.userId;
}

void CsBot::Drain() {
    ST_CS_MSG message;
    while (cs_->GetMsgQueue()->Pop(message)) {
        seen_.push_back(std::move(message));
    }
}

const ST_CS_MSG* CsBot::WaitFor(const std::function<bool(const ST_CS_MSG&)>& match,
                                std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    size_t checked = 0;
    for (;;) {
        Drain();
        for (; checked < seen_.size(); ++checked) {
            if (match(seen_[checked])) {
                return &seen_[checked];
            }
        }
        if (std::chrono::steady_clock::now() > deadline) {
            return nullptr;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

const ST_CS_MSG* CsBot::WaitForType(uint32_t type, std::chrono::milliseconds limit) {
    return WaitFor([type](const ST_CS_MSG& message) { return message.type == type; }, limit);
}

bool CsBot::Saw(const std::function<bool(const ST_CS_MSG&)>& match) {
    Drain();
    for (const auto& message : seen_) {
        if (match(message)) {
            return true;
        }
    }
    return false;
}

std::function<bool(const ST_CS_MSG&)> IsTransmit(uint16_t from, uint16_t subCommand) {
    return [=](const ST_CS_MSG& message) {
        const auto* transmit = std::get_if<CsTransmit>(&message.payload);
        return message.type == CS_MSG_TRANSMIT && transmit && transmit->from == from &&
               transmit->subCommand == subCommand;
    };
}

std::function<bool(const ST_CS_MSG&)> IsJoinOf(uint16_t userId) {
    return [=](const ST_CS_MSG& message) {
        const auto* users = std::get_if<CsUserList>(&message.payload);
        if (message.type != CS_MSG_USER_JOIN || !users) {
            return false;
        }
        for (const auto& user : *users) {
            if (user.userId == userId) {
                return true;
            }
        }
        return false;
    };
}

std::function<bool(const ST_CS_MSG&)> IsLeaveOf(uint16_t userId) {
    return [=](const ST_CS_MSG& message) {
        const auto* leaves = std::get_if<CsLeaveList>(&message.payload);
        if (message.type != CS_MSG_USER_LEAVE || !leaves) {
            return false;
        }
        for (const auto& leave : *leaves) {
            if (leave.userId == userId) {
                return true;
            }
        }
        return false;
    };
}

}  // namespace yav::test
