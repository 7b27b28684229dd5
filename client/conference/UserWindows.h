#pragma once
// Plugs the participant window, the preview window, the speak pop-ups of the video windows and
// the notice bubble into the room's child factories, each bound to the room that makes it.

namespace yav::users {

void RegisterRoomWindows();

}  // namespace yav::users
