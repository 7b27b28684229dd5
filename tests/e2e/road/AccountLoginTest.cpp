#include <gtest/gtest.h>

#include <QDir>
#include <QPixmap>
#include <QTimer>

#include <memory>

#include "RoadProcess.h"
#include "conference/DlgStartup.h"
#include "conference/RoadDialogs.h"
#include "conference/RoadRoom.h"
#include "conference/XConfManager.h"
#include "conference/XMainFrame.h"
#include "config/AppSettings.h"
#include "config/ConfigManger.h"
#include "dialogs/login/CConfItemPanel.h"
#include "dialogs/login/CDlgConfList.h"
#include "dialogs/login/CDlgConfListChild.h"
#include "dialogs/login/CDlgLogin.h"
#include "dialogs/login/CDlgLoginInput.h"
#include "fakes/conference/LogCapture.h"
#include "ui/CDlgPopMsg.h"
#include "ui/GrabPixels.h"

namespace {

// The whole road as a user walks it, offscreen, against yavserver's demo conference: the
// login window by account, straight into the only conference, the room left, the list of
// the last answer, and the list's close ending the program.
TEST(AccountLogin, TheLoginWindowLeadsIntoTheConferenceAndBack) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    road_e2e::Server server(home.path());
    const auto ports = server.Ports();
    ASSERT_TRUE(ports.has_value()) << "yavserver did not start";
    const uint32_t savedPort = g_AppSettings.DsSvrPort;
    g_AppSettings.DsSvrPort = static_cast<uint32_t>(ports->ds);
    yav::profile::WriteString("login", "server1", "127.0.0.1",
                              g_ConfigManager.GetClientIniPath().toStdString());
    yav::profile::WriteString("login", "ServerType", "0",
                              g_ConfigManager.GetClientIniPath().toStdString());
    g_ConfigManager.LoadLanguage();
    g_ConfigManager.LoadSkin();

    fakes::LogCapture log;
    auto frame = std::make_unique<XMainFrame>();
    g_pMainFrame = frame.get();
    int loginWindows = 0;
    int lists = 0;
    QString roomTitle;
    int listedRows = -1;
    int typedNamePixels = 0;
    int listedNamePixels = 0;
    std::unique_ptr<CDlgStartup> startup;
    const int observer = yav::Dialog::AddModalObserver([&](yav::Dialog& dialog) {
        if (auto* login = dynamic_cast<CDlgLogin*>(&dialog)) {
            ++loginWindows;
            CDlgLoginInput* input = login->GetInputPage();
            ASSERT_NE(input, nullptr);
            input->GetUserEdit().setText(QStringLiteral("alice"));
            input->GetPasswordEdit().setText(QStringLiteral("alice"));
            // The typed name shows in its field.
            const QImage shot = road_e2e::SaveGrab(login, "road_login_account.png");
            QWidget& user = input->GetUserEdit();
            typedNamePixels =
                grab_pixels::DarkPixels(shot, QRect(user.mapTo(login, QPoint(0, 0)), user.size()));
            input->LoginByMode();
        } else if (auto* list = dynamic_cast<CDlgConfList*>(&dialog)) {
            ++lists;
            listedRows = list->GetRowList().GetItemCount();
            // The conference's name shows in its row.
            const QImage shot = road_e2e::SaveGrab(list, "road_conference_list.png");
            if (listedRows > 0) {
                QWidget* name = list->GetRowList().GetItem(0)->GetNameLabel();
                listedNamePixels = grab_pixels::DarkPixels(
                    shot, QRect(name->mapTo(list, QPoint(0, 0)), name->size()));
            }
            list->SendMessage(WM_COMMAND, MAKEWPARAM(CDlgConfList::IDC_CLOSE, BN_CLICKED), 0);
        } else if (dynamic_cast<CDlgPopMsg*>(&dialog) != nullptr) {
            // The room's leave question: leave.
            dialog.EndDialog(IDOK);
        }
    });
    // The login runs on its own thread; once the room is open, it is left again.
    QTimer roomWatch;
    roomWatch.setInterval(50);
    QObject::connect(&roomWatch, &QTimer::timeout, [&]() {
        XMainFrame* room = frame.get();
        if (room->IsWindow() && room->isVisible() && roomTitle.isEmpty()) {
            roomTitle = QStringLiteral("%1 (%2)")
                            .arg(room->GetConfManager()->GetConfName())
                            .arg(room->GetConfId());
            room->close();
        }
    });
    roomWatch.start();
    startup = std::make_unique<CDlgStartup>(std::make_unique<CRoadDialogs>(),
                                            std::make_unique<CRoadRoom>(), frame.get());
    ST_START_PARAM none;
    startup->SetStartParams(0, &none, QString());
    startup->DoModal();
    yav::Dialog::RemoveModalObserver(observer);

    EXPECT_EQ(loginWindows, 1);
    EXPECT_EQ(roomTitle, QStringLiteral("Demo (900001)"));
    EXPECT_EQ(lists, 1);
    EXPECT_EQ(listedRows, 1);
    EXPECT_GT(typedNamePixels, 10);
    EXPECT_GT(listedNamePixels, 10);
    // The road's own log lines, in the order it walked.
    const std::vector<std::string> lines = log.Lines();
    const auto position = [&lines](const std::string& text) {
        for (size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].find(text) != std::string::npos) {
                return static_cast<long>(i);
            }
        }
        return -1L;
    };
    const long list = position("CJoinConfHander::ShowConfListDlg confid=0 m_strSvrDs=127.0.0.1");
    const long enter = position("进入会议室开始");
    const long login = position("登陆CS服务器 IP=127.0.0.1, ConfID=900001");
    EXPECT_GE(list, 0);
    EXPECT_GT(enter, list);
    EXPECT_GT(login, enter);
    EXPECT_EQ(position("登陆CS失败"), -1);
    startup.reset();
    g_pMainFrame = nullptr;
    frame.reset();
    g_AppSettings.DsSvrPort = savedPort;
}

}  // namespace
