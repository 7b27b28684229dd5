#pragma once
// The panels' tick count: milliseconds of the steady clock as an unsigned 32-bit value that
// wraps like the system tick count. Tests replace the source to drive time themselves.

#include <cstdint>
#include <functional>

namespace yav::panels {

std::uint32_t GetTickCount();
// A null source restores the steady clock.
void SetTickSource(std::function<std::uint32_t()> source);

}  // namespace yav::panels
