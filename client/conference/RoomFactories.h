#pragma once
// The factories the room makes its children and components with: one set for the process,
// filled by the room's own adapters and replaced by tests.

#include "client/roomapi/RoomChildren.h"

namespace yav::room {

// The factories in use.
RoomChildFactories& Children();

}  // namespace yav::room
