// The owner-drawn menu: items and their records, measuring through the menu's style,
// choosing an entry (returned or posted to the owner) and the painted look.

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "ControlTestSupport.h"
#include "client/ui/VexMenu.h"
#include "platform/window/testing/WindowTesting.h"

namespace {

using controls_test::RecordingParent;
using yav::testing::WaitUntil;

// Answers the menu that opens next: presses the keys in the open pop-up.
void AnswerNextMenu(std::vector<int> keys) {
    QTimer::singleShot(0, [keys] {
        QWidget* popup = QApplication::activePopupWidget();
        if (popup == nullptr) {
            return;
        }
        for (const int key : keys) {
            QTest::keyClick(popup, static_cast<Qt::Key>(key));
        }
    });
}

void BuildLevelMenu(VexMenu& menu) {
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendMenu(0, 40007, QStringLiteral("Smooth playback"), -1);
    menu.AppendMenu(MF_SEPARATOR, 0, QString(), -1);
    for (int i = 0; i < 3; ++i) {
        menu.AppendMenu(i == 1 ? MF_CHECKED : 0, 40000 + static_cast<unsigned>(i),
                        QStringLiteral("%1kbps").arg(256 << i), -1);
    }
    menu.AppendMenu(MF_GRAYED, 40010, QStringLiteral("Unavailable\tCtrl+U"), -1);
}

TEST(VexMenu, AppendKeepsARecordPerItem) {
    VexMenu menu;
    BuildLevelMenu(menu);
    ASSERT_EQ(menu.GetMenuItemCount(), 6);
    const auto& items = menu.GetItems();
    ASSERT_EQ(items.size(), 6u);
    EXPECT_EQ(items[1]->nFlags, MF_SEPARATOR | MF_OWNERDRAW);  // id 0 makes a separator
    EXPECT_EQ(items[0]->nFlags & MF_OWNERDRAW, MF_OWNERDRAW);
    EXPECT_EQ(items[3]->nFlags & MF_CHECKED, MF_CHECKED);
    EXPECT_EQ(items[2]->strText, QStringLiteral("256kbps"));
    EXPECT_FALSE(menu.GetAction(40010, MF_BYCOMMAND)->isEnabled());
    EXPECT_TRUE(menu.GetAction(1, MF_BYPOSITION)->isSeparator());

    EXPECT_EQ(menu.CheckMenuItem(40001, MF_UNCHECKED), static_cast<int>(MF_CHECKED));
    EXPECT_EQ(menu.CheckMenuItem(40002, MF_CHECKED), 0);
    EXPECT_EQ(items[4]->nFlags & MF_CHECKED, MF_CHECKED);
    EXPECT_EQ(menu.EnableMenuItem(40010, MF_ENABLED), static_cast<int>(MF_GRAYED));
    EXPECT_TRUE(menu.GetAction(40010, MF_BYCOMMAND)->isEnabled());
    EXPECT_EQ(menu.CheckMenuItem(99999, MF_CHECKED), -1);
}

TEST(VexMenu, StyleMeasuresItemsAndSeparators) {
    VexMenu menu;
    BuildLevelMenu(menu);
    QMenu* qmenu = menu.GetSafeHmenu();
    qmenu->ensurePolished();
    const int row = VexMenu::MenuRowHeight();
    QSize separator;
    menu.MeasureItem(*menu.GetItems()[1], &separator);
    EXPECT_EQ(separator, QSize(0, std::max(row / 2, (15 + 4) / 2)));
    QSize item;
    menu.MeasureItem(*menu.GetItems()[0], &item);
    EXPECT_EQ(item.height(), std::max(row, 15 + 4));
    EXPECT_GT(item.width(), 2 * 16 + 1);
    // The menu's height is the measured rows plus its frame, whatever the desktop style says.
    const int rows = 5 * item.height() + separator.height();
    EXPECT_GE(qmenu->sizeHint().height(), rows);
    EXPECT_LE(qmenu->sizeHint().height(), rows + 12);
}

TEST(VexMenu, ReturnCmdGivesTheChosenId) {
    VexMenu menu;
    BuildLevelMenu(menu);
    AnswerNextMenu({Qt::Key_Down, Qt::Key_Down, Qt::Key_Return});
    // Down selects the first item, the second Down skips the separator.
    EXPECT_EQ(menu.TrackPopupMenu(TPM_RETURNCMD | TPM_RIGHTBUTTON, 100, 100, nullptr), 40000);
    // The choice never changes the owner's check marks.
    EXPECT_EQ(menu.GetItems()[3]->nFlags & MF_CHECKED, MF_CHECKED);
    EXPECT_TRUE(menu.GetAction(40001, MF_BYCOMMAND)->isChecked());
    EXPECT_FALSE(menu.GetAction(40000, MF_BYCOMMAND)->isChecked());

    AnswerNextMenu({Qt::Key_Escape});
    EXPECT_EQ(menu.TrackPopupMenu(TPM_RETURNCMD, 100, 100, nullptr), 0);
}

TEST(VexMenu, WithoutReturnCmdTheChoiceIsPostedToTheOwner) {
    RecordingParent owner;
    VexMenu menu;
    BuildLevelMenu(menu);
    AnswerNextMenu({Qt::Key_Up, Qt::Key_Return});  // the last entry is grayed: skipped
    EXPECT_NE(menu.TrackPopupMenu(TPM_LEFTALIGN, 50, 50, &owner), 0);
    ASSERT_TRUE(WaitUntil([&] { return !owner.Of(WM_COMMAND).empty(); }));
    const auto commands = owner.Of(WM_COMMAND);
    EXPECT_EQ(LOWORD(commands.front().wParam), 40002);
    EXPECT_EQ(HIWORD(commands.front().wParam), 0);
}

TEST(VexMenu, DestroyMenuReleasesEverything) {
    VexMenu menu;
    BuildLevelMenu(menu);
    QPointer<QMenu> qmenu = menu.GetSafeHmenu();
    EXPECT_TRUE(menu.DestroyMenu());
    EXPECT_TRUE(qmenu.isNull());
    EXPECT_TRUE(menu.GetItems().empty());
    EXPECT_EQ(menu.GetMenuItemCount(), -1);
    EXPECT_FALSE(menu.AppendMenu(0, 1, QStringLiteral("late")));
    EXPECT_EQ(menu.TrackPopupMenu(TPM_RETURNCMD, 0, 0, nullptr), 0);
}

TEST(VexMenu, SubMenusOpenFromTheirItem) {
    VexMenu sub;
    ASSERT_TRUE(sub.CreatePopupMenu());
    sub.AppendMenu(0, 32831, QStringLiteral("Delete the record"));
    VexMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendMenu(MF_POPUP, reinterpret_cast<std::uintptr_t>(sub.GetSafeHmenu()),
                    QStringLiteral("Records"));
    EXPECT_EQ(menu.GetAction(0, MF_BYPOSITION)->menu(), sub.GetSafeHmenu());
    menu.DestroyMenu();
    EXPECT_NE(sub.GetSafeHmenu(), nullptr);  // the sub-menu is its own object's to destroy
}

TEST(VexMenu, PaintedLook) {
    VexMenu menu;
    BuildLevelMenu(menu);
    QMenu* qmenu = menu.GetSafeHmenu();
    qmenu->popup(QPoint(20, 20));
    ASSERT_TRUE(WaitUntil([&] { return qmenu->isVisible(); }));
    const QColor highlight = qmenu->palette().color(QPalette::Active, QPalette::Highlight);
    // A checked item's highlight starts right of the check column (left + 16 + 5); an item
    // without check or icon is highlighted from its left edge.
    qmenu->setActiveAction(menu.GetAction(40001, MF_BYCOMMAND));
    QImage image = qmenu->grab().toImage();
    const QRect checked = qmenu->actionGeometry(menu.GetAction(40001, MF_BYCOMMAND));
    EXPECT_EQ(image.pixel(checked.left() + 22, checked.center().y()), highlight.rgb());
    EXPECT_NE(image.pixel(checked.left() + 3, checked.center().y()), highlight.rgb());
    controls_test::SaveGrab(*qmenu, QStringLiteral("menu_checked_selected"));
    qmenu->setActiveAction(menu.GetAction(40002, MF_BYCOMMAND));
    image = qmenu->grab().toImage();
    const QRect plain = qmenu->actionGeometry(menu.GetAction(40002, MF_BYCOMMAND));
    EXPECT_EQ(image.pixel(plain.left() + 1, plain.center().y()), highlight.rgb());
    // The etched separator: a shadow line over a light one through its middle.
    const QRect separator = qmenu->actionGeometry(menu.GetAction(1, MF_BYPOSITION));
    const int middle = separator.top() + separator.height() / 2;
    EXPECT_EQ(image.pixel(separator.center().x(), middle),
              qmenu->palette().color(QPalette::Active, QPalette::Mid).rgb());
    EXPECT_EQ(image.pixel(separator.center().x(), middle + 1),
              qmenu->palette().color(QPalette::Active, QPalette::Light).rgb());
    controls_test::SaveGrab(*qmenu, QStringLiteral("menu"));
    qmenu->hide();
}

}  // namespace
