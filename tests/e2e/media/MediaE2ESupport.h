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

}  // namespace yav::test
