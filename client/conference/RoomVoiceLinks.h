#pragma once
// The voice-activation notice and the room's video windows, joined by the room: the notice
// finds the window that shows a channel (outside the video cycle) through the layout manager,
// and the window moves or hides the notice standing on it.

#include <QPointer>

#include <array>
#include <memory>

#include "client/dialogs/panels/CDlgVoiceIncentive.h"
#include "client/dialogs/panels/PanelNeighbours.h"
#include "client/dialogs/video/IVideoWindowHost.h"

class ILayoutManager;

class RoomVoiceLinks {
public:
    // The room's video windows, 0..36.
    static constexpr int kSlots = 37;

    // The window that shows the channel outside the video cycle, or null.
    IVoiceVideoWindow* FindWindow(ILayoutManager* layout, int mediaId);

private:
    // What a video window calls on the notice standing on it. The notice may go before the
    // window does: then the calls do nothing.
    class NoticeLink final : public IVoiceNotice {
    public:
        void Set(CDlgVoiceIncentive* notice) { notice_ = notice; }
        void PlaceNotice(const QRect& windowRect, int flag) override;
        void HideNotice() override;

    private:
        QPointer<CDlgVoiceIncentive> notice_;
    };

    // One video window slot as the notice sees it.
    class WindowLink final : public IVoiceVideoWindow {
    public:
        WindowLink(RoomVoiceLinks& links, int slot) : links_(links), slot_(slot) {}
        QRect GetWindowRect() override;
        bool CanShowCaption() override;
        void SetVoiceNotice(CDlgVoiceIncentive* notice) override;

    private:
        RoomVoiceLinks& links_;
        const int slot_;
    };

    ILayoutManager* layout_ = nullptr;
    NoticeLink notice_;
    std::array<std::unique_ptr<WindowLink>, kSlots> windows_{};
};
