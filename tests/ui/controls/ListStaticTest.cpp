// The report list with its gradient header, the static picture and volume meter, and the
// icon list box's click reports and rows.

#include <QApplication>
#include <QHeaderView>
#include <QTest>

#include <gtest/gtest.h>

#include <array>

#include "ControlTestSupport.h"
#include "client/Common/MessageIds.h"
#include "client/ui/CIconListBox.h"
#include "client/ui/CListCtrlCl.h"
#include "client/ui/CStaticImage.h"
#include "client/ui/ListHeaderLook.h"
#include "platform/core/Scale.h"
#include "platform/window/testing/WindowTesting.h"

namespace {

using controls_test::RecordingParent;
using controls_test::Solid;
using yav::testing::WaitUntil;

TEST(ListCtrlCl, ColumnsRowsAndHeaderGradient) {
    RecordingParent parent;
    parent.resize(400, 200);
    CListCtrlCl list(&parent);
    list.MoveWindow(10, 10, 380, 180);
    EXPECT_EQ(list.InsertColumn(0, QStringLiteral("Address"), LVCFMT_CENTER, 128), 0);
    EXPECT_EQ(list.InsertColumn(1, QStringLiteral("Time"), LVCFMT_RIGHT, 120), 1);
    EXPECT_EQ(list.InsertColumn(2, QStringLiteral("State"), LVCFMT_LEFT, 100), 2);
    EXPECT_EQ(list.m_Header.m_Format, QStringLiteral("120"));
    EXPECT_EQ(list.m_Header.m_HChar.size(), 3);
    EXPECT_EQ(list.ColumnAlignment(1), Qt::AlignRight);
    EXPECT_EQ(list.columnWidth(0), 128);

    EXPECT_EQ(list.InsertItem(0, QStringLiteral("10.0.0.7")), 0);
    EXPECT_TRUE(list.SetItemText(0, 1, QStringLiteral("12:00:01")));
    EXPECT_FALSE(list.SetItemText(5, 1, QStringLiteral("no row")));
    EXPECT_FALSE(list.SetItemText(0, 7, QStringLiteral("no column")));
    EXPECT_EQ(list.InsertItem(1, QStringLiteral("10.0.0.8")), 1);
    EXPECT_EQ(list.InsertItem(99, QStringLiteral("last")), 2);
    EXPECT_EQ(list.GetItemText(0, 1), QStringLiteral("12:00:01"));
    EXPECT_EQ(list.GetItemCount(), 3);
    EXPECT_EQ(list.GetSelectionMark(), -1);
    list.SetSelectionMark(1);
    EXPECT_EQ(list.GetSelectionMark(), 1);
    EXPECT_TRUE(list.DeleteItem(0));
    EXPECT_FALSE(list.DeleteItem(10));
    EXPECT_EQ(list.GetItemText(0, 0), QStringLiteral("10.0.0.8"));

    // Row height: a positive value wins, 0 or less keeps the standard height.
    const int standard = list.RowHeight();
    list.SetRowHeight(-3);
    EXPECT_EQ(list.RowHeight(), standard);
    list.SetRowHeight(30);
    parent.show();
    QApplication::processEvents();
    EXPECT_EQ(list.visualItemRect(list.topLevelItem(0)).height(), 30);

    // The header's rows darken by the step; a tall header ends in black.
    list.SetHeaderBkColor(200, 100, 40, 8);
    list.m_Header.setFixedHeight(40);
    QApplication::processEvents();
    const QImage header = list.m_Header.grab().toImage();
    EXPECT_EQ(header.pixelColor(20, 0), HeaderGradientRowColor(200, 100, 40, 8, 0));
    EXPECT_EQ(header.pixelColor(20, 10), HeaderGradientRowColor(200, 100, 40, 8, 10));
    EXPECT_EQ(header.pixelColor(20, 39), QColor(0, 0, 0));
    // The space after the last column gets the gradient too.
    EXPECT_EQ(header.pixelColor(header.width() - 3, 0), HeaderGradientRowColor(200, 100, 40, 8, 0));

    list.SetBkColor(RGB(250, 250, 240));
    EXPECT_EQ(list.GetBkColor(), RGB(250, 250, 240));
    EXPECT_TRUE(list.DeleteAllItems());
    EXPECT_EQ(list.GetItemCount(), 0);
}

TEST(StaticControls, ImageNeedsAnImageAndVolumeClampsItsLevel) {
    RecordingParent parent;
    parent.resize(200, 60);
    QPalette palette = parent.palette();
    palette.setColor(QPalette::Window, QColor(10, 20, 30));
    parent.setPalette(palette);
    parent.setAutoFillBackground(true);
    CStaticImage picture(&parent);
    picture.MoveWindow(0, 0, 40, 40);
    parent.show();
    EXPECT_EQ(parent.grab().toImage().pixelColor(20, 20), QColor(10, 20, 30));
    QImage logo = Solid(10, 10, QColor(0, 200, 0));
    picture.SetImage(&logo);
    picture.SetBkColor(RGB(255, 0, 0));
    picture.Invalidate();
    EXPECT_EQ(parent.grab().toImage().pixelColor(20, 20), QColor(0, 200, 0));

    CStaticVolume meter(&parent);
    meter.MoveWindow(50, 0, 102, 10);
    QImage lit = Solid(4, 10, QColor(62, 162, 64));
    meter.m_pImageLit = &lit;
    meter.show();
    meter.SetLevel(20);
    EXPECT_EQ(meter.GetLevel(), 15);
    meter.SetLevel(-2);
    EXPECT_EQ(meter.GetLevel(), 0);
    meter.SetLevel(3);
    const QImage bars = meter.grab().toImage();
    EXPECT_EQ(bars.pixelColor(1, 5), QColor(62, 162, 64));
    EXPECT_EQ(bars.pixelColor(15, 5), QColor(62, 162, 64));  // bar 2 at 14..17
    EXPECT_EQ(bars.pixelColor(5, 5), QColor(Qt::white));     // gap between bars
    EXPECT_EQ(bars.pixelColor(22, 5), QColor(Qt::white));    // bar 3 unlit, no image
}

struct RollRecord {
    std::array<std::uint8_t, 140> bytes{};
    void Mark(bool marked) { bytes[CIconListBox::kMarkedOffset] = marked ? 1 : 0; }
};

class IconListTest : public ::testing::Test {
protected:
    void SetUp() override {
        parent.resize(260, 200);
        list = new CIconListBox(&parent);
        list->MoveWindow(10, 10, 240, 180);
        list->SetItemHeight(24);
        list->AddString(QStringLiteral("Name"));
        for (int i = 1; i <= 4; ++i) {
            list->AddString(QStringLiteral("Participant %1").arg(i));
        }
        parent.answer = [this](const controls_test::Message& m) -> LRESULT {
            if (m.message == WM_ICONLISTBOX_CLICK) {
                const auto* record = reinterpret_cast<const ICONLIST_CLICK*>(m.lParam);
                clicks.emplace_back(record->nCode, record->nIndex);
                EXPECT_EQ(m.wParam, reinterpret_cast<WPARAM>(static_cast<QWidget*>(list)));
            }
            return 0;
        };
        parent.show();
        QApplication::processEvents();
    }

    QPoint RowPoint(int row) { return list->visualItemRect(list->item(row)).center(); }

    RecordingParent parent;
    CIconListBox* list = nullptr;
    std::vector<std::pair<int, int>> clicks;
};

TEST_F(IconListTest, TitleRowSwallowsThePress) {
    QTest::mousePress(list->viewport(), Qt::LeftButton, Qt::NoModifier, RowPoint(0));
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].first, kIconListPressed);
    EXPECT_EQ(list->GetCurSel(), -1);
}

TEST_F(IconListTest, RowPressSelectsThenReportsTheRow) {
    QTest::mousePress(list->viewport(), Qt::LeftButton, Qt::NoModifier, RowPoint(3));
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks[0].first, kIconListPressed);
    EXPECT_EQ(clicks[1], std::make_pair(kIconListRowChosen, 3));
    EXPECT_EQ(list->GetCurSel(), 3);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, Qt::NoModifier, RowPoint(3));
}

TEST_F(IconListTest, RowIndexCountsTheScrolledRows) {
    for (int i = 5; i < 40; ++i) {
        list->AddString(QStringLiteral("Participant %1").arg(i));
    }
    list->scrollToItem(list->item(30), QAbstractItemView::PositionAtTop);
    QApplication::processEvents();
    QTest::mousePress(list->viewport(), Qt::LeftButton, Qt::NoModifier, RowPoint(31));
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks[1], std::make_pair(kIconListRowChosen, 31));
}

TEST_F(IconListTest, WithoutTitleRowZeroSelectsSilently) {
    list->m_bTitle = 0;
    QTest::mousePress(list->viewport(), Qt::LeftButton, Qt::NoModifier, RowPoint(0));
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(list->GetCurSel(), 0);
    // A double click on row 0 falls through to the list's own handling.
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, RowPoint(0));
    EXPECT_EQ(clicks.size(), 1u);
}

TEST_F(IconListTest, DoubleClickReportsTheSelection) {
    list->SetCurSel(2);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, RowPoint(2));
    ASSERT_FALSE(clicks.empty());
    EXPECT_EQ(clicks.back(), std::make_pair(kIconListDoubleClick, 2));
    clicks.clear();
    list->clearSelection();
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, RowPoint(0));
    ASSERT_FALSE(clicks.empty());
    EXPECT_EQ(clicks.back(), std::make_pair(kIconListDoubleClick, -1));
}

TEST_F(IconListTest, RowsShowStateIconsAndShortenedText) {
    QImage left = Solid(32, 32, QColor(90, 90, 200));
    QImage present = Solid(24, 24, QColor(40, 180, 60));
    QImage absent = Solid(24, 24, QColor(200, 60, 40));
    list->SetImages(&left, &present, &absent);
    RollRecord here;
    RollRecord late;
    late.Mark(true);
    here.Mark(true);
    RollRecord away;
    list->SetItemDataPtr(1, &here);
    list->SetItemDataPtr(2, &away);
    EXPECT_TRUE(CIconListBox::IsMarked(list->GetItemDataPtr(1)));
    EXPECT_FALSE(CIconListBox::IsMarked(list->GetItemDataPtr(2)));
    EXPECT_FALSE(CIconListBox::IsMarked(list->GetItemDataPtr(3)));  // no record: unmarked
    list->AddString(QStringLiteral("一个很长很长的参会者名字超过十二个字"));
    QApplication::processEvents();
    const QImage shot = list->viewport()->grab().toImage();
    const QRect row1 = list->visualItemRect(list->item(1));
    const QRect row3 = list->visualItemRect(list->item(3));
    const QRect title = list->visualItemRect(list->item(0));
    const int stateX = row1.right() - 5 - 6;
    EXPECT_EQ(shot.pixelColor(stateX, row1.center().y()), QColor(40, 180, 60));
    EXPECT_EQ(shot.pixelColor(stateX, row3.center().y()), QColor(200, 60, 40));
    EXPECT_EQ(shot.pixelColor(row1.left() + 10, row1.center().y()), QColor(90, 90, 200));
    EXPECT_NE(shot.pixelColor(title.left() + 10, title.center().y()), QColor(90, 90, 200));

    // The roll call's own pictures for a person to look at.
    QImage* user = controls_test::SkinPng2x(858);
    QImage* yes = controls_test::SkinPng2x(180);
    QImage* no = controls_test::SkinPng2x(174);
    if (user != nullptr && yes != nullptr && no != nullptr) {
        list->SetImages(user, yes, no);
    }
    list->SetItemDataPtr(4, &late);
    list->SetCurSel(2);
    controls_test::SaveGrab(parent, QStringLiteral("icon_list"));
}

TEST(ListStaticGrab, ReportListAndPictures) {
    RecordingParent parent;
    parent.resize(420, 190);
    parent.setAutoFillBackground(true);
    parent.setPalette(QPalette(Qt::white));
    CListCtrlCl list(&parent);
    list.MoveWindow(10, 10, 400, 120);
    list.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    list.InsertColumn(0, QStringLiteral("Server"), LVCFMT_CENTER, 193);
    list.InsertColumn(1, QStringLiteral("Users"), LVCFMT_RIGHT, 87);
    list.InsertColumn(2, QStringLiteral("State"), LVCFMT_LEFT, 87);
    list.SetHeaderBkColor(171, 199, 235, 2);
    list.SetHeaderFontSize(13, 0);
    list.SetRowHeight(yav::Scaled(22));
    const char* rows[][3] = {{"cs1.example.net", "120", "online"},
                             {"cs2.example.net", "64", "busy"},
                             {"cs3.example.net", "0", "offline"}};
    for (int i = 0; i < 3; ++i) {
        list.InsertItem(i, QString::fromUtf8(rows[i][0]));
        list.SetItemText(i, 1, QString::fromUtf8(rows[i][1]));
        list.SetItemText(i, 2, QString::fromUtf8(rows[i][2]));
    }
    list.SetSelectionMark(1);
    QImage logo = controls_test::RoundShape(64, QColor(51, 133, 237), 12);
    CStaticImage picture(&parent);
    picture.MoveWindow(10, 140, 40, 40);
    picture.SetImage(&logo);
    CStaticVolume meter(&parent);
    meter.MoveWindow(70, 150, 102, 16);
    QImage lit = Solid(4, 16, QColor(62, 162, 64));
    QImage unlit = Solid(4, 16, QColor(210, 214, 222));
    meter.m_pImageLit = &lit;
    meter.m_pImageUnlit = &unlit;
    meter.SetLevel(9);
    parent.show();
    QApplication::processEvents();
    const QImage shot = parent.grab().toImage();
    controls_test::SaveGrab(parent, QStringLiteral("list_and_statics"));
    ASSERT_EQ(shot.size(), QSize(420, 190));
    // The header's gradient beside the first column's title.
    EXPECT_EQ(shot.pixelColor(list.m_Header.mapTo(&parent, QPoint(180, 2))),
              HeaderGradientRowColor(171, 199, 235, 2, 2));
    // The picture stretched over its control.
    EXPECT_EQ(shot.pixelColor(10 + 20, 140 + 20), QColor(51, 133, 237));
    // Level 9: bars 0 to 8 lit (7 px apart), bar 9 unlit.
    EXPECT_EQ(shot.pixelColor(70 + 8 * 7 + 1, 158), QColor(62, 162, 64));
    EXPECT_EQ(shot.pixelColor(70 + 9 * 7 + 1, 158), QColor(210, 214, 222));
}

}  // namespace
