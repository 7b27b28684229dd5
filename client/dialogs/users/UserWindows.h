#pragma once
// Plugs the participant window and the notice bubble into the room's child factories.

namespace yav::users {

void RegisterRoomWindows();

}  // namespace yav::users
