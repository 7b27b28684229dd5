#include "platform/window/MessagePayload.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <vector>

namespace yav::detail {

namespace {

static_assert(sizeof(LPARAM) == 8, "tokens need a 64-bit lParam");

// Tokens lie above every user-space address and every small number, so that a plain lParam
// (a count, a pointer) is not taken for a token while a payload is being delivered.
constexpr LPARAM kFirstToken = LPARAM{1} << 62;

std::atomic<std::int64_t> g_nextToken{0};

// The payloads whose handlers are running on this thread, innermost last.
std::vector<PayloadBase*>& Delivering() {
    thread_local std::vector<PayloadBase*> delivering;
    return delivering;
}

}  // namespace

PayloadBase::PayloadBase()
    : token_(kFirstToken + g_nextToken.fetch_add(1, std::memory_order_relaxed)) {}

PayloadBase* PayloadInDelivery(LPARAM token) {
    if (token < kFirstToken) {
        return nullptr;
    }
    const std::vector<PayloadBase*>& delivering = Delivering();
    const auto it = std::find_if(delivering.rbegin(), delivering.rend(),
                                 [token](const PayloadBase* p) { return p->Token() == token; });
    return it != delivering.rend() ? *it : nullptr;
}

PayloadDelivery::PayloadDelivery(PayloadBase* payload) : payload_(payload) {
    if (payload_ != nullptr) {
        Delivering().push_back(payload_);
    }
}

PayloadDelivery::~PayloadDelivery() {
    if (payload_ == nullptr) {
        return;
    }
    std::vector<PayloadBase*>& delivering = Delivering();
    // Deliveries nest strictly; the search only guards against a misuse.
    const auto it = std::find(delivering.rbegin(), delivering.rend(), payload_);
    if (it != delivering.rend()) {
        delivering.erase(std::next(it).base());
    }
}

}  // namespace yav::detail
