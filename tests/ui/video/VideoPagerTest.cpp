// The video pager and the video-cycle dialogs offscreen, with a recording room.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

#include <vector>

#include "LayoutTestSupport.h"
#include "client/dialogs/video/CDlgVideoPageTab.h"
#include "config/AppSettings.h"
#include "config/ConfigManger.h"
#include "platform/core/Profile.h"
#include "platform/window/testing/WindowTesting.h"

namespace {

using layout_test::CommandSink;

class FakePagerHost : public IVideoPagerHost {
public:
    virtual ~FakePagerHost() = default;
    int GetReceivedCount() override { return received; }
    int GetWindowsPerPage() override { return perPage; }
    int GetUsedWndCount() override { return used; }
    void ApplyVideoWindows() override { calls.push_back(-1); }
    int LayoutVideoWindows(int start, int count) override {
        calls.push_back(start);
        (void)count;
        return 0;
    }
    QWidget* GetCommandTarget() override { return target; }

    int received = 10;
    int perPage = 4;
    int used = 4;
    // -1 for ApplyVideoWindows, else the start index of a layout.
    std::vector<int> calls;
    QWidget* target = nullptr;
};

class VideoPagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        layout_test::LoadModules();
        saved = g_AppSettings;
        g_AppSettings.freeLayout = 1;
        host.target = &sink;
        pager.Create(CDlgVideoPageTab::IDD, &parent);
        parent.show();
    }
    void TearDown() override { g_AppSettings = saved; }

    CYavPngButton& Button(int id) { return *dynamic_cast<CYavPngButton*>(pager.GetDlgItem(id)); }
    QString PageText() { return dynamic_cast<CEditXP*>(pager.GetDlgItem(1312))->text(); }
    QString TotalText() {
        return dynamic_cast<yav::Window*>(pager.GetDlgItem(1323))->GetWindowText();
    }

    ST_APP_SETTINGS saved;
    QWidget parent;
    CommandSink sink;
    FakePagerHost host;
    CDlgVideoPageTab pager{&parent, &host};
};

TEST_F(VideoPagerTest, TotalsFollowTheReceivedVideos) {
    pager.UpdatePager();
    EXPECT_TRUE(pager.IsWindowVisible());
    EXPECT_EQ(pager.GetPageTotal(), 3);
    EXPECT_EQ(TotalText(), QStringLiteral("/3"));
    EXPECT_EQ(Button(CDlgVideoPageTab::IDC_LAYOUT_9).GetState(), 1u);

    pager.SetCurrentPage(3);
    host.received = 8;
    pager.UpdatePager();
    EXPECT_EQ(TotalText(), QStringLiteral("/2"));
    // The current page never stands beyond the total.
    EXPECT_EQ(pager.GetCurrentPage(), 2);
    EXPECT_EQ(PageText(), QStringLiteral("2"));

    // No windows per page: total 0, no division.
    host.perPage = 0;
    pager.UpdatePager();
    EXPECT_EQ(pager.GetPageTotal(), 0);
    EXPECT_EQ(pager.GetCurrentPage(), 0);
}

TEST_F(VideoPagerTest, HiddenAndStoppedWithoutTheLayoutFlag) {
    pager.UpdatePager();
    pager.SetAutoPage(1);
    g_AppSettings.freeLayout = 0;
    pager.UpdatePager();
    EXPECT_FALSE(pager.IsWindowVisible());
    EXPECT_EQ(pager.IsAutoPage(), 0);
    EXPECT_FALSE(pager.IsTimerSet(CDlgVideoPageTab::TIMER_AUTO_PAGE));
}

TEST_F(VideoPagerTest, NextAndPreviousWrapAndLayOutThePage) {
    pager.UpdatePager();
    pager.SetCurrentPage(3);
    pager.NextPage();
    EXPECT_EQ(pager.GetCurrentPage(), 1);
    EXPECT_EQ(PageText(), QStringLiteral("1"));
    pager.PreviousPage();
    EXPECT_EQ(pager.GetCurrentPage(), 3);
    EXPECT_EQ(host.calls, (std::vector<int>{-1, 0, -1, 8}));

    // One page: neither button turns.
    host.received = 3;
    pager.UpdatePager();
    host.calls.clear();
    pager.SetCurrentPage(1);
    pager.NextPage();
    pager.PreviousPage();
    EXPECT_EQ(pager.GetCurrentPage(), 1);
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(VideoPagerTest, AutoTurningArmsItsTimerAndTurns) {
    struct Case {
        std::uint8_t seconds;
        int elapse;
    };
    for (const Case c : {Case{0, 10000}, Case{15, 15000}}) {
        g_AppSettings.bWatchAutoTime = c.seconds;
        pager.SetAutoPage(1);
        EXPECT_EQ(pager.GetTimerElapse(CDlgVideoPageTab::TIMER_AUTO_PAGE), c.elapse);
        EXPECT_EQ(Button(CDlgVideoPageTab::IDC_AUTO_PAGE).GetWindowText(), LoadLangString(2644));
    }
    pager.UpdatePager();
    pager.SetCurrentPage(1);
    ASSERT_TRUE(yav::testing::TimerDriver::Fire(pager, CDlgVideoPageTab::TIMER_AUTO_PAGE));
    EXPECT_EQ(pager.GetCurrentPage(), 2);

    // With one page the timer lays the videos out again while some are not shown.
    host.received = 3;
    host.used = 2;
    pager.UpdatePager();
    host.calls.clear();
    ASSERT_TRUE(yav::testing::TimerDriver::Fire(pager, CDlgVideoPageTab::TIMER_AUTO_PAGE));
    EXPECT_EQ(host.calls, (std::vector<int>{0}));
    host.used = 3;
    ASSERT_TRUE(yav::testing::TimerDriver::Fire(pager, CDlgVideoPageTab::TIMER_AUTO_PAGE));
    EXPECT_EQ(host.calls, (std::vector<int>{0}));
}

TEST_F(VideoPagerTest, ButtonsPostTheirCommands) {
    struct Case {
        int button;
        int command;
        int checked;
    };
    const Case cases[] = {
        {CDlgVideoPageTab::IDC_LAYOUT_1, 32855, CDlgVideoPageTab::IDC_LAYOUT_1},
        {CDlgVideoPageTab::IDC_LAYOUT_4, 32857, CDlgVideoPageTab::IDC_LAYOUT_4},
        {CDlgVideoPageTab::IDC_LAYOUT_9, 32858, CDlgVideoPageTab::IDC_LAYOUT_9},
        {CDlgVideoPageTab::IDC_LAYOUT_16, 32859, CDlgVideoPageTab::IDC_LAYOUT_16}};
    for (const Case& c : cases) {
        sink.commands.clear();
        Button(c.button).click();
        QApplication::processEvents();
        EXPECT_EQ(sink.commands, (std::vector<int>{c.command}));
        for (int id : {1318, 1319, 1320, 1321}) {
            EXPECT_EQ(Button(id).GetState(), id == c.checked ? 1u : 0u) << id;
        }
    }
    // Automatic turning off: the settings are asked for; on: it only stops.
    sink.commands.clear();
    Button(CDlgVideoPageTab::IDC_AUTO_PAGE).click();
    QApplication::processEvents();
    EXPECT_EQ(sink.commands, (std::vector<int>{32788}));
    pager.SetAutoPage(1);
    sink.commands.clear();
    Button(CDlgVideoPageTab::IDC_AUTO_PAGE).click();
    QApplication::processEvents();
    EXPECT_TRUE(sink.commands.empty());
    EXPECT_EQ(pager.IsAutoPage(), 0);
    // Picture in picture checks none of the four.
    pager.SelectLayoutButton(2);
    for (int id : {1318, 1319, 1320, 1321}) {
        EXPECT_EQ(Button(id).GetState(), 0u) << id;
    }
}

}  // namespace
