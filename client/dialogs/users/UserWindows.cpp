#include "UserWindows.h"

#include "CDlgUserList.h"
#include "CDlgUserlistMsg.h"
#include "PreviewVideo.h"
#include "RoomSpeakPopup.h"
#include "client/conference/XMainFrame.h"
#include "client/dialogs/chat/ChatRoomWindows.h"

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
        // The chat page: the chat window over this room's conference manager.
        auto* frame = dynamic_cast<XMainFrame*>(room);
        if (frame != nullptr) {
            // The room's own video window is the tree's preview, whenever the room has one.
            QPointer<XMainFrame> owner(frame);
            list->GetRoomActionHost().SetPreviewSource([owner]() -> IPreviewWindow* {
                return owner != nullptr ? dynamic_cast<IPreviewWindow*>(owner->GetOwnVideo())
                                        : nullptr;
            });
        }
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
            auto preview = std::make_unique<PreviewVideo>(room);
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
