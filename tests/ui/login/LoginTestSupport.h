#pragma once
// Shared set-up of the login dialog tests: the program's language and skin modules and a
// private data folder with its Client.ini, display scale for one test, grabs for review, a
// recording join handler, and an answerer for the message boxes the dialogs show.

#include <QFont>
#include <QScreen>
#include <QString>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "client/ui/CYavPngButton.h"
#include "components/protocol/ST_CONF_ITEM.h"
#include "dialogs/login/IJoinConfHander.h"
#include "fakes/ui/UiGuards.h"
#include "platform/window/Dialog.h"
#include "platform/window/GdipText.h"
#include "ui/GrabPixels.h"

struct ST_START_PARAM;

namespace login_test {

// The private Client.ini of the running test (emptied before each test by Reset).
QString ClientIni();
// Removes every file of the data folder and reloads the skin colours at scale 1.
void Reset();
void WriteIni(const char* text);
std::string IniValue(const char* section, const char* key);

using ui_test::LanguageGuard;
using ui_test::ScaleGuard;

QString SaveGrab(QWidget* window, const QString& name);
using grab_pixels::DarkPixels;

// The text as it is drawn, lines joined: shorter than the control's text (an ellipsis at its
// end) when the text does not fit.
QString ShownText(const std::vector<yav::gdip::LaidOutLine>& lines);
QString ShownCaption(CYavPngButton& button);

// Where a grown image button stands for a design rectangle: 5 px (scaled) larger each side.
QRect Grown(int x, int y, int w, int h);

using ui_test::BoxAnswerer;

// A join handler that records what the dialogs ask of it.
class FakeJoinHandler : public IJoinConfHander {
public:
    void SetStartParams(bool autoJoin, const ST_START_PARAM* block,
                        const QString& digestPwd) override;
    int ConnectDs(const QString& serverList, std::uint16_t port) override;
    int ShowConfListDlg() override;
    QScreen* GetMonitor() const override { return monitor; }
    void SetMonitor(QScreen* screen) override {
        monitor = screen;
        ++setMonitorCalls;
    }
    const ST_CONF_ITEM* FindConfById(std::uint32_t confId) override;
    int EnterConfRoom() override;
    void LoginChosenCsServer(int serverIndex) override;
    void ExitApp() override { ++exitCalls; }

    // Runs at the start of ShowConfListDlg and LoginChosenCsServer (where the road moves on).
    std::function<void()> onRoadStep;

    // Makes ConnectDs wait until Release (or the test's end).
    void HoldConnect() { hold_ = true; }
    void Release();

    // --- what was asked ---
    int startParamCalls = 0;
    bool lastAutoJoin = true;
    int lastJoinType = -1;
    QString lastName;
    QString lastPassword;
    int lastConfId = -1;
    std::atomic<int> connectCalls{0};
    std::atomic<bool> connectOnGuiThread{false};
    QString lastServerList;
    std::uint16_t lastPort = 0;
    int showConfListCalls = 0;
    int setMonitorCalls = 0;
    int exitCalls = 0;
    std::vector<std::uint32_t> findCalls;
    int enterCalls = 0;
    std::vector<int> chosenServers;

    // --- answers ---
    std::atomic<int> connectResult{1};
    int showConfListResult = 1;
    int enterResult = 1;
    std::vector<ST_CONF_ITEM> conferences;
    QScreen* monitor = nullptr;

private:
    std::mutex mutex_;
    std::condition_variable released_;
    bool hold_ = false;
    bool releasedFlag_ = false;
    std::thread::id guiThread_ = std::this_thread::get_id();
};

ST_CONF_ITEM MakeConf(std::uint32_t id, const char* gbkName, std::uint16_t online,
                      std::uint16_t capacity);

}  // namespace login_test
