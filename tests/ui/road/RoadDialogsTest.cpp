// The road's own dialogs as the road drives them: a window the road ends while it moves on to
// another modal window is gone from the screen at once, not left standing over the next one.

#include <gtest/gtest.h>

#include <vector>

#include "conference/RoadDialogs.h"
#include "config/ConfigManger.h"
#include "platform/window/testing/WindowTesting.h"

namespace {

class RoadDialogsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        g_ConfigManager.LoadLanguage();
        g_ConfigManager.LoadSkin();
    }

    CRoadDialogs dialogs;
};

// A failed entry with one conference ends the list and runs the login window inside the
// list's own (still running) loop; with more than one server the server choice runs there.
TEST_F(RoadDialogsTest, AnEndedWindowIsHiddenBeforeTheNextOneRuns) {
    const std::vector<ST_CONF_ITEM> items(2);
    dialogs.SetConfList(items, QStringLiteral("alice"));
    std::vector<bool> listVisible;
    std::vector<bool> visibleAfterItsEnd;
    const int observer = yav::Dialog::AddModalObserver([&](yav::Dialog& dialog) {
        if (&dialog == &dialogs.GetConfList()) {
            listVisible.push_back(dialog.isVisible());
            dialogs.CancelConfList();
            dialogs.RunLogin();
            dialogs.RunTransSvr({});
        } else if (&dialog == &dialogs.GetLogin()) {
            listVisible.push_back(dialogs.GetConfList().isVisible());
            EXPECT_TRUE(dialog.isVisible());
            dialogs.EndLogin();
            visibleAfterItsEnd.push_back(dialog.isVisible());
        } else if (&dialog == &dialogs.GetTransSvr()) {
            listVisible.push_back(dialogs.GetConfList().isVisible());
            dialogs.EndTransSvr();
            visibleAfterItsEnd.push_back(dialog.isVisible());
        }
    });
    EXPECT_EQ(dialogs.RunConfList(), 1);
    yav::Dialog::RemoveModalObserver(observer);

    EXPECT_EQ(listVisible, (std::vector<bool>{true, false, false}));
    EXPECT_EQ(visibleAfterItsEnd, (std::vector<bool>{false, false}));
}

}  // namespace
