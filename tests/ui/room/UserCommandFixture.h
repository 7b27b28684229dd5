#pragma once
// A room with three other participants (a member, a chair, a second member), a layout manager
// with 37 windows, recording video reception, arrangement and media service, and a screen-share
// fake the test can reach. Receive() hands a block to the room as the pump would and checks
// that no notice text is left behind.

#include <QApplication>

#include <vector>

#include "RoomFixture.h"
#include "client/ui/CDlgPopMsg.h"
#include "fakes/conference/FakeLayoutSync.h"
#include "fakes/conference/FakeRoomMedia.h"

namespace room_test {

class UserCommandRoom : public RoomFixture {
protected:
    static constexpr std::uint16_t kBob = 24;    // member
    static constexpr std::uint16_t kChair = 40;  // chair kind
    static constexpr std::uint16_t kCarol = 32;  // member

    void SetUp() override {
        RoomFixture::SetUp();
        yav::room::Components().createScreenShare = [this]() {
            auto share = std::make_unique<fakes::FakeScreenShare>(log);
            screen = share.get();
            return share;
        };
        yav::room::Children().layoutManager = [this](QWidget*) {
            auto manager = std::make_unique<fakes::FakeLayoutManager>(log);
            manager->mediaPlay = true;
            layout = manager.get();
            return manager;
        };
        yav::room::Children().roomMedia = [this]() {
            auto roomMedia = std::make_unique<fakes::FakeRoomMedia>(log);
            roomMedia->streams = false;
            return roomMedia;
        };
        fake.users.AddUser(kBob, u"bob");
        fake.users.AddUser(kChair, u"chair").kind = USER_KIND_CHAIR;
        fake.users.AddUser(kCarol, u"carol");
        Reopen();
    }

    // The frame again, with the screen-share fake above or without screen sharing.
    void Reopen(bool withScreenShare = true) {
        CloseRoom();
        frame.reset();
        if (!withScreenShare) {
            yav::room::Components().createScreenShare = {};
            screen = nullptr;
        }
        frame = std::make_unique<XMainFrame>();
        g_pMainFrame = frame.get();
        ASSERT_EQ(frame->LoginCs(kConfId, nullptr, 0), 0);
        Open();
        frame->SetVideoReception(&reception);
        frame->SetRoomArrangement(&arrangement);
        log.Clear();
        fake.transmissions.clear();
        fake.attributeWrites.clear();
        fake.userDataWrites.clear();
    }

    void TearDown() override {
        if (frame) {
            frame->SetVideoReception(nullptr);
            frame->SetRoomArrangement(nullptr);
        }
        RoomFixture::TearDown();
    }

    void Receive(std::uint16_t from, std::uint16_t sub, const std::vector<std::uint8_t>& bytes,
                 std::uint16_t to = kMyId) {
        frame->OnTransmit(to, from, sub, bytes.empty() ? nullptr : bytes.data(),
                          static_cast<std::uint16_t>(bytes.size()));
        EXPECT_TRUE(frame->GetNoticeText().isEmpty()) << "sub " << sub << " left a notice";
    }

    // The control prompt while it is shown (a modeless box), else null.
    static CDlgPopMsg* VisiblePrompt() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* box = dynamic_cast<CDlgPopMsg*>(widget);
                box != nullptr && box->isVisible() && !box->IsModalBox()) {
                return box;
            }
        }
        return nullptr;
    }

    QString TipText() {
        CMsgTipsDlg* tip = frame->GetTipsHolder().GetTip();
        return tip != nullptr ? tip->GetText() : QString();
    }

    fakes::FakeScreenShare* screen = nullptr;
    fakes::FakeLayoutManager* layout = nullptr;
    fakes::FakeVideoReception reception{log};
    fakes::FakeArrangement arrangement{log};
};

}  // namespace room_test
