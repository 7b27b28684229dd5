#pragma once
// A conference manager wired to recording fakes: the component (installed as the factory's
// product), the main frame and both handlers, all logging into one call log. Tests derive
// from it and fill the fake's records before they log in.

#include <gtest/gtest.h>

#include <memory>

#include "client/conference/XConfManager.h"
#include "client/config/ConfigManger.h"
#include "fakes/conference/CallLog.h"
#include "fakes/conference/FakeCsManager.h"
#include "fakes/conference/FakeMainFrame.h"
#include "fakes/conference/QtWait.h"
#include "fakes/conference/RecordingCsHandler.h"

namespace fakes {

class ConfManagerFixture : public ::testing::Test {
protected:
    static constexpr std::uint16_t kMyId = 16;

    void SetUp() override {
        EnsureApplication();
        static const bool textsLoaded = (g_ConfigManager.LoadLanguage(), true);
        (void)textsLoaded;
        fake.InstallFactory();
        manager = std::make_unique<XConfManager>();
        manager->SetMainFrame(&frame);
        manager->SetCsHandler(&handler);
        manager->SetUserHandler(&handler);
        fake.loginInfo.userId = kMyId;
    }
    void TearDown() override {
        manager.reset();
        FakeCsManager::RestoreFactory();
    }

    CallLog log;
    FakeCsManager fake{log};
    FakeMainFrame frame{log};
    RecordingCsHandler handler{log};
    std::unique_ptr<XConfManager> manager;
};

}  // namespace fakes
