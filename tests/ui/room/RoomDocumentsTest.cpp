// The document component and the room: it reports through the room's callbacks, and a change
// of presenter tells it the user's follow-lead setting again without overwriting it.

#include <thread>

#include "RoomFixture.h"
#include "client/conference/XDocManager.h"
#include "platform/core/Profile.h"

namespace room_test {
namespace {

using yav::testing::TimerDriver;
using yav::testing::WaitUntil;

class RoomDocuments : public RoomFixture {
protected:
    void SetUp() override {
        RoomFixture::SetUp();
        ini = g_ConfigManager.GetClientIniPath().toStdString();
    }
    void TearDown() override {
        yav::profile::WriteString("WBFileControl", "DocFollowLead", "0", ini);
        RoomFixture::TearDown();
    }
    // The server's presenter hand-over for me: my records first, then the queued change.
    void MyLeadingStatus(std::uint8_t state, std::uint8_t previous) {
        fake.users.AddUser(kMyId, u"me").presenterState = state;
        fake.loginInfo.presenterState = state;
        ST_CS_MSG message;
        message.type = CS_MSG_LEADING_STATUS;
        message.payload = CsLeadingStatus{kMyId, state, previous};
        fake.queue.Push(std::move(message));
        ASSERT_TRUE(TimerDriver::Fire(*frame, CYavClientDlg::TIMER_RECV_DATA));
    }
    std::string ini;
};

TEST_F(RoomDocuments, TheComponentReportsToTheRoomFromItsOwnThread) {
    Open();
    ASSERT_NE(docShare, nullptr);
    IKroDataHandleMsg* handler = docShare->handler;
    ASSERT_EQ(handler, static_cast<IKroDataHandleMsg*>(frame.get()));
    std::thread([handler] { handler->OnDocData(2, 5, 9); }).join();
    EXPECT_TRUE(WaitUntil([this] { return log.Count("Frame.SetPageInfo(5,9)") == 1; }));
}

TEST_F(RoomDocuments, APresenterChangeKeepsTheUsersFollowLeadSetting) {
    yav::profile::WriteString("WBFileControl", "DocFollowLead", "1", ini);
    Open();
    // The document server's login, a second after the media server's.
    ASSERT_TRUE(TimerDriver::Fire(*frame, CYavClientDlg::TIMER_LOGIN_DATASERVER));
    ASSERT_TRUE(TimerDriver::Fire(*frame, CYavClientDlg::TIMER_LOGIN_DATASERVER_2));
    ASSERT_EQ(log.Matching("DocShare.SetFollowLead"),
              std::vector<std::string>{"DocShare.SetFollowLead(1,0)"});
    log.Clear();
    MyLeadingStatus(2, 0);
    MyLeadingStatus(0, 2);
    // The presenter follows nobody, but the setting itself stays the user's: it is back when
    // the role is.
    EXPECT_EQ(
        log.Matching("DocShare.SetFollowLead"),
        (std::vector<std::string>{"DocShare.SetFollowLead(1,1)", "DocShare.SetFollowLead(1,0)"}));
    EXPECT_EQ(frame->GetDocManager()->GetFollowLead(), 1);
}

}  // namespace
}  // namespace room_test
