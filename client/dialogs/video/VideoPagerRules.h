#pragma once
// The arithmetic of the video pager: page totals, turning with wrap-around, and the period
// of automatic turning. No window here.

#include <cstdint>

namespace yav::video {

// Pages needed for `received` videos at `perPage` windows a page; 0 when no window shows a
// page (0 windows per page), so nothing divides by zero.
int PageTotal(int received, int perPage);
// The page after `current`: past the total it wraps to 1.
int NextPage(int current, int total);
// The page before `current`: below 1 it wraps to the total.
int PreviousPage(int current, int total);
// The first media-id index of a page (1-based).
int PageStartIndex(int page, int perPage);
// Milliseconds between automatic turns for the stored seconds; an unset (0) interval turns
// every 10 s, never with a 0 ms timer.
std::uint32_t AutoTurnIntervalMs(std::uint8_t seconds);

}  // namespace yav::video
