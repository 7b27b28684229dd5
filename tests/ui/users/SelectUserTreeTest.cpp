// The check-box user list: clicks on check marks and names, the notice to the parent, and its
// picture at both scales.

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include "Common/MessageIds.h"
#include "UsersUiSupport.h"
#include "dialogs/users/CSelectUserTree.h"
#include "fakes/ui/RecordingWindow.h"
#include "platform/window/testing/WindowTesting.h"

namespace {

struct SelectUserTreeTest : ::testing::TestWithParam<double> {
    void SetUp() override {
        users_ui::LoadResources();
        parent.MoveWindow(0, 0, yav::Scaled(240), yav::Scaled(160));
        tree = new CSelectUserTree(&parent);
        tree->setGeometry(0, 0, yav::Scaled(240), yav::Scaled(160));
        tree->AddUser(24, "Cy cam 1", 1);
        tree->AddUser(8, "Ann <b>cam</b> 1", 1);
        tree->AddUser(16, "Bob cam 1", 1);
        parent.show();
        QApplication::processEvents();
    }
    QPoint RowPoint(int row, bool onCheck) const {
        const int y = tree->visualRect(tree->model()->index(row, 0)).center().y();
        return {onCheck ? tree->viewport()->width() - yav::Scaled(8) : yav::Scaled(30), y};
    }
    std::vector<WPARAM> Notices() {
        QApplication::processEvents();
        std::vector<WPARAM> values;
        for (const auto& m : parent.Of(WM_SELECTUSER_CHANGED)) {
            values.push_back(m.wParam);
        }
        return values;
    }
    users_ui::ScaleScope scale{GetParam()};
    yav::fakes::RecordingWindow parent;
    CSelectUserTree* tree = nullptr;
};

}  // namespace

TEST_P(SelectUserTreeTest, CheckClicksToggleAndTellTheParentNameClicksDoNot) {
    tree->OnClick(RowPoint(1, true));
    EXPECT_FALSE(tree->IsAllChecked());
    tree->OnClick(RowPoint(1, false));
    EXPECT_FALSE(tree->IsAllChecked());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, RowPoint(1, true));
    EXPECT_TRUE(tree->IsAllChecked());
    tree->OnClick(QPoint(yav::Scaled(230), yav::Scaled(150)));  // below the rows
    EXPECT_EQ(Notices(), (std::vector<WPARAM>{0, 1}));
    std::vector<yav::users::SelectUserEntry> checked;
    std::vector<yav::users::SelectUserEntry> unchecked;
    tree->GetCheckedUsers(checked, unchecked);
    ASSERT_EQ(checked.size(), 3u);
    EXPECT_EQ(checked.front().key, 8u);
}

TEST_P(SelectUserTreeTest, PictureShowsNamesAndBothCheckStates) {
    tree->OnClick(RowPoint(0, true));
    QApplication::processEvents();
    const QImage picture = tree->grab().toImage();
    ASSERT_EQ(picture.size(), QSize(yav::Scaled(240), yav::Scaled(160)));
    const int rowHeight = tree->visualRect(tree->model()->index(0, 0)).height();
    EXPECT_EQ(rowHeight, yav::Scaled(25));
    // The mark of an unticked and of a ticked row differ.
    const int markX = tree->viewport()->width() - yav::Scaled(15) + yav::Scaled(6);
    const QColor unticked = picture.pixelColor(markX, RowPoint(0, true).y());
    const QColor ticked = picture.pixelColor(markX, RowPoint(1, true).y());
    EXPECT_NE(unticked, ticked);
    users_ui::SaveGrab(picture, users_ui::GrabName("users_checkbox_tree", GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Scales, SelectUserTreeTest, ::testing::Values(1.0, 1.5));
