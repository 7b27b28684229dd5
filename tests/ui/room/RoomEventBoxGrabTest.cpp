// Pictures of the boxes the server's room events raise (the dissolution, the forced exit and a
// conference-state box) at scale 1.0 and 1.5, saved for review; each asserts its size, its
// caption band and its title and text shown whole.

#include "GrabChecks.h"
#include "RoomFixture.h"
#include "ui/CDlgPopMsg.h"
#include "ui/controls/ControlTestSupport.h"

namespace room_test {
namespace {

class RoomEventBoxGrab : public RoomFixture, public ::testing::WithParamInterface<double> {
protected:
    double Scale() const override { return GetParam(); }
};

TEST_P(RoomEventBoxGrab, ServerEventBoxesShowTheirWholeText) {
    const struct {
        const char* name;
        std::function<void(XMainFrame&)> raise;
        int title;
        int text;
        int countdown;
    } cases[] = {
        // The dissolution's box closes by itself after 10 s.
        {"room_dissolved_457_463", [](XMainFrame& f) { f.OnConfDissolved(nullptr, 0); }, 457, 463,
         10},
        {"room_forced_exit_3100", [](XMainFrame& f) { f.OnForceExit(2, 0); }, 1, 3100, 5},
        {"room_conf_state_0x383", [](XMainFrame& f) { f.OnConfStateUpdate(0x1022); }, 1, 1972, 0},
    };
    for (const auto& c : cases) {
        Open();
        const bool seen = CatchModalBox<CDlgPopMsg>(
            [&] { c.raise(*frame); },
            [&](CDlgPopMsg& box) {
                ExpectWholeBox(box, LoadLangString(c.title), LoadLangString(c.text), c.name);
                EXPECT_EQ(box.GetCountdown(), c.countdown) << c.name;
                controls_test::SaveGrab(box, Name(c.name, GetParam()));
            },
            IDOK);
        EXPECT_TRUE(seen) << c.name;
        // The dissolution and the forced exit close the room; the state box leaves it open.
        CloseRoom();
        yav::testing::WaitUntil([&] { return !frame->IsWindow(); }, 3000);
    }
}

INSTANTIATE_TEST_SUITE_P(Scales, RoomEventBoxGrab, ::testing::Values(1.0, 1.5));

}  // namespace
}  // namespace room_test
