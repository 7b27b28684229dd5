#pragma once
// Plugs the panels into the room's child factories: each factory makes the panel window with
// the room window as parent and hands it to the room through the room's child interface.

#include "client/roomapi/RoomChildren.h"

namespace yav::panels {

void InstallPanelFactories(yav::room::RoomChildFactories& factories);

}  // namespace yav::panels
