// The flat combo box and the two skinned edits: hover and drop-button state, the wheel, the
// read-only keys, the selection-field height, hints and focus colours.

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include "ControlTestSupport.h"
#include "client/ui/CComboBoxXP.h"
#include "client/ui/CDrawButton.h"
#include "client/ui/CEditXP.h"
#include "client/ui/CYavEditEx.h"
#include "platform/window/testing/WindowTesting.h"

namespace {

using controls_test::RecordingParent;
using yav::testing::WaitUntil;

void Send(QWidget* widget, QEvent::Type type) {
    if (type == QEvent::Enter) {
        QEnterEvent event(QPointF(2, 2), QPointF(2, 2), widget->mapToGlobal(QPointF(2, 2)));
        QCoreApplication::sendEvent(widget, &event);
    } else if (type == QEvent::MouseMove) {
        QMouseEvent event(QEvent::MouseMove, QPointF(3, 3), widget->mapToGlobal(QPointF(3, 3)),
                          Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &event);
    } else {
        QEvent event(type);
        QCoreApplication::sendEvent(widget, &event);
    }
}

void Wheel(QWidget* widget) {
    QWheelEvent wheel(QPointF(5, 5), widget->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(widget, &wheel);
}

// A shown, active window whose keys pass the pre-translation chain like the program's.
class ComboEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        parent.resize(320, 200);
        parent.show();
        parent.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&parent));
    }

    CComboBoxXP* AddCombo(bool editable) {
        auto* combo = new CComboBoxXP(&parent);
        combo->setEditable(editable);
        combo->addItems({QStringLiteral("All"), QStringLiteral("Present"), QStringLiteral("Absent"),
                         QStringLiteral("Busy")});
        combo->MoveWindow(10, 10, 150, 200);
        combo->show();
        return combo;
    }

    RecordingParent parent;
};

TEST_F(ComboEditTest, ComboStaysLitBetweenItselfAndItsEdit) {
    CComboBoxXP* combo = AddCombo(true);
    QLineEdit* edit = combo->lineEdit();
    ASSERT_NE(edit, nullptr);
    Send(combo, QEvent::MouseMove);
    EXPECT_TRUE(combo->IsHot());
    Send(edit, QEvent::MouseMove);  // into the edit: still lit
    EXPECT_TRUE(combo->IsHot());
    Send(combo, QEvent::Leave);  // the combo is no longer the tracked window
    EXPECT_TRUE(combo->IsHot());
    Send(edit, QEvent::Leave);
    EXPECT_FALSE(combo->IsHot());
}

TEST_F(ComboEditTest, DropButtonStateWord) {
    EXPECT_EQ(ComboButtonStateWord(false, false, false, false), 0xA02u);
    EXPECT_EQ(ComboButtonStateWord(false, false, true, false), 0x4A02u);
    EXPECT_EQ(ComboButtonStateWord(false, false, true, true), 0x5A02u);
    EXPECT_EQ(ComboButtonStateWord(true, false, false, false), 0xB02u);
    EXPECT_EQ(ComboButtonStateWord(false, true, false, false), 0x802u);
}

TEST_F(ComboEditTest, DropButtonLooks) {
    QPalette palette;
    palette.setColor(QPalette::Highlight, QColor(0, 120, 215));
    const QRect rect(0, 0, 16, 22);
    const CDrawButton::Look idle = CDrawButton(0xA02, rect).LookFor(palette, 1.0);
    EXPECT_EQ(idle.brush, QColor(0xD7, 0xD7, 0xD7));
    EXPECT_EQ(idle.arrow, palette.color(QPalette::Active, QPalette::ButtonText));
    const CDrawButton::Look hot = CDrawButton(0x4A02, rect).LookFor(palette, 1.0);
    EXPECT_EQ(hot.pen, QColor(0, 120, 215));
    EXPECT_EQ(hot.brush, CDrawButton::HlsTransform(QColor(0, 120, 215), 70, 57));
    EXPECT_EQ(hot.arrow, QColor(Qt::black));
    const CDrawButton::Look dropped = CDrawButton(0x5A02, rect).LookFor(palette, 1.0);
    EXPECT_EQ(dropped.brush, CDrawButton::HlsTransform(QColor(0, 120, 215), 50, 50));
    EXPECT_EQ(dropped.arrow, QColor(0xF0, 0xF0, 0xF0));
    const CDrawButton::Look disabled = CDrawButton(0x4B02, rect).LookFor(palette, 1.0);
    EXPECT_EQ(disabled.brush, QColor(0xD7, 0xD7, 0xD7));
    EXPECT_EQ(disabled.arrow, palette.color(QPalette::Disabled, QPalette::Text));
    // Lighter than the highlight, same hue family.
    EXPECT_GT(hot.brush.lightness(), QColor(0, 120, 215).lightness());
    EXPECT_GT(hot.brush.lightness(), dropped.brush.lightness());
    // Five rows at scale 1, seven at 1.5; apex below the centre, widest row on top.
    ASSERT_EQ(CDrawButton::ArrowRows(rect, 1.0).size(), 5u);
    EXPECT_EQ(CDrawButton::ArrowRows(rect, 1.5).size(), 7u);
    const std::vector<QLine> rows = CDrawButton::ArrowRows(rect, 1.0);
    EXPECT_EQ(rows.front(), QLine(8, 13, 8, 13));
    EXPECT_EQ(rows.back(), QLine(4, 9, 12, 9));
}

TEST_F(ComboEditTest, WheelOnlyScrollsAnOpenList) {
    CComboBoxXP* combo = AddCombo(false);
    combo->setCurrentIndex(1);
    Wheel(combo);
    EXPECT_EQ(combo->currentIndex(), 1);
    combo->SetWheelOnlyWhenDropped(0);
    Wheel(combo);
    EXPECT_EQ(combo->currentIndex(), 2);
}

TEST_F(ComboEditTest, ReadOnlyLookPassesOnlyListKeys) {
    CComboBoxXP* combo = AddCombo(false);
    combo->setFocus();
    ASSERT_TRUE(WaitUntil([&] { return combo->hasFocus(); }));
    combo->SetBkColor(1, RGB(240, 240, 240));
    EXPECT_TRUE(combo->IsReadOnlyLook());
    QTest::keyClick(combo, Qt::Key_B);  // keyboard search would pick "Busy"
    EXPECT_EQ(combo->currentIndex(), 0);
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(combo->currentIndex(), 1);
    combo->SetBkColor(0, RGB(1, 2, 3));
    EXPECT_FALSE(combo->IsReadOnlyLook());
    QTest::keyClick(combo, Qt::Key_B);
    EXPECT_EQ(combo->currentIndex(), 3);
}

TEST_F(ComboEditTest, VisibleHeightIsTheSelectionField) {
    CComboBoxXP* combo = AddCombo(false);
    // Moved with the height of its drop-down list: the field keeps its own height.
    EXPECT_EQ(combo->height(), combo->sizeHint().height());
    combo->m_nPendingHeight = 30;
    combo->MoveWindow(10, 10, 150, 300);
    EXPECT_EQ(combo->height(), 30);
    EXPECT_EQ(combo->m_nPendingHeight, -1);
    combo->MoveWindow(10, 40, 160, 250);
    EXPECT_EQ(combo->geometry(), QRect(10, 40, 160, 30));
}

TEST_F(ComboEditTest, EditHintNeedsTextAndShowsOnlyWhileEmpty) {
    CEditXP edit(&parent);
    edit.MoveWindow(10, 60, 200, 26);
    edit.show();
    edit.SetHintText(QString());
    EXPECT_FALSE(edit.HasCustomFrame());
    edit.SetHintText(QStringLiteral("Meeting number"));
    EXPECT_TRUE(edit.HasCustomFrame());

    const QRect hintArea(3, 3, 60, 18);
    const auto hintPixels = [&] {
        const QImage image = edit.grab().toImage();
        int count = 0;
        for (int y = hintArea.top(); y <= hintArea.bottom(); ++y) {
            for (int x = hintArea.left(); x <= hintArea.right(); ++x) {
                const QColor c = image.pixelColor(x, y);
                count += c.red() < 220 && std::abs(c.red() - c.blue()) < 8 ? 1 : 0;
            }
        }
        return count;
    };
    EXPECT_GT(hintPixels(), 10);
    edit.setText(QStringLiteral(" "));
    EXPECT_EQ(hintPixels(), 0);
    edit.clear();
    EXPECT_GT(hintPixels(), 10);
}

TEST_F(ComboEditTest, ReadOnlyEditIgnoresTypingButCopiesAndMovesFocusOn) {
    CEditXP edit(&parent);
    CEditXP next(&parent);
    edit.MoveWindow(10, 60, 200, 26);
    next.MoveWindow(10, 100, 200, 26);
    edit.show();
    next.show();
    edit.setText(QStringLiteral("10086"));
    edit.setReadOnly(true);
    edit.setFocus();
    ASSERT_TRUE(WaitUntil([&] { return edit.hasFocus(); }));
    QTest::keyClicks(&edit, QStringLiteral("abc"));
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClick(&edit, Qt::Key_Delete);
    QTest::keyClick(&edit, Qt::Key_Home);
    QTest::keyClick(&edit, Qt::Key_Comma);
    EXPECT_EQ(edit.text(), QStringLiteral("10086"));
    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit.text(), QStringLiteral("10086"));
    edit.selectAll();
    QTest::keyClick(&edit, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("10086"));
    QTest::keyClick(&edit, Qt::Key_Tab);
    EXPECT_TRUE(WaitUntil([&] { return next.hasFocus(); }));

    edit.setReadOnly(false);
    edit.setFocus();
    ASSERT_TRUE(WaitUntil([&] { return edit.hasFocus(); }));
    edit.end(false);
    QTest::keyClicks(&edit, QStringLiteral("9"));
    EXPECT_EQ(edit.text(), QStringLiteral("100869"));
}

TEST_F(ComboEditTest, ColouredEditFollowsFocusOnceItHasColours) {
    CYavEditEx edit(&parent);
    CYavEditEx other(&parent);
    edit.MoveWindow(10, 60, 200, 26);
    other.MoveWindow(10, 100, 200, 26);
    edit.show();
    other.show();
    const QColor ordinary = edit.palette().color(QPalette::Active, QPalette::Base);
    edit.SetTextColors(RGB(51, 51, 51), RGB(0, 0, 0));
    EXPECT_EQ(edit.palette().color(QPalette::Active, QPalette::Base), ordinary);

    edit.SetBkColors(RGB(247, 247, 247), RGB(216, 216, 216));
    EXPECT_EQ(edit.grab().toImage().pixelColor(100, 13), QColor(247, 247, 247));
    edit.setFocus();
    ASSERT_TRUE(WaitUntil([&] { return edit.IsFocused(); }));
    EXPECT_EQ(edit.palette().color(QPalette::Active, QPalette::Base), QColor(216, 216, 216));
    EXPECT_EQ(edit.palette().color(QPalette::Active, QPalette::Text), QColor(0, 0, 0));
    other.setFocus();
    ASSERT_TRUE(WaitUntil([&] { return !edit.IsFocused(); }));
    EXPECT_EQ(edit.palette().color(QPalette::Active, QPalette::Text), QColor(51, 51, 51));

    edit.setEnabled(false);
    EXPECT_EQ(edit.palette().color(QPalette::Disabled, QPalette::Text), QColor(255, 0, 0));
    EXPECT_EQ(edit.palette().color(QPalette::Disabled, QPalette::Base), QColor(247, 247, 247));

    edit.SetFontHeight(18);
    EXPECT_EQ(edit.font().pixelSize(), 18);
    edit.SetFontHeight(-14);
    EXPECT_EQ(edit.font().pixelSize(), 14);
}

TEST_F(ComboEditTest, Grab) {
    parent.resize(340, 190);
    parent.setAutoFillBackground(true);
    parent.setPalette(QPalette(Qt::white));
    CComboBoxXP* plain = AddCombo(false);
    plain->m_clrFrame = RGB(204, 204, 204);
    CComboBoxXP* hot = AddCombo(true);
    hot->MoveWindow(170, 10, 150, 200);
    hot->m_clrFrame = RGB(204, 204, 204);
    Send(hot, QEvent::MouseMove);
    CComboBoxXP* readOnly = AddCombo(false);
    readOnly->MoveWindow(10, 50, 150, 200);
    readOnly->SetBkColor(1, RGB(236, 240, 245));
    CComboBoxXP* disabled = AddCombo(false);
    disabled->MoveWindow(170, 50, 150, 200);
    disabled->setEnabled(false);
    CEditXP hint(&parent);
    hint.MoveWindow(10, 90, 150, 26);
    hint.SetFrameColor(RGB(204, 204, 204));
    hint.SetHintText(QStringLiteral("请输入会议号"));
    CEditXP filled(&parent);
    filled.MoveWindow(170, 90, 150, 26);
    filled.SetHintText(QStringLiteral("Password"));
    filled.setText(QStringLiteral("user@example"));
    CYavEditEx coloured(&parent);
    coloured.MoveWindow(10, 130, 150, 26);
    coloured.SetTextColors(RGB(51, 51, 51), RGB(0, 0, 0));
    coloured.SetBkColors(RGB(247, 247, 247), RGB(216, 216, 216));
    coloured.setText(QStringLiteral("Bulletin text"));
    CYavEditEx red(&parent);
    red.MoveWindow(170, 130, 150, 26);
    red.SetBkColors(RGB(247, 247, 247), RGB(216, 216, 216));
    red.setText(QStringLiteral("Disabled"));
    red.setEnabled(false);
    for (QWidget* w : std::initializer_list<QWidget*>{&hint, &filled, &coloured, &red}) {
        w->show();
    }
    QApplication::processEvents();
    const QImage shot = parent.grab().toImage();
    controls_test::SaveGrab(parent, QStringLiteral("combos_and_edits"));
    ASSERT_EQ(shot.size(), QSize(340, 190));

    // Combos: the owner's frame; the field white, in the read-only colour, or in the face
    // colour when disabled; the hot one's drop button drawn apart from the plain one's.
    const auto field = [&](const CComboBoxXP* combo) {
        const QRect g = combo->geometry();
        return shot.pixelColor(g.right() - CComboBoxXP::ButtonWidth() - 5, g.center().y());
    };
    EXPECT_EQ(shot.pixelColor(plain->geometry().left(), plain->geometry().center().y()),
              QColor(204, 204, 204));
    EXPECT_EQ(field(plain), plain->palette().color(QPalette::Active, QPalette::Base));
    EXPECT_EQ(field(readOnly), QColor(236, 240, 245));
    EXPECT_EQ(field(disabled), disabled->palette().color(QPalette::Active, QPalette::Button));
    const auto button = [&](const CComboBoxXP* combo) {
        const QRect g = combo->geometry();
        return shot.copy(g.right() + 1 - CComboBoxXP::ButtonWidth(), g.top(),
                         CComboBoxXP::ButtonWidth(), g.height());
    };
    EXPECT_NE(button(hot), button(plain));

    // Edits: the hint in grey while empty; the coloured edit's own background; the disabled
    // one's text in red.
    const auto count = [&](const QRect& area, auto&& test) {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                n += test(shot.pixelColor(x, y)) ? 1 : 0;
            }
        }
        return n;
    };
    EXPECT_GT(
        count(hint.geometry().adjusted(3, 3, -3, -3),
              [](const QColor& c) { return c.red() < 220 && std::abs(c.red() - c.blue()) < 8; }),
        10);
    EXPECT_EQ(shot.pixelColor(coloured.geometry().right() - 10, coloured.geometry().center().y()),
              QColor(247, 247, 247));
    EXPECT_GT(
        count(red.geometry().adjusted(3, 3, -3, -3),
              [](const QColor& c) { return c.red() > 180 && c.green() < 120 && c.blue() < 120; }),
        10);
}

}  // namespace
