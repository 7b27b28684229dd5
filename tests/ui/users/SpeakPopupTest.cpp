// The speak pop-up over a video: its buttons' requests, its picture and its hiding.

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "UsersUiSupport.h"
#include "dialogs/users/CDlgSpeek.h"
#include "fakes/ui/RecordingWindow.h"
#include "fakes/users/RecordingActionHost.h"
#include "platform/window/testing/WindowTesting.h"

using namespace yav::users;

namespace {

struct ChairHost : fakes::RecordingActionHost {
    ChairHost() { limits = {2, 1, 4, 4}; }
};

struct SpeakPopupTest : ::testing::TestWithParam<double> {
    void SetUp() override {
        users_ui::LoadResources();
        record = std::make_shared<ST_USER_ITEM_DEPT>();
        record->userId = 16;
        record->audioDevice = 1;
        record->channelMask = 0x03;
        video.MoveWindow(0, 0, yav::Scaled(320), yav::Scaled(240));
        popup = std::make_unique<CDlgSpeek>(
            &video, host, [this](std::uint16_t id) { return (id & ~7) == 16 ? record : nullptr; },
            [this] { return broadcasting; });
        ASSERT_TRUE(popup->Create(CDlgSpeek::IDD, &video));
        popup->SetUserId(17);
        video.show();
        popup->ShowWindow(SW_SHOWNOACTIVATE);
    }
    void ClickSpeak() {
        QTest::mouseClick(popup->GetDlgItem(CDlgSpeek::IDC_SPEAK), Qt::LeftButton);
    }
    void ClickBroadcast() {
        QTest::mouseClick(popup->GetDlgItem(CDlgSpeek::IDC_BROADCAST), Qt::LeftButton);
    }
    users_ui::ScaleScope scale{GetParam()};
    ChairHost host;
    std::shared_ptr<ST_USER_ITEM_DEPT> record;
    int broadcasting = 0;
    yav::fakes::RecordingWindow video;
    std::unique_ptr<CDlgSpeek> popup;
};

}  // namespace

TEST_P(SpeakPopupTest, SpeakButtonGrantsTakesBackAndStopsAtTheLimit) {
    ClickSpeak();
    EXPECT_EQ(host.calls, (std::vector<std::string>{"AwardSpeek 16 2"}));
    EXPECT_EQ(popup->GetSpeakState(), 1);
    record->speakState = 2;
    host.speakers = 5;
    ClickSpeak();
    EXPECT_EQ(host.calls.back(), "AwardSpeek 16 0");
    record->speakState = 0;
    host.speakers = 2;
    ClickSpeak();
    EXPECT_EQ(host.calls.back(), "Notice 2245 2");
    popup->SetUserId(40);  // nobody
    ClickSpeak();
    EXPECT_EQ(host.calls.size(), 3u);
}

TEST_P(SpeakPopupTest, BroadcastButtonAndPicture) {
    ClickBroadcast();
    EXPECT_EQ(host.calls.back(), "BroadcastVideo 17 1");
    EXPECT_EQ(popup->GetBroadcastIcon(), 0);  // the server's answer sets the icon
    broadcasting = 1;
    record->broadcastMask = 0;
    ClickBroadcast();
    EXPECT_EQ(host.calls.size(), 1u);  // at the limit nothing happens
    popup->SetBroadcastIcon(1);
    popup->SetSpeakState(2);
    const QImage picture = popup->GetLayeredPicture();
    ASSERT_EQ(picture.size(), QSize(yav::Scaled(76), yav::Scaled(37)));
    // Both buttons are drawn; the gap between them stays clear.
    EXPECT_GT(picture.pixelColor(yav::Scaled(18), yav::Scaled(18)).alpha(), 0);
    EXPECT_GT(picture.pixelColor(yav::Scaled(58), yav::Scaled(18)).alpha(), 0);
    EXPECT_EQ(picture.pixelColor(yav::Scaled(38), yav::Scaled(18)).alpha(), 0);
    users_ui::SaveGrab(picture, users_ui::GrabName("users_speak_popup", GetParam()));
}

TEST_P(SpeakPopupTest, HidesOnceTheCursorLeavesTheAnchor) {
    popup->SetAnchorRect(0, 0, 100, 100);
    QPoint cursor(50, 50);
    popup->SetCursorSource([&] { return cursor; });
    popup->StartHideTimer();
    ASSERT_TRUE(yav::testing::TimerDriver::Fire(*popup, CDlgSpeek::kHideTimer));
    EXPECT_TRUE(popup->isVisible());
    cursor = QPoint(150, 50);
    yav::testing::TimerDriver::Fire(*popup, CDlgSpeek::kHideTimer);
    EXPECT_FALSE(popup->isVisible());
    EXPECT_FALSE(popup->IsTimerSet(CDlgSpeek::kHideTimer));
}

INSTANTIATE_TEST_SUITE_P(Scales, SpeakPopupTest, ::testing::Values(1.0, 1.5));
