// The server address settings: the layouts of both server types and of the list-only
// instance, what the login connects to before and after saving, cancel, the nested advanced
// instance, and the camera mode.

#include <QTest>

#include <gtest/gtest.h>

#include <vector>

#include "AppSettings.h"
#include "LoginTestSupport.h"
#include "dialogs/login/CDlgNetSet.h"
#include "platform/window/Scaled.h"
#include "platform/window/testing/WindowTesting.h"

namespace {

using login_test::Grown;
using yav::testing::ModalAnswer;

class NetSet : public ::testing::Test {
protected:
    void SetUp() override {
        login_test::Reset();
        g_AppSettings.bVideoCapMode = 1;
    }
    void Open(const char* ini) {
        login_test::WriteIni(ini);
        dialog = std::make_unique<CDlgNetSet>();
        ASSERT_TRUE(dialog->Create(CDlgNetSet::IDD));
        dialog->ShowDialog(nullptr);
    }
    QWidget* Item(int id) { return dialog->GetDlgItem(id); }
    void Press(int id) {
        dialog->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(id), BN_CLICKED), 0);
    }

    std::unique_ptr<CDlgNetSet> dialog;
};

TEST_F(NetSet, ServerListLayout) {
    Open("[login]\nserver1=a\n");
    EXPECT_EQ(dialog->GetServerType(), 0);
    EXPECT_EQ(dialog->size(), QSize(304, 257));
    EXPECT_TRUE(Item(CDlgNetSet::IDC_ADVANCED)->isVisible());
    EXPECT_EQ(Item(CDlgNetSet::IDC_ADVANCED)->geometry(), Grown(32, 81, 55, 20));
    EXPECT_FALSE(Item(CDlgNetSet::IDC_OWN_SERVER)->isVisible());
    EXPECT_TRUE(Item(CDlgNetSet::IDC_NOTE)->isVisible());
    EXPECT_EQ(Item(CDlgNetSet::IDC_NOTE)->geometry(), QRect(32, 130, 250, 34));
    EXPECT_EQ(Item(CDlgNetSet::IDC_CAMERA_HEADER)->geometry(), QRect(12, 168, 157, 20));
    EXPECT_FALSE(Item(CDlgNetSet::IDC_SERVER1)->isVisible()) << "list edits are the advanced's";
    EXPECT_FALSE(Item(IDCANCEL)->isVisible());
    EXPECT_EQ(Item(IDOK)->geometry(), Grown(216, 225, 55, 24));
}

TEST_F(NetSet, AnyNonZeroTypeIsTheOwnServerAndSavesAsOne) {
    Open("[login]\nServerType=2\nserverself= own.example \n");
    EXPECT_EQ(dialog->GetServerType(), 1);
    EXPECT_TRUE(Item(CDlgNetSet::IDC_OWN_SERVER)->isVisible());
    EXPECT_FALSE(Item(CDlgNetSet::IDC_ADVANCED)->isVisible());
    EXPECT_EQ(Item(CDlgNetSet::IDC_OWN_SERVER)->geometry(), QRect(101, 110, 160, 20));
    EXPECT_EQ(Item(CDlgNetSet::IDC_CAMERA_HEADER)->geometry(), QRect(12, 171, 157, 20));
    EXPECT_EQ(dialog->GetServerList(), QStringLiteral("own.example"));
    Press(IDOK);
    EXPECT_EQ(login_test::IniValue("login", "ServerType"), "1");
    EXPECT_EQ(login_test::IniValue("login", "serverself"), "own.example");
    EXPECT_FALSE(dialog->isVisible()) << "OK hides the kept window";
}

TEST_F(NetSet, TypedTextCountsAtOnceTheTypeOnlyOnceSaved) {
    Open("[login]\nserver1=a\nserver2=b\n");
    EXPECT_EQ(dialog->GetServerList(), QStringLiteral("a;b"));
    dialog->GetServerEdit(0).clear();
    EXPECT_EQ(dialog->GetServerList(), QStringLiteral(";b"));
    Press(CDlgNetSet::IDC_OWN_SERVER_OPTION);
    dialog->GetOwnServerEdit().setText(QStringLiteral("mine"));
    EXPECT_TRUE(Item(CDlgNetSet::IDC_OWN_SERVER)->isVisible());
    EXPECT_EQ(dialog->GetServerList(), QStringLiteral(";b")) << "type not saved yet";
    Press(IDOK);
    EXPECT_EQ(dialog->GetServerList(), QStringLiteral("mine"));
    EXPECT_EQ(login_test::IniValue("login", "server1"), "");
}

TEST_F(NetSet, CancelPutsTheStoredTextsBack) {
    Open("[login]\nserver1=a\nServerType=1\nserverself=mine\n");
    dialog->GetOwnServerEdit().setText(QStringLiteral("typo"));
    Press(CDlgNetSet::IDC_CLOSE);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->GetOwnServerEdit().text(), QStringLiteral("mine"));
    EXPECT_EQ(dialog->GetServerList(), QStringLiteral("mine"));
    EXPECT_EQ(login_test::IniValue("login", "serverself"), "mine");
}

TEST_F(NetSet, AdvancedInstanceWritesOnlyTheList) {
    Open("[login]\nserver1=old\nServerType=0\n[appinfo]\nbVideoCapMode=1\n");
    ModalAnswer advanced([](yav::Dialog& d) {
        auto& nested = static_cast<CDlgNetSet&>(d);
        EXPECT_EQ(nested.size(), QSize(304, 207));
        EXPECT_TRUE(nested.GetServerEdit(0).isVisible());
        EXPECT_FALSE(nested.GetDlgItem(CDlgNetSet::IDC_ONE_CAMERA)->isVisible());
        EXPECT_EQ(nested.GetDlgItem(IDOK)->geometry(), Grown(229, 160, 55, 24));
        nested.GetServerEdit(0).setText(QStringLiteral(" new1 "));
        nested.GetServerEdit(2).setText(QStringLiteral("new3"));
        // Changing the camera here is not possible; the type stays what it was.
        d.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    Press(CDlgNetSet::IDC_ADVANCED);
    ASSERT_TRUE(advanced.Answered());
    EXPECT_EQ(login_test::IniValue("login", "server1"), "new1");
    EXPECT_EQ(login_test::IniValue("login", "server3"), "new3");
    EXPECT_EQ(login_test::IniValue("login", "ServerType"), "0");
    EXPECT_EQ(login_test::IniValue("appinfo", "bVideoCapMode"), "1");
    EXPECT_EQ(dialog->GetServerList(), QStringLiteral("new1;new3"));
}

// The camera choice: the chosen option shows the chosen picture (the two options trade looks
// when the choice changes), and the choice is saved.
TEST_F(NetSet, CameraModeIsSaved) {
    Open("[login]\n");
    EXPECT_EQ(static_cast<CYavPngButton*>(Item(CDlgNetSet::IDC_ONE_CAMERA))->GetState(), 1u);
    const auto marks = [this]() {
        const QImage shot = dialog->grab().toImage();
        std::vector<QImage> pictures;
        for (int id : {CDlgNetSet::IDC_ONE_CAMERA, CDlgNetSet::IDC_SEVERAL_CAMERAS}) {
            auto* option = static_cast<CYavPngButton*>(Item(id));
            pictures.push_back(shot.copy(yav::ScaledRect(0, 4, 11, 11).translated(option->pos())));
        }
        return pictures;
    };
    const std::vector<QImage> before = marks();
    EXPECT_NE(before[0], before[1]);
    Press(CDlgNetSet::IDC_SEVERAL_CAMERAS);
    const std::vector<QImage> after = marks();
    EXPECT_EQ(after[0], before[1]);
    EXPECT_EQ(after[1], before[0]);
    EXPECT_EQ(static_cast<CYavPngButton*>(Item(CDlgNetSet::IDC_ONE_CAMERA))->GetState(), 0u);
    Press(CDlgNetSet::IDC_SEVERAL_CAMERAS);  // already chosen: stays
    EXPECT_EQ(static_cast<CYavPngButton*>(Item(CDlgNetSet::IDC_SEVERAL_CAMERAS))->GetState(), 1u);
    Press(IDOK);
    EXPECT_EQ(g_AppSettings.bVideoCapMode, 0);
    EXPECT_EQ(login_test::IniValue("appinfo", "bVideoCapMode"), "0");
    login_test::SaveGrab(dialog.get(), QStringLiteral("server_settings"));
}

TEST_F(NetSet, KeysNeverCloseIt) {
    Open("[login]\n");
    QTest::keyClick(&dialog->GetServerEdit(0), Qt::Key_Escape);
    QTest::keyClick(dialog.get(), Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible());
}

}  // namespace
