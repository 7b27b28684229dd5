#pragma once
// One main frame logged in to the conference-server fake, with recording children and
// components installed through the room's factories. Open() creates the room window.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "client/conference/XConfManager.h"
#include "client/conference/XMainFrame.h"
#include "client/media/XMediaManager.h"
#include "config/AppSettings.h"
#include "config/ConfigManger.h"
#include "fakes/conference/CallLog.h"
#include "fakes/conference/FakeCsManager.h"
#include "fakes/conference/FakeRoomChildren.h"
#include "fakes/conference/LogCapture.h"
#include "platform/core/Scale.h"
#include "platform/window/testing/WindowTesting.h"

namespace room_test {

class RoomFixture : public ::testing::Test {
protected:
    static constexpr std::uint16_t kMyId = 16;
    static constexpr std::uint32_t kConfId = 900001;

    // Which children the factories make (all by default).
    struct Installed {
        bool controlBar = true;
        bool userList = true;
        bool statusBar = true;
        bool fullDock = true;
        bool fileList = true;
        bool frame = true;
        bool toolBox = true;
        bool screenShare = true;
        bool docShare = true;
    };

    virtual double Scale() const { return 1.0; }
    virtual Installed Children() const { return Installed{}; }

    void SetUp() override {
        static const bool loaded = (g_ConfigManager.LoadLanguage(), true);
        (void)loaded;
        savedScale = g_fExchangePW;
        g_fExchangePW = Scale();
        savedSettings = g_AppSettings;
        fake.InstallFactory();
        fake.loginInfo.userId = kMyId;
        fake.loginInfo.confId = kConfId;
        std::strcpy(fake.loginInfo.confName, "Demo");
        fake.loginInfo.ownerId = 0x1234;
        fake.users.AddUser(kMyId, u"me");
        Install(Children());
        media = std::make_unique<XMediaManager>();
        g_pMediaManager = media.get();
        frame = std::make_unique<XMainFrame>();
        g_pMainFrame = frame.get();
        ST_CS_SERVER server;
        std::strcpy(server.csAddress, "127.0.0.1");
        server.csPort = 7000;
        std::strcpy(server.mediaAddress, "10.0.0.5");
        server.mediaPort = 7100;
        std::strcpy(server.docAddress, "10.0.0.6");
        server.docPort = 7200;
        std::strcpy(server.screenAddress, "10.0.0.7");
        server.screenPort = 7300;
        frame->SetCsServer(server);
        frame->SetLoginInfo(QStringLiteral("alice"), QStringLiteral("secret"), 0);
        ASSERT_EQ(frame->LoginCs(kConfId, nullptr, 0), 0);
        log.Clear();
    }

    void TearDown() override {
        CloseRoom();
        frame.reset();
        g_pMainFrame = nullptr;
        media.reset();
        g_pMediaManager = nullptr;
        yav::room::Children() = {};
        yav::room::Components() = {};
        fakes::FakeCsManager::RestoreFactory();
        g_AppSettings = savedSettings;
        g_fExchangePW = savedScale;
    }

    void Open() { ASSERT_TRUE(frame->CreateRoomWindow(QStringLiteral("Demo"), kConfId)); }

    // Closes the room window, if open, as leaving does without asking.
    void CloseRoom() {
        if (frame && frame->IsWindow()) {
            frame->SetExitFlag(1);
            frame->SendMessage(WM_CLOSE_ROOM, 0, 0);
        }
    }

    void Install(const Installed& which) {
        yav::room::RoomChildFactories& make = yav::room::Children();
        make = {};
        if (which.controlBar) {
            make.controlBar = [this](QWidget*) {
                auto child = std::make_unique<fakes::FakeControlBar>(log);
                controlBar = child.get();
                return child;
            };
        }
        if (which.userList) {
            make.userList = [this](QWidget*) {
                auto child = std::make_unique<fakes::FakeUserList>(log);
                userList = child.get();
                return child;
            };
        }
        if (which.statusBar) {
            make.statusBar = [this](QWidget*) {
                auto child = std::make_unique<fakes::FakeStatusBar>(log);
                statusBar = child.get();
                return child;
            };
        }
        if (which.fullDock) {
            make.fullDock = [this](QWidget*) {
                auto child = std::make_unique<fakes::FakeFullDock>(log);
                fullDock = child.get();
                return child;
            };
        }
        if (which.fileList) {
            make.fileList = [this](QWidget*) {
                auto child = std::make_unique<fakes::FakeFileList>(log);
                fileList = child.get();
                return child;
            };
        }
        if (which.frame) {
            make.frame = [this](QWidget*) {
                auto child = std::make_unique<fakes::FakeFrame>(log);
                docFrame = child.get();
                return child;
            };
        }
        if (which.toolBox) {
            make.toolBox = [this](QWidget*) {
                auto child = std::make_unique<fakes::FakeToolBox>(log);
                toolBox = child.get();
                return child;
            };
        }
        yav::room::ComponentFactories& components = yav::room::Components();
        components = {};
        if (which.screenShare) {
            components.createScreenShare = [this]() {
                return std::make_unique<fakes::FakeScreenShare>(log);
            };
        }
        if (which.docShare) {
            components.createDocShare = [this](std::uint32_t, int) {
                auto share = std::make_unique<fakes::FakeDocShare>(log);
                docShare = share.get();
                return share;
            };
        }
    }

    // The first window below the room of that class, or null.
    template <class Panel>
    Panel* Find() {
        for (QWidget* child : frame->findChildren<QWidget*>()) {
            if (auto* found = dynamic_cast<Panel*>(child)) {
                return found;
            }
        }
        return nullptr;
    }

    // Index of the first call starting with prefix, -1 when none.
    long IndexOf(const std::string& prefix) const {
        const auto calls = log.Calls();
        for (size_t i = 0; i < calls.size(); ++i) {
            if (calls[i].rfind(prefix, 0) == 0) {
                return static_cast<long>(i);
            }
        }
        return -1;
    }

    // The blocks the room sent with a sub-command, in order.
    std::vector<fakes::FakeCsManager::Transmission> Sent(std::uint16_t sub) const {
        std::vector<fakes::FakeCsManager::Transmission> found;
        for (const auto& sent : fake.transmissions) {
            if (sent.subCommand == sub) {
                found.push_back(sent);
            }
        }
        return found;
    }

    fakes::CallLog log;
    fakes::FakeCsManager fake{log};
    std::unique_ptr<XMediaManager> media;
    std::unique_ptr<XMainFrame> frame;
    fakes::FakeControlBar* controlBar = nullptr;
    fakes::FakeUserList* userList = nullptr;
    fakes::FakeStatusBar* statusBar = nullptr;
    fakes::FakeFullDock* fullDock = nullptr;
    fakes::FakeFileList* fileList = nullptr;
    fakes::FakeFrame* docFrame = nullptr;
    fakes::FakeToolBox* toolBox = nullptr;
    fakes::FakeDocShare* docShare = nullptr;
    ST_APP_SETTINGS savedSettings;
    double savedScale = 1.0;
};

// A main frame that records every network event it is handed, in order, then handles it.
class RecordingFrame : public XMainFrame {
public:
    void HandleNetMessage(WPARAM code, LPARAM status) override {
        seen.emplace_back(code, status);
        XMainFrame::HandleNetMessage(code, status);
    }
    std::vector<std::pair<WPARAM, LPARAM>> seen;
};

// Index of the first line containing text, -1 when none.
inline long LineIndex(const std::vector<std::string>& lines, const std::string& text,
                      long from = 0) {
    for (size_t i = static_cast<size_t>(from); i < lines.size(); ++i) {
        if (lines[i].find(text) != std::string::npos) {
            return static_cast<long>(i);
        }
    }
    return -1;
}

}  // namespace room_test
