#pragma once
// The relay's wire format lives with the protocol code, shared with yavserver's relay.

#include "MediaRelayWire.h"

namespace kromedia {
namespace relay = yav::relay;
}  // namespace kromedia
