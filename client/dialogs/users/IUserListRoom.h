#pragma once
// The room as the participant panel sees it: the tree actions' way into the conference, the
// preview window a row opens, the full-screen strip told of the page while the panel floats,
// and what the room's other windows do when the presenter or a broadcast changes. The room
// gives the panel one; without it the panel acts on nothing.

#include <cstdint>
#include <optional>

#include "TreeActions.h"

class IFullDockX;
class IPreviewWindow;

namespace yav::users {

class IUserListRoom : public ITreeActionHost {
public:
    // Null until the room has its preview window.
    virtual IPreviewWindow* GetPreviewWindow() const = 0;
    // Null while the room has no full-screen strip.
    virtual IFullDockX* GetFullDock() const = 0;
    // The local user's voice group as the conference keeps it; nothing while it is unknown.
    virtual std::optional<std::uint32_t> GetMyVoiceGroup() const = 0;
    // Someone else presents now: the room's tool bar and document window follow.
    virtual void OnOtherPresenter() = 0;
    // The room's video windows showing the channel mark its broadcast.
    virtual void SetVideoSpeakIndicator(std::uint16_t mediaId, bool on) = 0;
};

}  // namespace yav::users
