// The document manager over a recording document-share object.

#include <gtest/gtest.h>

#include "client/conference/XDocManager.h"
#include "config/AppSettings.h"
#include "config/ConfigManger.h"
#include "fakes/conference/CallLog.h"
#include "fakes/conference/FakeRoomChildren.h"
#include "fakes/conference/LogCapture.h"
#include "platform/core/Profile.h"

namespace {

class OfficeDocShare : public fakes::FakeDocShare, public IKroDocView, public IKroDocOffice {
public:
    explicit OfficeDocShare(fakes::CallLog& log) : FakeDocShare(log), log_(log) {}
    IKroDocView* GetView() override { return this; }
    IKroDocOffice* GetOffice() override { return this; }
    void SetViewValue(std::int32_t) override {}
    void RestoreAfterReconnect() override { log_.Add("View.RestoreAfterReconnect()"); }
    void SetDocOption(std::int32_t) override {}
    void GotoPage(std::uint16_t a, std::uint16_t b, std::uint16_t c) override {
        log_.Add(fakes::Call("View.GotoPage", a, b, c));
    }
    int GetZoomPercent() override { return 75; }
    void Refresh() override {}
    int CheckOfficeSuite() override { return office; }
    void GetOptions(std::uint8_t* a, std::uint8_t* b, std::uint8_t* c) override {
        *a = 0;
        *b = 3;
        *c = 9;
    }
    int office = 1;

private:
    fakes::CallLog& log_;
};

class DocManager : public ::testing::Test {
protected:
    void TearDown() override { yav::room::Components() = {}; }
    void Install(int office) {
        yav::room::Components().createDocShare = [this, office](std::uint32_t value, int) {
            log.Add(fakes::Call("Create", value));
            auto share = std::make_unique<OfficeDocShare>(log);
            share->office = office;
            return share;
        };
    }
    fakes::CallLog log;
};

TEST_F(DocManager, WithoutTheComponentEveryCallAnswersItsDefault) {
    XDocManager manager(3);
    EXPECT_FALSE(manager.HasObject());
    EXPECT_EQ(manager.GetState(), -1);
    EXPECT_EQ(manager.GetZoomPercent(), 0);
    EXPECT_EQ(manager.QueryState1(), 0);
    EXPECT_EQ(manager.StartShare(QStringLiteral("a"), 1, 2, 3, 4, QStringLiteral("b"), 5), 0);
    manager.SetFollowLead(0);
    EXPECT_EQ(manager.GetFollowLead(), 0);
}

TEST_F(DocManager, StartShareAppliesTheStoredFollowLeadFirst) {
    const std::string ini = g_ConfigManager.GetClientIniPath().toStdString();
    yav::profile::WriteString("WBFileControl", "DocFollowLead", "1", ini);
    Install(1);
    XDocManager manager(3);
    ASSERT_TRUE(manager.HasObject());
    EXPECT_EQ(manager.StartShare(QStringLiteral("10.0.0.6"), 7200, 2, 0x1234, 4,
                                 QStringLiteral("10.0.0.8"), 7200),
              1);
    EXPECT_EQ(log.Calls(), (std::vector<std::string>{"Create(3)", "DocShare.SetFollowLead(1,0)",
                                                     "DocShare.StartShare(10.0.0.6,7200,4660)"}));
    EXPECT_EQ(manager.GetFollowLead(), 1);
    EXPECT_EQ(manager.GetZoomPercent(), 75);
    manager.GotoPage(1, 2, 3);
    EXPECT_EQ(log.Calls().back(), "View.GotoPage(1,2,3)");
    manager.ReadOfficeOptions();
    EXPECT_EQ(g_AppSettings.byOfficeOption, 9);
    EXPECT_EQ(g_AppSettings.bOfficeFlagA, 0);
    EXPECT_EQ(g_AppSettings.bOfficeFlagB, 1);
    yav::profile::WriteString("WBFileControl", "DocFollowLead", "0", ini);
}

TEST_F(DocManager, AMissingOfficeSuiteIsLogged) {
    for (int office : {0, 1}) {
        fakes::LogCapture lines;
        Install(office);
        XDocManager manager(0);
        EXPECT_EQ(lines.Contains("检查是否安装WPS或者office启动失败"), office == 0);
    }
}

}  // namespace
