#include "UserWindows.h"

#include "CDlgUserList.h"
#include "CDlgUserlistMsg.h"

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
        return list;
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
