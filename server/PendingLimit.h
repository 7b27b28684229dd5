#pragma once
// Caps the connections of one service that have not logged in, in total and per source
// address: a flood of connections that never log in would otherwise hold descriptors and
// memory without limit. A connection holds a Place from its accept until it logs in or
// closes.

#include <cstddef>
#include <map>
#include <memory>
#include <set>
#include <string>

namespace yav::server {

class PendingLimit {
public:
    class Place;

    // prefix names the service ("cs", "ds") in log lines.
    PendingLimit(std::string prefix, size_t total, size_t perAddress);
    PendingLimit(const PendingLimit&) = delete;
    PendingLimit& operator=(const PendingLimit&) = delete;

    // A place for a new connection from address, or null when a cap is reached (logged once
    // per episode; a line again when that cap lets connections in again).
    std::unique_ptr<Place> Admit(const std::string& address);
    size_t Pending() const { return total_; }

private:
    void Release(const std::string& address);

    std::string prefix_;
    size_t totalLimit_;
    size_t perAddressLimit_;
    size_t total_ = 0;
    std::map<std::string, size_t> byAddress_;
    // The caps now refusing: kTotalCap for the total, else the refused address.
    std::set<std::string> refusing_;
};

// Held by a connection while it counts against the caps; frees its place when released or
// destroyed. Must not outlive its limit.
class PendingLimit::Place {
public:
    Place(PendingLimit& limit, std::string address)
        : limit_(&limit), address_(std::move(address)) {}
    ~Place() { Release(); }
    Place(const Place&) = delete;
    Place& operator=(const Place&) = delete;

    void Release() {
        if (limit_) {
            limit_->Release(address_);
            limit_ = nullptr;
        }
    }

private:
    PendingLimit* limit_;
    std::string address_;
};

}  // namespace yav::server
