// The conference list: rows from the records, the empty notice, the search, scrolling, the
// row's enter button and its refusals, log-out, close, and a grab.

#include <QApplication>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "ConfigManger.h"
#include "LoginTestSupport.h"
#include "SkinGlobals.h"
#include "UiFonts.h"
#include "dialogs/login/CDlgConfList.h"
#include "platform/window/GdipText.h"
#include "platform/window/Scaled.h"
#include "platform/window/testing/WindowTesting.h"

namespace {

using login_test::BoxAnswerer;
using login_test::FakeJoinHandler;
using login_test::Grown;
using login_test::MakeConf;
using yav::testing::ModalAnswer;
using yav::testing::WaitUntil;

class ConfList : public ::testing::Test {
protected:
    void SetUp() override {
        login_test::Reset();
        handler.conferences = {
            MakeConf(812, "Sales", 3, 20), MakeConf(1234, "Team Weekly", 0, 50),
            MakeConf(12, "Board 0812", 7, 0),                  // cannot be entered now
            MakeConf(77, "\xBB\xE1\xD2\xE9\xCA\xD2 A", 1, 9),  // 会议室 A
        };
    }

    void Open(const std::vector<ST_CONF_ITEM>& records) {
        list = std::make_unique<CDlgConfList>();
        list->SetParentDlg(&handler);
        list->SetConfList(records.data(), static_cast<int>(records.size()),
                          QStringLiteral("alice"));
        ASSERT_TRUE(list->Create(CDlgConfList::IDD));
        list->ShowWindow(SW_SHOW);
    }

    std::vector<std::uint32_t> VisibleNumbers() {
        std::vector<std::uint32_t> numbers;
        for (CConfItemPanel* row : list->GetRowList().VisibleItems()) {
            numbers.push_back(row->GetConfNumber());
        }
        return numbers;
    }

    void PressEnter(int row) {
        CYavPngButton* button = list->GetRowList().GetItem(row)->GetEnterButton();
        button->click();
    }

    FakeJoinHandler handler;
    std::unique_ptr<CDlgConfList> list;
};

TEST_F(ConfList, RowsShowTheRecords) {
    Open(handler.conferences);
    CDlgConfListChild& rows = list->GetRowList();
    ASSERT_EQ(rows.GetItemCount(), 4);
    EXPECT_TRUE(rows.isVisible());
    EXPECT_FALSE(list->GetEmptyText().isVisible());
    EXPECT_EQ(list->GetUserName().GetWindowText(), QStringLiteral("alice"));
    CConfItemPanel* first = rows.GetItem(0);
    EXPECT_EQ(first->GetNameLabel()->GetWindowText(), QStringLiteral("Sales"));
    EXPECT_EQ(first->GetNumberLabel()->GetWindowText(), QStringLiteral("00000812"));
    EXPECT_EQ(first->GetCountsLabel()->GetWindowText(), QStringLiteral("3/20"));
    EXPECT_EQ(rows.GetItem(3)->GetNameLabel()->GetWindowText(), QStringLiteral("会议室 A"));
    // Controls of row 1 carry ids 8 .. 14 and stand 79 px below row 0.
    EXPECT_EQ(rows.GetDlgItem(8), rows.GetItem(1)->GetNameLabel());
    EXPECT_EQ(rows.GetItem(1)->GetNameLabel()->geometry(), QRect(38, 79 + 14, 237, 22));
    EXPECT_EQ(rows.GetItem(1)->GetEnterButton()->geometry(), Grown(676, 79 + 28, 58, 26));
    EXPECT_EQ(rows.geometry(), QRect(0, 117, 768 - 18, 521 - 117));
    EXPECT_FALSE(list->GetScrollBar().isVisible()) << "four rows fit";
}

TEST_F(ConfList, NoRecordsShowTheNotice) {
    Open(handler.conferences);
    list->DestroyWindow();
    list->SetConfList(nullptr, 5, QStringLiteral("alice"));
    EXPECT_EQ(list->GetRecordCount(), 0);
    ASSERT_TRUE(list->Create(CDlgConfList::IDD));
    list->ShowWindow(SW_SHOW);
    EXPECT_FALSE(list->GetRowList().isVisible());
    EXPECT_TRUE(list->GetEmptyText().isVisible());
    EXPECT_TRUE(list->GetEmptyImage().isVisible());
    EXPECT_EQ(list->GetEmptyText().GetWindowText(), LoadLangString(3088));
    EXPECT_EQ(list->GetRowList().GetItemCount(), 0);
    // The notice is centred with unscaled offsets.
    EXPECT_EQ(list->GetEmptyImage().geometry().x(), (768 - 214) / 2);
    EXPECT_EQ(list->GetEmptyText().geometry().x(), (768 - 214) / 2 + 89);
}

TEST_F(ConfList, SearchFiltersAndEmptyTextShowsAll) {
    Open(handler.conferences);
    list->GetSearchEdit().setText(QStringLiteral("0812"));
    EXPECT_EQ(VisibleNumbers(), (std::vector<std::uint32_t>{812, 12}));
    // Matching rows close up from the top.
    EXPECT_EQ(list->GetRowList().GetItem(2)->GetRect().top(), 79);
    list->GetSearchEdit().setText(QStringLiteral("team"));
    EXPECT_EQ(VisibleNumbers(), (std::vector<std::uint32_t>{1234}));
    list->GetSearchEdit().setText(QStringLiteral("会议"));
    EXPECT_EQ(VisibleNumbers(), (std::vector<std::uint32_t>{77}));
    list->GetSearchEdit().setText(QStringLiteral(" "));
    EXPECT_EQ(VisibleNumbers(), (std::vector<std::uint32_t>{1234, 12, 77}))
        << "a blank filters (names with a blank) instead of showing all";
    list->GetSearchEdit().setText(QStringLiteral("  "));
    EXPECT_TRUE(VisibleNumbers().empty());
    list->GetSearchEdit().clear();
    EXPECT_EQ(VisibleNumbers().size(), 4u);
}

TEST_F(ConfList, ManyRowsScrollByWheelAndBar) {
    std::vector<ST_CONF_ITEM> many;
    for (std::uint32_t i = 0; i < 10; ++i) {
        many.push_back(MakeConf(100 + i, "Room", 1, 10));
    }
    Open(many);
    CDlgConfListChild& rows = list->GetRowList();
    ASSERT_TRUE(rows.GetScroll().scrollable);
    EXPECT_TRUE(list->GetScrollBar().isVisible());
    EXPECT_EQ(list->GetScrollBar().geometry(), QRect(768 - 18, 118, 18, 521 - 118));
    const int top = rows.GetItem(0)->GetNameLabel()->y();

    QWheelEvent down(QPointF(10, 10), rows.mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, -120),
                     Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&rows, &down);
    EXPECT_EQ(rows.GetScroll().pos, 10);
    EXPECT_EQ(rows.GetItem(0)->GetNameLabel()->y(), top - 10);
    EXPECT_EQ(list->GetScrollBar().GetScrollPos(), 10);

    list->SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(rows.GetScroll().pos, 89);
    EXPECT_EQ(rows.GetItem(0)->GetNameLabel()->y(), top - 89);
    list->SendMessage(WM_VSCROLL, 7 /* bottom */, 0);
    EXPECT_EQ(rows.GetScroll().pos, 790 - 79);

    // A new filter places the rows from the top again.
    list->GetSearchEdit().setText(QStringLiteral("room"));
    EXPECT_EQ(rows.GetScroll().pos, 0);
    EXPECT_EQ(rows.GetItem(0)->GetNameLabel()->y(), top);
}

TEST_F(ConfList, EnterButtonEntersThroughTheRoad) {
    Open(handler.conferences);
    PressEnter(0);
    ASSERT_TRUE(WaitUntil([&] { return handler.enterCalls == 1; }));
    EXPECT_EQ(handler.findCalls, std::vector<std::uint32_t>{812});
    EXPECT_EQ(list->GetRowList().GetItem(0)->GetEnterButton()->GetWindowText(),
              LoadLangString(3208));

    handler.enterResult = -1;  // the road stopped early: the caption comes back
    PressEnter(1);
    ASSERT_TRUE(WaitUntil([&] { return handler.enterCalls == 2; }));
    EXPECT_EQ(list->GetRowList().GetItem(1)->GetEnterButton()->GetWindowText(),
              LoadLangString(3091));
}

TEST_F(ConfList, RowsThatCannotBeEnteredSayWhy) {
    Open(handler.conferences);
    BoxAnswerer boxes;
    PressEnter(2);  // capacity 0
    ASSERT_TRUE(WaitUntil([&] { return boxes.Messages().size() == 1; }));
    EXPECT_EQ(boxes.Messages().front(), LoadLangString(1696));
    EXPECT_EQ(handler.enterCalls, 0);
    EXPECT_EQ(list->GetRowList().GetItem(2)->GetEnterButton()->GetWindowText(),
              LoadLangString(3091));

    handler.conferences.erase(handler.conferences.begin());  // 812 left the road's table
    PressEnter(0);
    ASSERT_TRUE(WaitUntil([&] { return handler.findCalls.size() == 2; }));
    EXPECT_EQ(handler.enterCalls, 0);
    EXPECT_EQ(list->GetRowList().GetItem(0)->GetEnterButton()->GetWindowText(),
              LoadLangString(3091));
}

TEST_F(ConfList, RowsPastTheOldCommandRangeCanBeEntered) {
    std::vector<ST_CONF_ITEM> many(1500, MakeConf(5, "x", 1, 1));
    many.back() = MakeConf(999, "last", 1, 1);
    handler.conferences = many;
    Open(many);
    PressEnter(1499);
    ASSERT_TRUE(WaitUntil([&] { return handler.enterCalls == 1; }));
    EXPECT_EQ(handler.findCalls, std::vector<std::uint32_t>{999});
}

TEST_F(ConfList, LogoutCloseAndCancelResults) {
    CDlgConfList modal;
    modal.SetParentDlg(&handler);
    modal.SetConfList(handler.conferences.data(), 4, QStringLiteral("alice"));
    {
        ModalAnswer logout([](yav::Dialog& d) {
            d.SendMessage(WM_COMMAND, MAKEWPARAM(CDlgConfList::IDC_LOGOUT, BN_CLICKED), 0);
        });
        EXPECT_EQ(modal.DoModal(), IDCANCEL);
        EXPECT_EQ(handler.setMonitorCalls, 1);
        EXPECT_EQ(handler.exitCalls, 0);
    }
    {
        ModalAnswer close([](yav::Dialog& d) {
            d.SendMessage(WM_COMMAND, MAKEWPARAM(CDlgConfList::IDC_CLOSE, BN_CLICKED), 0);
        });
        EXPECT_EQ(modal.DoModal(), IDOK);
        EXPECT_EQ(handler.exitCalls, 1);
    }
    {
        ModalAnswer windowClose([](yav::Dialog& d) { d.close(); });
        EXPECT_EQ(modal.DoModal(), IDOK);
        EXPECT_EQ(handler.exitCalls, 2);
    }
    {
        ModalAnswer escape([](yav::Dialog& d) {
            QTest::keyClick(&d, Qt::Key_Escape);
            static_cast<CDlgConfList&>(d).CancelDlg();
        });
        EXPECT_EQ(modal.DoModal(), IDOK) << "Esc does not end the list; the road does";
        EXPECT_EQ(handler.exitCalls, 2);
    }
}

// The texts of the list show whole in each language at both scales: the notice, the sign-out
// caption and the row button's two captions keep their fixed widths.
TEST_F(ConfList, TextsShowWholeInEveryLanguageAndScale) {
    for (double scale : {1.0, 1.5}) {
        for (int language : {0, 1, 2}) {
            SCOPED_TRACE(testing::Message() << "scale " << scale << " language " << language);
            login_test::ScaleGuard scaleGuard(scale);
            login_test::LanguageGuard languageGuard(language);
            Open({});
            CTransparentStatic& notice = list->GetEmptyText();
            ASSERT_TRUE(notice.isVisible());
            EXPECT_EQ(notice.width(), yav::Scaled(124));
            EXPECT_EQ(login_test::ShownText(notice.GetTextLayout()), LoadLangString(3088));
            list.reset();

            Open(handler.conferences);
            auto* logout = dynamic_cast<CYavPngButton*>(list->GetDlgItem(CDlgConfList::IDC_LOGOUT));
            ASSERT_NE(logout, nullptr);
            EXPECT_EQ(login_test::ShownCaption(*logout), LoadLangString(3082));
            CConfItemPanel* row = list->GetRowList().GetItem(0);
            EXPECT_EQ(login_test::ShownCaption(*row->GetEnterButton()), LoadLangString(3091));
            row->SetEntering(1);
            EXPECT_EQ(login_test::ShownCaption(*row->GetEnterButton()), LoadLangString(3208));
            list.reset();
        }
    }
}

// Relative luminance and contrast ratio of two colours, as accessibility guidelines define them.
double Luminance(const QColor& color) {
    auto channel = [](double value) {
        return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(color.redF()) + 0.7152 * channel(color.greenF()) +
           0.0722 * channel(color.blueF());
}

double Contrast(const QColor& a, const QColor& b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The lowest contrast of a text colour against the pixels of an image area.
double LowestContrast(const QImage& image, const QRect& area, const QColor& text) {
    double lowest = 100;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            lowest = std::min(lowest, Contrast(image.pixelColor(x, y), text));
        }
    }
    return lowest;
}

// The header picture lies under the blue user name and the grey sign-out caption, which keep
// their colours: it must leave them readable (4.5 : 1 for the name, 3 : 1 for the caption, the
// most the grey reaches even on white being 3.3 : 1).
TEST_F(ConfList, HeaderPictureKeepsItsTextsReadable) {
    Open(handler.conferences);
    const QImage header = g_ConfigManager.LoadPNG(206)->convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(header.size(), QSize(768, 87));
    // Window areas of the two texts, moved into the picture, which starts under the caption.
    const QRect nameArea = list->GetUserName().geometry().translated(0, -g_nCaptionHeight);
    const QRect caption =
        list->GetDlgItem(CDlgConfList::IDC_LOGOUT)->geometry().adjusted(5 + 12, 5, -5, -5);
    const QRect captionArea = caption.translated(0, -g_nCaptionHeight);
    ASSERT_TRUE(header.rect().contains(nameArea));
    ASSERT_TRUE(header.rect().contains(captionArea));
    EXPECT_GE(LowestContrast(header, nameArea, QColor(0, 0, 255)), 4.5);
    EXPECT_GE(LowestContrast(header, captionArea, QColor(0x8D, 0x8D, 0x8D)), 3.0);
}

// The search frame picture stands at (W - 136, 52), 126 x 48; the search edit at
// (W - 106, 67), 93 x 22, stops 3 px short of its right edge. The picture's field must enclose
// the edit: opaque just above, just below and just left of it, in the design image and its 2x
// image.
TEST_F(ConfList, SearchFrameEnclosesTheSearchEdit) {
    for (int factor : {1, 2}) {
        SCOPED_TRACE(factor);
        const QImage* frame = g_ConfigManager.LoadPNG(static_cast<UINT>(226 + factor - 1));
        ASSERT_NE(frame, nullptr);
        ASSERT_EQ(frame->size(), QSize(126, 48) * factor);
        const QRect edit(30 * factor, 15 * factor, 96 * factor, 22 * factor);
        auto opaque = [frame](int x, int y) { return qAlpha(frame->pixel(x, y)) == 255; };
        for (int x = edit.left(); x <= edit.right(); ++x) {
            EXPECT_TRUE(opaque(x, edit.top() - 1)) << "above, x " << x;
            EXPECT_TRUE(opaque(x, edit.bottom() + 1)) << "below, x " << x;
        }
        for (int y = edit.top(); y <= edit.bottom(); ++y) {
            EXPECT_TRUE(opaque(edit.left() - 1, y)) << "left, y " << y;
        }
    }
    // And the window places both where the picture expects them.
    Open(handler.conferences);
    const int w = list->GetClientRect().width();
    EXPECT_EQ(list->GetSearchEdit().geometry(), QRect(w - 106, 67, 93, 22));
}

// The search field keeps its border all round: the edit in it paints white over whatever it
// covers, so the field's right end must stay clear of it. Beside the edit's rows, the column of
// the right border shows the border's blue-grey, never the edit's white.
TEST_F(ConfList, TheSearchFieldShowsItsRightBorderBesideTheEdit) {
    for (double scale : {1.0, 1.5}) {
        SCOPED_TRACE(testing::Message() << "scale " << scale);
        login_test::ScaleGuard guard(scale);
        Open(handler.conferences);
        const QImage shot = list->grab().toImage();
        login_test::SaveGrab(list.get(), scale == 1.0
                                             ? QStringLiteral("conference_list_search")
                                             : QStringLiteral("conference_list_search_150"));
        const QRect edit = list->GetSearchEdit().geometry();
        // The frame picture's right end: its last design pixel column holds the border.
        const int frameRight = list->GetClientRect().width() - yav::Scaled(10) - 1;
        EXPECT_LT(edit.right(), frameRight - yav::Scaled(1)) << "the edit reaches the border";
        for (int y = edit.top(); y <= edit.bottom(); ++y) {
            // The border is drawn over the picture's last design column (half a pixel in at
            // 1.0): the darkest pixel of that column's device pixels is the border's.
            int darkest = 255;
            for (int x = frameRight - yav::Scaled(1); x <= frameRight; ++x) {
                darkest = std::min(darkest, shot.pixelColor(x, y).lightness());
            }
            EXPECT_LT(darkest, 240) << "row " << y << ": no border beside the edit";
        }
        // Above and below the edit the border runs on, as it always did.
        EXPECT_LT(shot.pixelColor(edit.center().x(), yav::Scaled(52 + 12)).lightness(), 240);
        list.reset();
    }
}

// The leftmost column of the area where two pictures differ; -1 when they are the same there.
int FirstDifferingColumn(const QImage& a, const QImage& b, const QRect& area) {
    for (int x = area.left(); x <= area.right(); ++x) {
        for (int y = area.top(); y <= area.bottom(); ++y) {
            if (a.pixel(x, y) != b.pixel(x, y)) {
                return x;
            }
        }
    }
    return -1;
}

// Grabs of the list at both scales: the window at its scaled size under the caption band, and
// the sign-out caption 12 design pixels (scaled once) into the button's picture, centred in the
// rest of it. Where the caption starts is read from the pixels that change when it is taken away.
TEST_F(ConfList, GrabsPlaceTheSignOutCaptionAtItsScaledOffset) {
    for (double scale : {1.0, 1.5}) {
        SCOPED_TRACE(testing::Message() << "scale " << scale);
        login_test::ScaleGuard guard(scale);
        Open(handler.conferences);
        const QImage shot = list->grab().toImage();
        login_test::SaveGrab(list.get(), scale == 1.0 ? QStringLiteral("conference_list")
                                                      : QStringLiteral("conference_list_scale150"));
        EXPECT_EQ(shot.size(), QSize(yav::Scaled(768), yav::Scaled(521)));
        EXPECT_EQ(shot.pixelColor(yav::Scaled(400), g_nCaptionHeight / 2),
                  yav::ColorFromRef(g_clrCaption));

        auto* logout = dynamic_cast<CYavPngButton*>(list->GetDlgItem(CDlgConfList::IDC_LOGOUT));
        ASSERT_NE(logout, nullptr);
        const QString caption = logout->GetWindowText();
        ASSERT_FALSE(caption.isEmpty());
        logout->SetWindowText(QString());
        const QImage bare = list->grab().toImage();
        logout->SetWindowText(caption);

        // The picture stands at the layout's x; the caption's room starts 12 design px into it.
        const int pictureLeft = yav::Scaled(85);
        const int pictureRight = logout->geometry().right() - yav::Scaled(5);
        const int room = pictureLeft + yav::Scaled(12);
        const qreal textWidth = yav::gdip::MeasureString(caption, g_fontUI).width();
        const double expected = room + (pictureRight + 1 - room - textWidth) / 2;
        const int found = FirstDifferingColumn(shot, bare, logout->geometry());
        ASSERT_GE(found, 0) << "no caption drawn";
        EXPECT_NEAR(found, expected, 2.0);
        list.reset();
    }
}

// The empty list shows its picture and notice where the rows would be, and no row.
TEST_F(ConfList, GrabOfTheEmptyListShowsTheNotice) {
    Open({});
    const QImage shot = list->grab().toImage();
    login_test::SaveGrab(list.get(), QStringLiteral("conference_list_empty"));
    const QImage* picture = g_ConfigManager.LoadPNG(224);
    ASSERT_NE(picture, nullptr);
    const QRect place = list->GetEmptyImage().geometry();
    ASSERT_EQ(place.size(), picture->size());
    EXPECT_EQ(shot.pixelColor(place.center()),
              picture->pixelColor(place.center() - place.topLeft()));
    // The notice's grey text over the white under it.
    EXPECT_GT(login_test::DarkPixels(shot, list->GetEmptyText().geometry(), 200), 10);
    // Below the header nothing but white outside the notice.
    const int rowsTop = yav::Scaled(117);
    EXPECT_EQ(shot.pixelColor(yav::Scaled(40), rowsTop + yav::Scaled(20)), QColor(Qt::white));
    EXPECT_EQ(shot.pixelColor(yav::Scaled(700), rowsTop + yav::Scaled(300)), QColor(Qt::white));
}

}  // namespace
