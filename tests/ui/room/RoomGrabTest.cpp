// Pictures of the room and its boxes at scale 1.0 and 1.5, saved for review; each asserts
// what it must show: its size, its texts uncut, its caption band.

#include <QApplication>
#include <QImage>
#include <QScreen>

#include "GrabChecks.h"
#include "RoomFixture.h"
#include "client/conference/AboutDlg.h"
#include "client/dialogs/login/CDlgReconnect.h"
#include "ui/CDlgPopMsg.h"
#include "ui/controls/ControlTestSupport.h"

namespace room_test {
namespace {

using yav::testing::TimerDriver;

class RoomGrab : public RoomFixture, public ::testing::WithParamInterface<double> {
protected:
    double Scale() const override { return GetParam(); }
};

TEST_P(RoomGrab, TheRoomFillsTheWorkArea) {
    Open();
    const QImage picture = frame->grab().toImage();
    EXPECT_EQ(picture.size(), frame->size());
    EXPECT_EQ(frame->size(), frame->screen()->availableGeometry().size());
    EXPECT_EQ(frame->windowTitle(), LoadLangString(1));
    controls_test::SaveGrab(*frame, Name("room", GetParam()));
}

TEST_P(RoomGrab, TheReconnectNoticeShowsItsWholeMessage) {
    Open();
    fake.loginResult = -1;
    fake.queue.Push(ST_CS_MSG{});
    ASSERT_TRUE(TimerDriver::Fire(*frame, CYavClientDlg::TIMER_RECV_DATA));
    CDlgReconnect* notice = frame->GetReconnectDlg();
    ASSERT_NE(notice, nullptr);
    const QImage picture = notice->grab().toImage();
    EXPECT_EQ(picture.size(), QSize(yav::Scaled(300), yav::Scaled(150)));
    ExpectCaptionBand(picture);
    auto* message =
        dynamic_cast<CTransparentStatic*>(notice->GetDlgItem(CDlgReconnect::IDC_MESSAGE));
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(Shown(*message), LoadLangString(337));
    controls_test::SaveGrab(*notice, Name("room_reconnect_notice", GetParam()));
}

TEST_P(RoomGrab, TheLeaveQuestionsShowTheirWholeText) {
    const struct {
        int docBusy;
        int text;
        int type;
        const char* name;
    } cases[] = {{0, 367, 1, "room_leave_367_1"}, {1, 3301, 15, "room_leave_3301_15"}};
    Open();
    for (const auto& c : cases) {
        docShare->state1 = c.docBusy;
        const bool seen = CatchModalBox<CDlgPopMsg>(
            [&] { frame->SendMessage(WM_CLOSE_ROOM, 0, 0); },
            [&](CDlgPopMsg& box) {
                ExpectWholeBox(box, LoadLangString(370), LoadLangString(c.text), c.name);
                EXPECT_EQ(box.GetType(), c.type);
                controls_test::SaveGrab(box, Name(c.name, GetParam()));
            },
            IDCANCEL);
        EXPECT_TRUE(seen) << c.name;
        EXPECT_TRUE(frame->IsWindow());
    }
}

TEST_P(RoomGrab, TheAboutBoxShowsTitleAndVersion) {
    Open();
    g_AppSettings.clientversion = QStringLiteral("1.2.3");
    const bool seen = CatchModalBox<CAboutDlg>(
        [&] { frame->SendMessage(WM_SYSCOMMAND_ROOM, 16, 0); },
        [&](CAboutDlg& about) {
            const QImage picture = about.grab().toImage();
            EXPECT_EQ(picture.size(), QSize(yav::Scaled(300), yav::Scaled(150)));
            ExpectCaptionBand(picture);
            EXPECT_EQ(Shown(about.GetTitleLabel()), LoadLangString(1));
            EXPECT_EQ(Shown(about.GetVersionLabel()), LoadLangString(1) + QStringLiteral(" 1.2.3"));
            controls_test::SaveGrab(about, Name("room_about", GetParam()));
        },
        IDOK);
    EXPECT_TRUE(seen);
}

INSTANTIATE_TEST_SUITE_P(Scales, RoomGrab, ::testing::Values(1.0, 1.5));

}  // namespace
}  // namespace room_test
