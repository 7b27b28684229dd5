// What the room brings back after a lost connection, and what it must not: the chair password
// only while the chair application stands, the own row's devices, the speak and presenter
// requests that were open; and a close during the reconnection leaves nobody logged in.

#include <QApplication>
#include <QTest>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "RoomFixture.h"
#include "client/conference/RoomMedia.h"
#include "client/dialogs/login/CDlgChairPws.h"
#include "client/dialogs/login/CDlgReconnect.h"
#include "client/dialogs/panels/CDlgControlBar.h"
#include "client/dialogs/panels/PanelChildren.h"
#include "client/ui/CButtonCheck.h"
#include "client/ui/CDlgPopSwitch.h"
#include "components/KroMedia/Devices.h"
#include "fakes/conference/LogCapture.h"

namespace room_test {
namespace {

using yav::testing::ModalAnswer;
using yav::testing::TimerDriver;
using yav::testing::WaitUntil;

class RoomReEntry : public RoomFixture {
protected:
    void SetUp() override {
        RoomFixture::SetUp();
        fake.appInfo.speakerLimit = 4;
        yav::panels::InstallPanelFactories(yav::room::Children());
        InstallMore(yav::room::Children());
        Open();
        frame->reconnectIntervalMs = 20;
    }

    // More children for a fixture of its own, before the room opens.
    virtual void InstallMore(yav::room::RoomChildFactories&) {}

    void Pump(ST_CS_MSG message) {
        fake.queue.Push(std::move(message));
        ASSERT_TRUE(TimerDriver::Fire(*frame, CYavClientDlg::TIMER_RECV_DATA));
    }
    void PumpValue(std::uint32_t type, std::uint32_t data) {
        ST_CS_MSG message;
        message.type = type;
        message.data = data;
        Pump(std::move(message));
    }
    // The connection drops; the reconnect worker logs in again and the room takes it over.
    void Reconnect() {
        log.Clear();
        Pump(ST_CS_MSG{});
        ASSERT_NE(frame->GetReconnectDlg(), nullptr);
        ASSERT_TRUE(
            WaitUntil([this] { return frame->isEnabled() && !frame->IsReconnecting(); }, 10000));
    }
    // The room is left and the same frame enters a conference again, as the road does it.
    void NewStay() {
        CloseRoom();
        ASSERT_EQ(frame->LoginCs(kConfId, nullptr, 0), 0);
        Open();
        frame->reconnectIntervalMs = 20;
    }

    static void Click(QWidget& control) {
        ASSERT_TRUE(control.isVisible()) << control.metaObject()->className();
        ASSERT_TRUE(control.isEnabled()) << control.metaObject()->className();
        QTest::mouseClick(&control, Qt::LeftButton, {}, control.rect().center());
    }
    // The control bar's meeting menu, opened by its button, and the item of that command.
    void ChooseMeetingItem(int command) {
        auto* bar = Find<CDlgControlBar>();
        ASSERT_NE(bar, nullptr);
        if (bar->MeetingMenu() == nullptr) {
            ASSERT_TRUE(TimerDriver::Fire(*bar, CDlgControlBar::kCreatePopupsTimer));
        }
        QWidget* button = yav::FindControl(bar, CDlgControlBar::IDC_MEETING);
        ASSERT_NE(button, nullptr);
        Click(*button);
        ASSERT_TRUE(bar->MeetingMenu()->IsWindowVisible());
        CButtonCheck* item = bar->MeetingMenu()->GetButton(static_cast<DWORD>(command));
        ASSERT_NE(item, nullptr) << command;
        // The command is posted to the bar, which hands it on to the room.
        Click(*item);
    }
    // Applies for the chair with a password typed into the password box.
    void ApplyForChair(const QString& password) {
        log.Clear();
        ModalAnswer answer([&password](yav::Dialog& dialog) {
            QWidget* edit = yav::FindControl(&dialog, CDlgChairPws::IDC_PASSWORD);
            QWidget* ok = yav::FindControl(&dialog, CDlgChairPws::IDC_OK_BUTTON);
            ASSERT_NE(edit, nullptr);
            ASSERT_NE(ok, nullptr);
            QTest::keyClicks(edit, password);
            QTest::mouseClick(ok, Qt::LeftButton, {}, ok->rect().center());
        });
        ChooseMeetingItem(32772);
        ASSERT_TRUE(WaitUntil([&answer] { return answer.Answered(); }));
        ASSERT_EQ(log.Count("ApplyChair(" + password.toStdString() + ")"), 1u);
    }
    // My speak state as the component reports it: my record takes it before it is queued.
    void MyAudioStatus(std::uint8_t status, std::uint8_t previous) {
        fake.users.AddUser(kMyId, u"me").speakState = status;
        ST_CS_MSG message;
        message.type = CS_MSG_USER_AUDIO_STATUS;
        message.payload = CsUserAudioStatus{kMyId, status, previous, 0};
        Pump(std::move(message));
    }
    // My presenter state likewise (record and login record first).
    void MyLeadingStatus(std::uint8_t state, std::uint8_t previous) {
        fake.users.AddUser(kMyId, u"me").presenterState = state;
        fake.loginInfo.presenterState = state;
        ST_CS_MSG message;
        message.type = CS_MSG_LEADING_STATUS;
        message.payload = CsLeadingStatus{kMyId, state, previous};
        Pump(std::move(message));
    }
    // The server drops the lost session's requests: the new login starts with none.
    void ServerForgetsTheSession() {
        fake.users.AddUser(kMyId, u"me");
        fake.loginInfo.presenterState = 0;
    }
    // The server grants the chair: my record's kind becomes 0 before the change is queued.
    void ServerMakesMeChair() {
        fake.loginInfo.kind = USER_KIND_CHAIR;
        ST_CS_MSG message;
        message.type = CS_MSG_USER_ATTR_CHANGED;
        message.payload = CsUserAttr{kMyId, 3, USER_KIND_CHAIR};
        Pump(std::move(message));
        ASSERT_TRUE(frame->IsMyRoleState0or5());
    }
};

TEST_F(RoomReEntry, TheChairIsAppliedForAgainOnlyWhileTheApplicationStands) {
    struct Case {
        const char* name;
        std::function<void()> after;
        size_t appliedAgain;
    };
    const Case cases[] = {
        {"the application stands", [] {}, 1},
        {"the server refused the password", [this] { PumpValue(CS_MSG_SYSTEM_MESSAGE, 1); }, 0},
        {"the chair was given up",
         [this] {
             ServerMakesMeChair();
             ChooseMeetingItem(32774);
             EXPECT_TRUE(WaitUntil([this] { return log.Count("GiveUpChair()") == 1; }));
         },
         0},
        {"the password belongs to the last conference", [this] { NewStay(); }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake.loginInfo.kind = 1;
        NewStay();
        ApplyForChair(QStringLiteral("pw1234"));
        c.after();
        Reconnect();
        EXPECT_EQ(log.Count("ApplyChair("), c.appliedAgain);
    }
}

TEST_F(RoomReEntry, SpeakAndPresenterRequestsOpenAtTheLossAreMadeAgain) {
    struct Case {
        const char* name;
        std::function<void()> during;
        size_t speak;
        size_t presenter;
    };
    const Case cases[] = {
        {"asked for the floor", [this] { MyAudioStatus(1, 0); }, 1, 0},
        {"asked for the floor and got it",
         [this] {
             MyAudioStatus(1, 0);
             MyAudioStatus(2, 1);
         },
         0, 0},
        {"applied to present", [this] { MyLeadingStatus(1, 0); }, 0, 1},
        {"applied to present and withdrew",
         [this] {
             MyLeadingStatus(1, 0);
             MyLeadingStatus(0, 1);
         },
         0, 0},
        {"both asked",
         [this] {
             MyAudioStatus(1, 0);
             MyLeadingStatus(1, 0);
         },
         1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NewStay();
        c.during();
        ServerForgetsTheSession();
        Reconnect();
        EXPECT_EQ(log.Count("ApplySpeak(1)"), c.speak);
        EXPECT_EQ(log.Count("ApplySpeak(0)"), 0u);
        EXPECT_EQ(log.Count("ApplyPresenter()"), c.presenter);
        EXPECT_EQ(log.Count("CancelPresenterApply()"), 0u);
        // Made once: a second reconnection asks for nothing more.
        Reconnect();
        EXPECT_EQ(log.Count("ApplySpeak("), 0u);
        EXPECT_EQ(log.Count("ApplyPresenter()"), 0u);
    }
}

TEST_F(RoomReEntry, ClosingDuringAReconnectionLeavesNobodyLoggedIn) {
    std::mutex mutex;
    std::condition_variable changed;
    bool answered = false;
    std::atomic<bool> asked{false};
    // The server holds the worker's re-login until the test lets it answer.
    fake.duringLogin = [&] {
        asked = true;
        std::unique_lock lock(mutex);
        changed.wait(lock, [&answered] { return answered; });
    };
    fakes::LogCapture lines;
    log.Clear();
    Pump(ST_CS_MSG{});
    ASSERT_TRUE(WaitUntil([&asked] { return asked.load(); }, 10000));
    const size_t logoutsBefore = log.Count("Logout()");
    // The re-login is answered once the closing room has logged out, or waits for the worker.
    std::thread server([&] {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (log.Count("Logout()") == logoutsBefore &&
               !lines.Contains("stopping the reconnect worker") &&
               std::chrono::steady_clock::now() < limit) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        {
            std::lock_guard lock(mutex);
            answered = true;
        }
        changed.notify_all();
    });
    CloseRoom();
    server.join();
    fake.duringLogin = {};
    const auto calls = log.Calls();
    long lastLogin = -1;
    long lastLogout = -1;
    for (size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].rfind("Login(", 0) == 0) {
            lastLogin = static_cast<long>(i);
        } else if (calls[i] == "Logout()") {
            lastLogout = static_cast<long>(i);
        }
    }
    ASSERT_GE(lastLogin, 0);
    EXPECT_LT(lastLogin, lastLogout);
    EXPECT_FALSE(fake.loggedIn);
}

// The room on the media component's synthetic devices: a camera and a microphone that capture.
class RoomReEntryOnDevices : public RoomReEntry {
protected:
    void SetUp() override {
        setenv("YAV_TEST_DEVICES", "cam=1,mic=1,spk=1", 1);
        kromedia::DeviceRegistry::Get().Reload();
        RoomReEntry::SetUp();
        ASSERT_TRUE(media->HasMediaComponent());
    }
    void TearDown() override {
        RoomReEntry::TearDown();
        unsetenv("YAV_TEST_DEVICES");
        kromedia::DeviceRegistry::Get().Reload();
    }
    // The room's handlers reach the real media manager.
    void InstallMore(yav::room::RoomChildFactories& make) override {
        make.roomMedia = [this]() { return std::make_unique<RoomMedia>(*frame); };
    }
};

TEST_F(RoomReEntryOnDevices, TheOwnRowGetsItsCameraAndMicrophoneBack) {
    // The room's capture start, as its timer runs it after entering.
    ASSERT_TRUE(TimerDriver::Fire(*frame, CYavClientDlg::TICAMER_SATRT_PUTRE));
    ASSERT_EQ(media->GetVideoBits(), 1);
    const std::array<std::uint8_t, 6> heard = frame->GetConfigBytes();
    Reconnect();
    const auto rows = log.Matching("UserList.SetMyDeviceState(");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], fakes::Call("UserList.SetMyDeviceState", heard[0], heard[1], heard[2],
                                   heard[3], heard[4], heard[5]));
    // The camera (owned mask) and the microphone (audio flag) are among them.
    EXPECT_EQ(heard[0], 1);
    EXPECT_NE(heard[1], 0);
}

TEST_F(RoomReEntryOnDevices, ANewPresenterBroadcastsTheCameraThatCaptures) {
    ASSERT_TRUE(TimerDriver::Fire(*frame, CYavClientDlg::TICAMER_SATRT_PUTRE));
    ASSERT_EQ(media->GetVideoBits(), 1);
    g_AppSettings.wSpeakerLimit = 4;
    log.Clear();
    MyLeadingStatus(2, 0);
    EXPECT_EQ(log.Matching("BroadcastVideo"), std::vector<std::string>{"BroadcastVideo(16,1)"});
}

}  // namespace
}  // namespace room_test
