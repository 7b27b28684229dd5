#include "VideoPagerRules.h"

namespace yav::video {

namespace {

constexpr std::uint32_t kDefaultAutoTurnMs = 10000;

}  // namespace

int PageTotal(int received, int perPage) {
    if (perPage <= 0 || received <= 0) {
        return 0;
    }
    return received / perPage + (received % perPage != 0 ? 1 : 0);
}

int NextPage(int current, int total) {
    const int next = current + 1;
    return next > total ? 1 : next;
}

int PreviousPage(int current, int total) {
    const int previous = current - 1;
    return previous < 1 ? total : previous;
}

int PageStartIndex(int page, int perPage) {
    return page > 1 && perPage > 0 ? (page - 1) * perPage : 0;
}

std::uint32_t AutoTurnIntervalMs(std::uint8_t seconds) {
    return seconds == 0 ? kDefaultAutoTurnMs : std::uint32_t{seconds} * 1000;
}

}  // namespace yav::video
