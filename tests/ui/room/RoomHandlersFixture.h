#pragma once
// The room opened with everything its participant and conference handlers reach: the layout
// manager with 37 video windows, the media manager's reception, the video reception, the
// bulletin board and the voice-incentive pane, all recording into the shared call log.

#include <string>
#include <vector>

#include "RoomFixture.h"
#include "fakes/conference/FakeRoomMedia.h"

namespace room_test {

class FakeVoiceIncentive : public fakes::FakeChild<IVoiceIncentive> {
public:
    explicit FakeVoiceIncentive(fakes::CallLog& log) : FakeChild(log, "VoiceIncentive") {}
    void HideNotice() override { Add("HideNotice()"); }
    std::uint16_t GetShownUser() const override { return shownUser; }
    void OnVoiceActivation(int mediaId) override { Add(fakes::Call("OnVoiceActivation", mediaId)); }
    void PlaceNotice(const QRect&, BOOL fromMainWindow) override {
        Add(fakes::Call("PlaceNotice", fromMainWindow));
    }
    std::uint16_t shownUser = 0;
};

// The room's own video window (the participant tree's preview), recording as window 99.
class FakeOwnVideo : public fakes::FakeChild<IVideo> {
public:
    explicit FakeOwnVideo(fakes::CallLog& log) : FakeChild(log, "OwnVideo"), window(log, 99) {}
    IVideoWindow* GetVideoWindow() override { return &window; }
    fakes::FakeRoomVideoWindow window;
};

class RoomHandlers : public RoomFixture {
protected:
    static constexpr std::uint16_t kOther = 24;

    void SetUp() override {
        RoomFixture::SetUp();
        yav::room::RoomChildFactories& make = yav::room::Children();
        make.layoutManager = [this](QWidget*) {
            auto child = std::make_unique<fakes::FakeLayoutManager>(log);
            layout = child.get();
            return child;
        };
        make.roomMedia = [this]() {
            auto child = std::make_unique<fakes::FakeRoomMedia>(log);
            roomMedia = child.get();
            return child;
        };
        make.bulletinBoard = [this]() {
            auto child = std::make_unique<fakes::FakeBulletinBoard>(log);
            bulletin = child.get();
            return child;
        };
        make.voiceIncentive = [this](QWidget*) {
            auto child = std::make_unique<FakeVoiceIncentive>(log);
            voice = child.get();
            return child;
        };
        InstallMore(make);
        Open();
        frame->SetVideoReception(&reception);
        log.Clear();
    }

    void TearDown() override {
        frame->SetVideoReception(nullptr);
        RoomFixture::TearDown();
    }

    // A participant as the conference server lists it (also in the fake's user list).
    ST_USER_ITEM_DEPT& AddOther(std::uint16_t id, const std::u16string& name,
                                std::uint8_t channels = 0) {
        return fake.users.AddUser(id, name, channels);
    }

    // More children for a fixture of its own, before the room opens.
    virtual void InstallMore(yav::room::RoomChildFactories&) {}

    std::vector<QString> Notices() const { return userList->chat.lines; }

    fakes::FakeVideoReception reception{log};
    fakes::FakeLayoutManager* layout = nullptr;
    fakes::FakeRoomMedia* roomMedia = nullptr;
    fakes::FakeBulletinBoard* bulletin = nullptr;
    FakeVoiceIncentive* voice = nullptr;
};

}  // namespace room_test
