#pragma once
// What the media end-to-end suites share: one synthetic camera, microphone and speaker for
// every participant, the suite over UDP and TCP, and the wait for a participant's relay links.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "ServerProcess.h"
#include "components/KroMedia/Devices.h"

namespace yav::test {

// Called once per suite, before any participant opens its devices.
inline void UseSyntheticDevices() {
    setenv("YAV_TEST_DEVICES", "cam=1,mic=1,spk=1", 1);
    kromedia::DeviceRegistry::Get().Reload();
}

// A suite run over UDP (false) and over TCP (true), its participants on synthetic devices.
class MediaSuite : public ::testing::TestWithParam<bool> {
protected:
    static void SetUpTestSuite() { UseSyntheticDevices(); }
};

// The instance names of a MediaSuite.
inline std::string TransportName(const ::testing::TestParamInfo<bool>& transport) {
    return transport.param ? "Tcp" : "Udp";
}

// Both the media-server and the stream-server link of the participant answered "connected".
template <class Participant>
bool Connected(const Participant& participant) {
    return WaitUntil(
        [&] { return participant.ServerConnected() == 1 && participant.StreamConnected() == 1; },
        std::chrono::seconds(20));
}

// The two participants log in, reach the relay, watch each other, and each decodes ten of the
// other's pictures within a minute.
template <class Participant>
::testing::AssertionResult SeeEachOther(Participant& a, Participant& b,
                                        const ServerProcess& server) {
    if (!a.LoggedIn() || !b.LoggedIn()) {
        return ::testing::AssertionFailure() << "not logged in\n" << server.Output();
    }
    if (!Connected(a) || !Connected(b)) {
        return ::testing::AssertionFailure() << "no relay links";
    }
    a.Watch(b.Id());
    b.Watch(a.Id());
    if (!WaitUntil([&] { return a.FramesFrom(b.Id()) >= 10 && b.FramesFrom(a.Id()) >= 10; },
                   std::chrono::seconds(60))) {
        return ::testing::AssertionFailure()
               << a.FramesFrom(b.Id()) << " " << b.FramesFrom(a.Id()) << "\n"
               << server.Output();
    }
    return ::testing::AssertionSuccess();
}

}  // namespace yav::test
