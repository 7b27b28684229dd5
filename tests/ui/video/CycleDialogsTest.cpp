// The video-cycle settings and filter dialogs offscreen, with a real video cycle.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include "LayoutTestSupport.h"
#include "client/dialogs/users/CSelectUserTree.h"
#include "client/dialogs/video/CDlgVideoCycle.h"
#include "client/media/VideoCycle.h"
#include "config/AppSettings.h"
#include "config/ConfigManger.h"
#include "fakes/conference/CallLog.h"
#include "fakes/conference/FakeCsUserManager.h"
#include "platform/core/Profile.h"
#include "platform/core/Scale.h"

namespace {

using layout_test::CommandSink;

class FakeDialogHost : public IVideoCycleDialogHost {
public:
    virtual ~FakeDialogHost() = default;
    CVideoCycle* GetVideoCycle() const override { return cycle; }
    ICsUserManager* GetUserSource() override { return users; }
    QWidget* GetCommandTarget() override { return target; }

    CVideoCycle* cycle = nullptr;
    ICsUserManager* users = nullptr;
    QWidget* target = nullptr;
};

class CycleDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        layout_test::LoadModules();
        saved = g_AppSettings;
        savedIni = g_ConfigManager.strClientIni;
        ASSERT_TRUE(dir.isValid());
        g_ConfigManager.strClientIni = dir.filePath(QStringLiteral("Client.ini"));
        host.cycle = &cycle;
        host.users = &users;
        host.target = &sink;
        cycle.SetSource(&users);
    }
    void TearDown() override {
        cycle.Stop(true);
        g_AppSettings = saved;
        g_ConfigManager.strClientIni = savedIni;
    }

    int IniInt(const char* key) {
        return yav::profile::GetInt("appinfo", key, -1, g_ConfigManager.strClientIni.toStdString());
    }

    ST_APP_SETTINGS saved;
    QString savedIni;
    QTemporaryDir dir;
    fakes::CallLog log;
    fakes::FakeCsUserManager users{log};
    CVideoCycle cycle;
    CommandSink sink;
    FakeDialogHost host;
};

CComboBoxXP& Combo(CDlgCycleSet& dialog, int id) {
    return *dynamic_cast<CComboBoxXP*>(dialog.GetDlgItem(id));
}

TEST_F(CycleDialogsTest, StoredIntervalPicksTheItemOfEachMode) {
    CDlgCycleSet dialog(nullptr, &host);
    dialog.Create(CDlgCycleSet::IDD);
    g_AppSettings.cycleinterval = 45;
    g_AppSettings.bWatchAutoTime = 45;
    dialog.ShowDlg(CDlgCycleSet::kModeCycle);
    EXPECT_TRUE(dialog.IsWindowVisible());
    EXPECT_EQ(Combo(dialog, CDlgCycleSet::IDC_INTERVAL).currentIndex(), 0);
    EXPECT_EQ(Combo(dialog, CDlgCycleSet::IDC_INTERVAL).currentText(), QStringLiteral("10s"));
    EXPECT_TRUE(dialog.GetDlgItem(CDlgCycleSet::IDC_FILTER)->isVisibleTo(&dialog));
    dialog.ShowDlg(CDlgCycleSet::kModeAutoPage);
    EXPECT_EQ(Combo(dialog, CDlgCycleSet::IDC_INTERVAL).currentIndex(), 1);
    EXPECT_EQ(Combo(dialog, CDlgCycleSet::IDC_INTERVAL).currentText(), QStringLiteral("15s"));
    EXPECT_FALSE(dialog.GetDlgItem(CDlgCycleSet::IDC_FILTER)->isVisibleTo(&dialog));
}

TEST_F(CycleDialogsTest, OkStoresTheChoiceAndTellsTheRoom) {
    CDlgCycleSet dialog(nullptr, &host);
    dialog.Create(CDlgCycleSet::IDD);
    g_AppSettings.cyclecount = 3;
    dialog.ShowDlg(CDlgCycleSet::kModeCycle);
    EXPECT_EQ(Combo(dialog, CDlgCycleSet::IDC_COUNT).currentText(), QStringLiteral("3"));
    Combo(dialog, CDlgCycleSet::IDC_INTERVAL).setCurrentIndex(2);
    Combo(dialog, CDlgCycleSet::IDC_COUNT).setCurrentIndex(4);
    dialog.OnOK();
    QApplication::processEvents();
    EXPECT_FALSE(dialog.IsWindowVisible());
    EXPECT_EQ(g_AppSettings.cycleinterval, 30u);
    EXPECT_EQ(cycle.GetInterval(), 30000u);
    EXPECT_EQ(IniInt("cycleinterval"), 30);
    EXPECT_EQ(g_AppSettings.cyclecount, 5u);
    EXPECT_EQ(IniInt("cyclecount"), 5);
    EXPECT_EQ(sink.commands, (std::vector<int>{32784}));

    sink.commands.clear();
    dialog.ShowDlg(CDlgCycleSet::kModeAutoPage);
    Combo(dialog, CDlgCycleSet::IDC_INTERVAL).setCurrentIndex(3);
    dialog.OnOK();
    QApplication::processEvents();
    EXPECT_EQ(g_AppSettings.bWatchAutoTime, 60);
    EXPECT_EQ(IniInt("bWatchAutoTime"), 60);
    EXPECT_EQ(IniInt("cycleinterval"), 30);
    EXPECT_EQ(sink.commands, (std::vector<int>{32787}));

    // The filter button asks the room for the filter.
    sink.commands.clear();
    dynamic_cast<QAbstractButton*>(dialog.GetDlgItem(CDlgCycleSet::IDC_FILTER))->click();
    QApplication::processEvents();
    EXPECT_EQ(sink.commands, (std::vector<int>{32786}));
}

class CycleFilterTest : public CycleDialogsTest {
protected:
    void SetUp() override {
        CycleDialogsTest::SetUp();
        users.AddUser(8, u"Ann", 0b11).videoChannelCount = 2;
        users.AddUser(16, u"Bob", 0b1).videoChannelCount = 1;
        dialog.Create(CDlgCycleFilter::IDD);
    }

    CSelectUserTree& List() { return dialog.GetTree(); }
    int Rows() { return List().model()->rowCount(); }
    QString Name(int row) { return List().model()->index(row, 0).data().toString(); }
    bool Checked(int row) {
        return List().model()->index(row, 0).data(Qt::CheckStateRole).toInt() == Qt::Checked;
    }
    // A click on a row's check mark, at the right end of the row, as the user clicks it.
    void ClickMark(int row) {
        const QRect rect = List().visualRect(List().model()->index(row, 0));
        QTest::mouseClick(List().viewport(), Qt::LeftButton, {},
                          QPoint(List().viewport()->width() - yav::Scaled(8), rect.center().y()));
        QApplication::processEvents();
    }

    CDlgCycleFilter dialog{nullptr, &host};
};

TEST_F(CycleFilterTest, ListsEveryChannelWithItsMark) {
    cycle.AddFilterUser(8);
    cycle.AddFilterUser(16);
    dialog.ShowDlg();
    // The participants' channels are the check-box user tree's entries.
    EXPECT_EQ(dialog.GetDlgItem(CDlgCycleFilter::IDC_TREE), &List());
    ASSERT_EQ(Rows(), 3);
    EXPECT_EQ(Name(0), QStringLiteral("Ann"));
    EXPECT_EQ(Name(1), QStringLiteral("Ann-2"));
    EXPECT_EQ(Name(2), QStringLiteral("Bob"));
    EXPECT_TRUE(Checked(0));
    EXPECT_FALSE(Checked(1));
    EXPECT_EQ(dialog.IsAllSelected(), 0);

    // Ticking the last one makes the select-all mark follow; unticking one clears it.
    ClickMark(1);
    EXPECT_TRUE(Checked(1));
    EXPECT_EQ(dialog.IsAllSelected(), 1);
    ClickMark(2);
    EXPECT_EQ(dialog.IsAllSelected(), 0);
    std::vector<yav::users::SelectUserEntry> checked;
    std::vector<yav::users::SelectUserEntry> unchecked;
    List().GetCheckedUsers(checked, unchecked);
    ASSERT_EQ(checked.size(), 2u);
    EXPECT_EQ(checked[1].key, 9u);
    ASSERT_EQ(unchecked.size(), 1u);
    EXPECT_EQ(unchecked[0].key, 16u);
}

TEST_F(CycleFilterTest, EnterEscapeAndSpaceDoNotCloseIt) {
    dialog.ShowDlg();
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Space}) {
        QTest::keyClick(&dialog, key);
        EXPECT_TRUE(dialog.IsWindowVisible()) << key;
    }
    EXPECT_EQ(Rows(), 3);
}

TEST_F(CycleFilterTest, WithoutParticipantsSelectAllStartsCleared) {
    fakes::FakeCsUserManager none{log};
    host.users = &none;
    dialog.ShowDlg();
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(dialog.IsAllSelected(), 0);
}

TEST_F(CycleFilterTest, OkWritesTheSelectionAndFiltersOnlyWhenSomeAreLeftOut) {
    dialog.ShowDlg();
    ClickMark(0);
    dynamic_cast<QAbstractButton*>(dialog.GetDlgItem(CDlgCycleFilter::IDC_OK_BUTTON))->click();
    EXPECT_FALSE(dialog.IsWindowVisible());
    EXPECT_TRUE(cycle.HasFilterUser(8));
    EXPECT_FALSE(cycle.HasFilterUser(9));
    EXPECT_FALSE(cycle.HasFilterUser(16));
    // Filtering: a newly seen participant's channels are not selected on their own.
    users.AddUser(24, u"Cy", 0b1).videoChannelCount = 1;
    cycle.AddUserChannels(24);
    EXPECT_FALSE(cycle.HasFilterUser(24));

    // Select all, then OK: every key is in the set.
    dialog.ShowDlg();
    dynamic_cast<QAbstractButton*>(dialog.GetDlgItem(CDlgCycleFilter::IDC_SELECT_ALL))->click();
    EXPECT_EQ(dialog.IsAllSelected(), 1);
    dynamic_cast<QAbstractButton*>(dialog.GetDlgItem(CDlgCycleFilter::IDC_OK_BUTTON))->click();
    for (std::uint16_t key : {8, 9, 16, 24}) {
        EXPECT_TRUE(cycle.HasFilterUser(key)) << key;
    }
    // All checked: no filtering, newcomers take part.
    users.AddUser(32, u"Di", 0b1).videoChannelCount = 1;
    cycle.AddUserChannels(32);
    EXPECT_TRUE(cycle.HasFilterUser(32));
}

}  // namespace
