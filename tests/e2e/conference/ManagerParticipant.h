#pragma once
// One participant of the end-to-end tests: a conference manager with the real conference-server
// component and recording handlers, pumped by the test as the room window's timer would pump it.

#include <cstdint>
#include <string>

#include "client/conference/XConfManager.h"
#include "fakes/conference/CallLog.h"
#include "fakes/conference/FakeMainFrame.h"
#include "fakes/conference/QtWait.h"
#include "fakes/conference/RecordingCsHandler.h"

namespace e2e_test {

// The conference yavserver opens at start-up.
constexpr std::uint32_t kDemoConference = 900001;

struct Participant {
    Participant() {
        manager.SetMainFrame(&frame);
        manager.SetCsHandler(&events);
        manager.SetUserHandler(&events);
    }

    int Login(std::uint16_t port, const char* account) {
        std::uint16_t required = 0;
        return manager.SetupConference("127.0.0.1", port, kDemoConference, account, account,
                                       &required, 0, 0);
    }

    // Pumps until the log holds the call (true) or the limit passes.
    bool PumpUntil(const std::string& call) {
        return fakes::WaitFor([&] {
            manager.ProcessCsMessage();
            return log.Count(call) > 0;
        });
    }

    fakes::CallLog log;
    fakes::FakeMainFrame frame{log};
    fakes::RecordingCsHandler events{log};
    XConfManager manager;
};

}  // namespace e2e_test
