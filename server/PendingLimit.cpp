#include "PendingLimit.h"

#include "platform/core/Log.h"

namespace yav::server {

namespace {
// Not an address text, so it cannot collide with one.
const std::string kTotalCap = "*";
}  // namespace

PendingLimit::PendingLimit(std::string prefix, size_t total, size_t perAddress)
    : prefix_(std::move(prefix)), totalLimit_(total), perAddressLimit_(perAddress) {}

std::unique_ptr<PendingLimit::Place> PendingLimit::Admit(const std::string& address) {
    const auto known = byAddress_.find(address);
    const size_t fromAddress = known == byAddress_.end() ? 0 : known->second;
    const bool totalFull = total_ >= totalLimit_;
    if (totalFull || fromAddress >= perAddressLimit_) {
        // Once per episode: a flood would otherwise write a line per attempt.
        if (refusing_.insert(totalFull ? kTotalCap : address).second) {
            if (totalFull) {
                YLOG_WARN("%s: %zu connections have not logged in (limit %zu), refusing new ones",
                          prefix_.c_str(), total_, totalLimit_);
            } else {
                YLOG_WARN(
                    "%s: %zu connections from %s have not logged in (limit %zu per address), "
                    "refusing new ones from there",
                    prefix_.c_str(), fromAddress, address.c_str(), perAddressLimit_);
            }
        }
        return nullptr;
    }
    ++total_;
    ++byAddress_[address];
    if (refusing_.erase(kTotalCap) > 0) {
        YLOG_INFO("%s: accepting new connections again", prefix_.c_str());
    }
    if (refusing_.erase(address) > 0) {
        YLOG_INFO("%s: accepting new connections from %s again", prefix_.c_str(), address.c_str());
    }
    return std::make_unique<Place>(*this, address);
}

void PendingLimit::Release(const std::string& address) {
    auto it = byAddress_.find(address);
    if (it == byAddress_.end() || total_ == 0) {
        return;
    }
    --total_;
    if (--it->second == 0) {
        byAddress_.erase(it);
    }
}

}  // namespace yav::server
