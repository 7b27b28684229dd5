// The server choice: its rows with each server's probed latency and loss, and where next, a
// double click, Enter, back and close lead.

#include <QApplication>
#include <QHeaderView>
#include <QNetworkDatagram>
#include <QTest>
#include <QUdpSocket>

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
    // The first answers probes; nothing listens at the second; the third is no address.
    const char* addresses[] = {"127.0.0.1", "127.0.0.2", "nowhere"};
    for (int i = 0; i < 3; ++i) {
        std::strcpy(servers[i].serverName, names[i]);
        std::strcpy(servers[i].csAddress, addresses[i]);
        servers[i].csPort = static_cast<std::uint16_t>(8866 + i);
    }
    return servers;
}

// The server's probe echo: every datagram goes back unchanged to its sender.
class ProbeEcho {
public:
    ProbeEcho() {
        socket_.bind(QHostAddress::LocalHost, 0);
        QObject::connect(&socket_, &QUdpSocket::readyRead, &socket_, [this] {
            while (socket_.hasPendingDatagrams()) {
                const QNetworkDatagram datagram = socket_.receiveDatagram();
                socket_.writeDatagram(datagram.makeReply(datagram.data()));
                ++echoed;
            }
        });
    }
    std::uint16_t Port() const { return socket_.localPort(); }
    int echoed = 0;

private:
    QUdpSocket socket_;
};

class TransSvr : public ::testing::Test {
protected:
    void SetUp() override { login_test::Reset(); }

    int Run(std::function<void(CDlgTransSvr&)> act, IJoinConfHander* owner) {
        CDlgTransSvr dialog;
        dialog.SetProbe(echo.Port(), 100);
        dialog.SetOwner(owner);
        dialog.SetServerList(servers.data(), static_cast<int>(servers.size()));
        ModalAnswer answer([&act](yav::Dialog& d) { act(static_cast<CDlgTransSvr&>(d)); });
        return dialog.DoModal();
    }

    std::vector<ST_CS_SERVER> servers = Servers();
    FakeJoinHandler handler;
    ProbeEcho echo;
};

TEST_F(TransSvr, RowsShowNameLatencyAndLoss) {
    CDlgTransSvr dialog;
    dialog.SetProbe(echo.Port(), 500);
    dialog.SetServerList(servers.data(), 3);
    ASSERT_TRUE(dialog.Create(CDlgTransSvr::IDD));
    dialog.ShowWindow(SW_SHOW);
    CListCtrlCl& list = dialog.GetServerList();
    ASSERT_EQ(list.GetItemCount(), 3);
    EXPECT_EQ(list.GetItemText(0, 0), QStringLiteral("北京"));
    EXPECT_EQ(list.GetItemText(1, 0), QStringLiteral("127.0.0.2")) << "nameless: its address";
    EXPECT_EQ(list.GetItemText(2, 0), QStringLiteral("Shanghai"));
    EXPECT_EQ(list.GetItemText(0, 1), QStringLiteral("..."));
    ASSERT_TRUE(yav::testing::WaitUntil([&] { return dialog.IsProbeFinished(); }, 5000));
    EXPECT_EQ(echo.echoed, CsServerProbe::kProbesPerServer);
    EXPECT_TRUE(list.GetItemText(0, 1).endsWith(QStringLiteral(" ms")));
    EXPECT_EQ(list.GetItemText(0, 2), QStringLiteral("0%"));
    EXPECT_EQ(list.GetItemText(1, 1), QStringLiteral("-"));
    EXPECT_EQ(list.GetItemText(1, 2), QStringLiteral("100%"));
    EXPECT_EQ(list.GetItemText(2, 2), QStringLiteral("100%"));
    EXPECT_EQ(dialog.GetChosenServer(), 0);
    EXPECT_EQ(dialog.size(), QSize(412, 299));
    EXPECT_EQ(list.geometry(), QRect(22, 51, 369, 193));
    // Every row shows its name, its round trip and its loss.
    const QImage shot = dialog.grab().toImage();
    login_test::SaveGrab(&dialog, QStringLiteral("server_choice"));
    ASSERT_EQ(shot.size(), QSize(412, 299));
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            QTreeWidgetItem* item = list.topLevelItem(row);
            const QRect cell = list.visualItemRect(item).intersected(
                QRect(list.header()->sectionViewportPosition(column), 0,
                      list.header()->sectionSize(column), list.viewport()->height()));
            const QRect inDialog(list.viewport()->mapTo(&dialog, cell.topLeft()), cell.size());
            // Text: pixels unlike the cell's ground (the chosen row's is the highlight).
            const QColor ground = shot.pixelColor(inDialog.topLeft() + QPoint(2, 2));
            int text = 0;
            const QRect inner = inDialog.adjusted(1, 1, -1, -1);  // no grid lines
            for (int y = inner.top(); y <= inner.bottom(); ++y) {
                for (int x = inner.left(); x <= inner.right(); ++x) {
                    const QColor c = shot.pixelColor(x, y);
                    text += std::abs(c.lightness() - ground.lightness()) > 60 ? 1 : 0;
                }
            }
            EXPECT_GT(text, 2) << row << ", " << column;
        }
    }
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

// Next and back hand over to the road, which shows its next windows (the room, messages, the
// list) before this dialog's loop returns: the dialog is off the screen by then.
TEST_F(TransSvr, TheRoadMovesOnWithTheDialogHidden) {
    std::vector<bool> visibleAtTheStep;
    handler.onRoadStep = [&]() {
        visibleAtTheStep.push_back(QApplication::activeModalWidget() != nullptr &&
                                   QApplication::activeModalWidget()->isVisible());
    };
    for (int id : {CDlgTransSvr::IDC_NEXT, CDlgTransSvr::IDC_BACK}) {
        Run(
            [id](CDlgTransSvr& d) {
                d.SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(id), BN_CLICKED), 0);
            },
            &handler);
    }
    EXPECT_EQ(visibleAtTheStep, (std::vector<bool>{false, false}));
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
