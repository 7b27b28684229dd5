#include "UserWindows.h"

#include "ConfChatHost.h"
#include "RoomActionHost.h"
#include "RoomSpeakPopup.h"
#include "XMainFrame.h"
#include "client/dialogs/chat/ChatRoomWindows.h"
#include "client/dialogs/users/CDlgUserList.h"
#include "client/dialogs/users/CDlgUserlistMsg.h"
#include "client/dialogs/video/PreviewVideo.h"

namespace yav::users {

namespace {

constexpr UINT kNoticeBubbleImage = 1108;

}  // namespace

void RegisterRoomWindows() {
    auto& children = yav::room::Children();
    children.userList = [](QWidget* room) -> std::unique_ptr<IUserList> {
        auto list = std::make_unique<CDlgUserList>(room);
        if (!list->Create(CDlgUserList::IDD, room)) {
            return nullptr;
        }
        // The panel's requests reach this room's conference manager.
        auto* frame = dynamic_cast<XMainFrame*>(room);
        auto actions = std::make_unique<RoomActionHost>(list.get());
        if (frame != nullptr) {
            actions->SetConfManager(frame->GetConfManager());
            // The room's own video window is the tree's preview, whenever the room has one.
            QPointer<XMainFrame> owner(frame);
            actions->SetPreviewSource([owner]() -> IPreviewWindow* {
                return owner != nullptr ? dynamic_cast<IPreviewWindow*>(owner->GetOwnVideo())
                                        : nullptr;
            });
        }
        list->SetRoom(std::move(actions));
        // The chat page: the chat window over this room's conference manager.
        if (frame != nullptr && frame->GetConfManager() != nullptr) {
            CDlgUserList* panel = list.get();
            list->AttachChat(std::make_unique<ChatRoomWindows>(
                std::make_unique<ConfChatHost>(
                    *frame->GetConfManager(),
                    frame->ChatFrameOps([panel] { panel->FlashChatTab(); })),
                panel));
        }
        return list;
    };
    if (!children.ownVideo) {
        children.ownVideo = [](QWidget* room) -> std::unique_ptr<IVideo> {
            // The room's layout windows are asked which ids they show.
            QPointer<XMainFrame> owner(dynamic_cast<XMainFrame*>(room));
            auto preview = std::make_unique<PreviewVideo>(room, [owner](std::uint16_t wMediaId) {
                ILayoutManager* layout = owner != nullptr ? owner->GetLayoutManager() : nullptr;
                return layout != nullptr && layout->FindWndIndexFrom(0, wMediaId) >= 0;
            });
            if (!preview->IsWindow()) {
                return nullptr;
            }
            return preview;
        };
    }
    children.speakPopup = [](QWidget* room, QWidget* videoWindow) -> std::unique_ptr<ISpeakPopup> {
        auto* frame = dynamic_cast<XMainFrame*>(room);
        if (frame == nullptr || videoWindow == nullptr) {
            return nullptr;
        }
        return RoomSpeakPopup::Create(*frame, videoWindow);
    };
    children.userlistMsg = [](QWidget* room) -> std::unique_ptr<IUserlistMsg> {
        auto bubble = std::make_unique<CDlgUserlistMsg>(room);
        bubble->SetBkImageId(kNoticeBubbleImage);
        if (!bubble->Create(CDlgUserlistMsg::IDD, room)) {
            return nullptr;
        }
        return bubble;
    };
}

}  // namespace yav::users
