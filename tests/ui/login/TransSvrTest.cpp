// The server choice: its rows, and where next, a double click, Enter, back and close lead.

#include <QTest>

#include <gtest/gtest.h>

#include <cstring>

#include "LoginTestSupport.h"
#include "dialogs/login/CDlgTransSvr.h"
#include "platform/window/testing/WindowTesting.h"

namespace {

using login_test::FakeJoinHandler;
using yav::testing::ModalAnswer;

std::vector<ST_CS_SERVER> Servers() {
    std::vector<ST_CS_SERVER> servers(3);
    const char* names[] = {"\xB1\xB1\xBE\xA9", "", "Shanghai"};  // 北京, none, Shanghai
    for (int i = 0; i < 3; ++i) {
        std::strcpy(servers[i].serverName, names[i]);
        std::snprintf(servers[i].csAddress, sizeof servers[i].csAddress, "10.0.0.%d", i + 1);
        servers[i].csPort = static_cast<std::uint16_t>(8866 + i);
    }
    return servers;
}

class TransSvr : public ::testing::Test {
protected:
    void SetUp() override { login_test::Reset(); }

    int Run(std::function<void(CDlgTransSvr&)> act, IJoinConfHander* owner) {
        CDlgTransSvr dialog;
        dialog.SetOwner(owner);
        dialog.SetServerList(servers.data(), static_cast<int>(servers.size()));
        ModalAnswer answer([&act](yav::Dialog& d) { act(static_cast<CDlgTransSvr&>(d)); });
        return dialog.DoModal();
    }

    std::vector<ST_CS_SERVER> servers = Servers();
    FakeJoinHandler handler;
};

TEST_F(TransSvr, RowsShowNameAddressAndPort) {
    CDlgTransSvr dialog;
    dialog.SetServerList(servers.data(), 3);
    ASSERT_TRUE(dialog.Create(CDlgTransSvr::IDD));
    CListCtrlCl& list = dialog.GetServerList();
    ASSERT_EQ(list.GetItemCount(), 3);
    EXPECT_EQ(list.GetItemText(0, 0), QStringLiteral("北京"));
    EXPECT_EQ(list.GetItemText(1, 0), QStringLiteral("10.0.0.2"));
    EXPECT_EQ(list.GetItemText(2, 1), QStringLiteral("10.0.0.3"));
    EXPECT_EQ(list.GetItemText(2, 2), QStringLiteral("8868"));
    EXPECT_EQ(dialog.GetChosenServer(), 0);
    EXPECT_EQ(dialog.size(), QSize(412, 299));
    EXPECT_EQ(list.geometry(), QRect(22, 51, 369, 193));
    EXPECT_FALSE(login_test::SaveGrab(&dialog, QStringLiteral("server_choice")).isEmpty());
}

TEST_F(TransSvr, NextLogsInToTheChosenServer) {
    EXPECT_EQ(Run(
                  [](CDlgTransSvr& d) {
                      d.GetServerList().SetSelectionMark(2);
                      d.SendMessage(WM_COMMAND, MAKEWPARAM(CDlgTransSvr::IDC_NEXT, BN_CLICKED), 0);
                  },
                  &handler),
              IDOK);
    EXPECT_EQ(handler.chosenServers, std::vector<int>{2});

    EXPECT_EQ(Run(
                  [](CDlgTransSvr& d) {
                      d.GetServerList().SetSelectionMark(1);
                      QTreeWidgetItem* item = d.GetServerList().topLevelItem(1);
                      emit d.GetServerList().itemDoubleClicked(item, 0);
                  },
                  &handler),
              IDOK);
    EXPECT_EQ(handler.chosenServers, (std::vector<int>{2, 1}));

    EXPECT_EQ(
        Run([](CDlgTransSvr& d) { QTest::keyClick(&d.GetServerList(), Qt::Key_Return); }, &handler),
        IDOK);
    EXPECT_EQ(handler.chosenServers, (std::vector<int>{2, 1, 0}));
}

TEST_F(TransSvr, BackAndCloseGoThroughTheOwner) {
    auto press = [](int id) {
        return [id](CDlgTransSvr& d) {
            d.SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(id), BN_CLICKED), 0);
        };
    };
    EXPECT_EQ(Run(press(CDlgTransSvr::IDC_BACK), &handler), IDCANCEL);
    EXPECT_EQ(handler.showConfListCalls, 1);
    EXPECT_EQ(Run(press(CDlgTransSvr::IDC_CLOSE), &handler), IDCANCEL);
    EXPECT_EQ(handler.exitCalls, 1);
    // Without an owner both only end the dialog.
    EXPECT_EQ(Run(press(CDlgTransSvr::IDC_BACK), nullptr), IDCANCEL);
    EXPECT_EQ(Run(press(CDlgTransSvr::IDC_CLOSE), nullptr), IDCANCEL);
    EXPECT_EQ(handler.showConfListCalls, 1);
    EXPECT_EQ(handler.exitCalls, 1);
    EXPECT_TRUE(handler.chosenServers.empty());
}

TEST_F(TransSvr, EscapeDoesNothing) {
    EXPECT_EQ(Run(
                  [](CDlgTransSvr& d) {
                      QTest::keyClick(&d.GetServerList(), Qt::Key_Escape);
                      EXPECT_TRUE(d.IsRunningModal());
                      d.SendMessage(WM_COMMAND, MAKEWPARAM(CDlgTransSvr::IDC_NEXT, BN_CLICKED), 0);
                  },
                  &handler),
              IDOK);
    EXPECT_EQ(handler.exitCalls, 0);
}

}  // namespace
