// Pictures of the boxes the user-to-user commands open, at scale 1.0 and 1.5: the control
// prompt (a peer asks to control this computer) and the screen-control question. Each asserts
// its size, its caption band, its buttons and its whole message.

#include <QApplication>
#include <QImage>

#include "GrabChecks.h"
#include "UserCommandFixture.h"
#include "config/LangFormat.h"
#include "ui/CDlgPopMsg.h"
#include "ui/controls/ControlTestSupport.h"

namespace room_test {
namespace {

class UserCommandGrab : public UserCommandRoom, public ::testing::WithParamInterface<double> {
protected:
    double Scale() const override { return GetParam(); }

    // The asking user's name goes into the text as it is.
    void ExpectRequestBox(CDlgPopMsg& box, int textId) {
        ExpectWholeBox(box, LoadLangString(1),
                       yav::SafeFormat(LoadLangString(textId), {QStringLiteral("bob"), int{kBob}}));
        EXPECT_EQ(box.GetType(), 8);
        EXPECT_TRUE(box.GetOkButton().isVisible());
        EXPECT_TRUE(box.GetCancelButton().isVisible());
    }
};

TEST_P(UserCommandGrab, TheControlPromptShowsTheWholeRequest) {
    Receive(kBob, 306, {1});
    CDlgPopMsg* prompt = VisiblePrompt();
    ASSERT_NE(prompt, nullptr);
    ExpectRequestBox(*prompt, 2443);
    controls_test::SaveGrab(*prompt, Name("room_control_prompt_2443", GetParam()));
    prompt->GetCancelButton().click();
}

TEST_P(UserCommandGrab, TheScreenControlQuestionShowsTheWholeQuestion) {
    EXPECT_TRUE(CatchModalBox<CDlgPopMsg>(
        [&] { Receive(kBob, 268, {1}); },
        [&](CDlgPopMsg& box) {
            ExpectRequestBox(box, 412);
            controls_test::SaveGrab(box, Name("room_control_question_412", GetParam()));
        },
        IDCANCEL, 5000));
}

INSTANTIATE_TEST_SUITE_P(Scales, UserCommandGrab, ::testing::Values(1.0, 1.5));

}  // namespace
}  // namespace room_test
