// The document page button: what a press and a double click tell the page-tab window, the
// long-caption tooltip rule and the painted tab strip.

#include <QApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "ControlTestSupport.h"
#include "SkinGlobals.h"
#include "UiFonts.h"
#include "client/Common/MessageIds.h"
#include "client/ui/CDocPageBtn.h"
#include "platform/window/testing/WindowTesting.h"

namespace {

using controls_test::RecordingParent;

class DocPageBtnTest : public ::testing::Test {
protected:
    void SetUp() override {
        strip.resize(400, 60);
        tab = new CDocPageBtn(&strip);
        tab->SetDlgCtrlID(184);
        tab->MoveWindow(QRect(10, 10, 150, 34));
        tab->SetTextStyle(1, 0);
        tab->SetWindowText(QStringLiteral("Quarterly report.pptx"));
        tab->SetPageNo(7);
        strip.show();
    }

    std::vector<std::pair<WPARAM, LPARAM>> Pages() const {
        std::vector<std::pair<WPARAM, LPARAM>> pages;
        for (const auto& m : strip.Of(WM_PAGEBTN_INFO)) {
            pages.emplace_back(m.wParam, m.lParam);
        }
        return pages;
    }

    RecordingParent strip;
    CDocPageBtn* tab = nullptr;
};

TEST_F(DocPageBtnTest, PressOnAnUnselectedTabActivatesItsPage) {
    const QPoint closeBox(110, 15);
    QTest::mousePress(tab, Qt::LeftButton, Qt::NoModifier, closeBox);
    QTest::mouseRelease(tab, Qt::LeftButton, Qt::NoModifier, closeBox);
    QTest::mouseClick(tab, Qt::LeftButton, Qt::NoModifier, QPoint(30, 15));
    using Page = std::pair<WPARAM, LPARAM>;
    EXPECT_EQ(Pages(), (std::vector<Page>{{kPageBtnActivate, 7}, {kPageBtnActivate, 7}}));
    // The press is not passed on: no click command and no focus.
    EXPECT_TRUE(strip.Of(WM_COMMAND).empty());
    EXPECT_FALSE(tab->hasFocus());
}

TEST_F(DocPageBtnTest, CloseBoxOfTheSelectedTabClosesItsPage) {
    tab->SelectIfPage(3);
    EXPECT_EQ(tab->GetState(), 0u);
    tab->SelectIfPage(7);
    EXPECT_EQ(tab->GetState(), 1u);
    QTest::mouseClick(tab, Qt::LeftButton, Qt::NoModifier, QPoint(110, 15));
    QTest::mouseClick(tab, Qt::LeftButton, Qt::NoModifier, QPoint(30, 15));
    using Page = std::pair<WPARAM, LPARAM>;
    EXPECT_EQ(Pages(), (std::vector<Page>{{kPageBtnClose, 7}, {kPageBtnActivate, 7}}));
}

TEST_F(DocPageBtnTest, DoubleClickClosesOnlyTheSelectedEnabledTab) {
    QTest::mouseDClick(tab, Qt::LeftButton, Qt::NoModifier, QPoint(30, 15));
    EXPECT_TRUE(Pages().empty());
    tab->SetState(1);
    QTest::mouseDClick(tab, Qt::LeftButton, Qt::NoModifier, QPoint(30, 15));
    ASSERT_EQ(Pages().size(), 1u);
    EXPECT_EQ(Pages()[0].first, static_cast<WPARAM>(kPageBtnClose));
}

TEST_F(DocPageBtnTest, DisabledTabIgnoresPresses) {
    tab->EnableWindow(0);
    tab->SetState(1);
    QTest::mouseClick(tab, Qt::LeftButton, Qt::NoModifier, QPoint(110, 15));
    QTest::mouseDClick(tab, Qt::LeftButton, Qt::NoModifier, QPoint(30, 15));
    EXPECT_TRUE(Pages().empty());
}

TEST_F(DocPageBtnTest, LongCaptionTooltipNeedsAPageAndAWideCaption) {
    EXPECT_GT(tab->GetCaptionWidth(), 0);
    tab->SetWindowText(QStringLiteral("A very long document name that never fits a tab.pdf"));
    tab->SetPageNo(7);
    ASSERT_GT(tab->GetCaptionWidth(), 144);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), tab->mapToGlobal(QPointF(5, 5)));
    QCoreApplication::sendEvent(tab, &enter);
    (void)tab->grab();
    EXPECT_TRUE(tab->IsTooltipShown());

    // A free tab (page -1) keeps width 0 and never shows the tooltip.
    tab->SetPageNo(-1);
    EXPECT_EQ(tab->GetCaptionWidth(), 0);
    EXPECT_FALSE(tab->IsTooltipShown());
    (void)tab->grab();
    EXPECT_FALSE(tab->IsTooltipShown());
}

TEST_F(DocPageBtnTest, LongCaptionTooltipGoesWhenTheMouseLeaves) {
    ASSERT_TRUE(controls_test::LoadProgramSkin()) << "the tooltip's caps are skin bitmaps";
    const QString caption = QStringLiteral("A very long document name that never fits a tab.pdf");
    tab->SetWindowText(caption);
    tab->SetPageNo(7);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), tab->mapToGlobal(QPointF(5, 5)));
    QCoreApplication::sendEvent(tab, &enter);
    (void)tab->grab();
    ASSERT_TRUE(tab->IsTooltipShown());
    ASSERT_EQ(tab->GetTooltip().GetMiddle().GetText(), caption);
    EXPECT_GT(tab->GetTooltip().GetMiddle().GetWindowRect().width(), 0);

    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(tab, &leave);
    EXPECT_TRUE(tab->GetTooltip().GetMiddle().GetText().isEmpty());
    EXPECT_EQ(tab->GetTooltip().GetMiddle().GetWindowRect().width(), 0);
}

TEST_F(DocPageBtnTest, LookByState) {
    QImage normal = controls_test::Solid(150, 34, QColor(240, 240, 240));
    QImage checked = controls_test::Solid(150, 34, QColor(255, 255, 255));
    tab->SetImages(&normal, &normal, &normal, &normal, &checked, &checked, nullptr);
    EXPECT_EQ(tab->CurrentLook().image, DocPageImage::Normal);
    tab->SetState(1);
    EXPECT_EQ(tab->CurrentLook().image, DocPageImage::CheckedPressed);
    EXPECT_EQ(tab->CurrentLook().caption, DocPageCaptionColor::PressedOrChecked);
    EXPECT_EQ(tab->grab().toImage().pixelColor(5, 30), QColor(255, 255, 255));
    tab->SetState(0);
    EXPECT_EQ(tab->grab().toImage().pixelColor(5, 30), QColor(240, 240, 240));
}

TEST(DocPageBtnGrab, TabStrip) {
    RecordingParent strip;
    strip.resize(470, 44);
    strip.setAutoFillBackground(true);
    strip.setPalette(QPalette(QColor(229, 229, 229)));
    QImage* normal = nullptr;
    QImage* checked = nullptr;
    QImage* checkedHover = nullptr;
    if (controls_test::LoadProgramSkin()) {
        normal = g_ConfigManager.LoadPNGScaled(280);
        checked = g_ConfigManager.LoadPNGScaled(282);
        checkedHover = g_ConfigManager.LoadPNGScaled(284);
    }
    const QString captions[] = {QStringLiteral("Whiteboard"),
                                QStringLiteral("Quarterly report.pptx"),
                                QStringLiteral("会议纪要 2024 年第三季度.docx")};
    std::vector<std::unique_ptr<CDocPageBtn>> tabs;
    for (int i = 0; i < 3; ++i) {
        auto tab = std::make_unique<CDocPageBtn>(&strip);
        tab->MoveWindow(QRect(5 + i * 155, 5, 150, 34));
        tab->SetImages(normal, normal, normal, normal, checked, checked, checkedHover);
        tab->SetTextStyle(1, 0);
        tab->SetTextPos(10, 0);
        tab->SetTextColors(0x666666, 0xED8533, 0xED8533, 0x8C8C8C);
        tab->SetWindowText(captions[i]);
        tab->SetPageNo(i + 1);
        tab->SelectIfPage(2);
        tab->show();
        tabs.push_back(std::move(tab));
    }
    QCursor::setPos(QPoint(2000, 2000));  // no tab under the mouse
    strip.show();
    QApplication::processEvents();
    const QImage shot = strip.grab().toImage();
    controls_test::SaveGrab(strip, QStringLiteral("doc_page_tabs"));
    ASSERT_EQ(shot.size(), QSize(470, 44));
    if (checked != nullptr) {
        // The chosen page's tab stands out in its checked picture.
        EXPECT_NE(shot.copy(tabs[1]->geometry().adjusted(0, 0, 0, -22)),
                  shot.copy(tabs[0]->geometry().adjusted(0, 0, 0, -22)));
    }
    // The captions are what changes when their texts go: the chosen tab's in the checked
    // colour, the others' in the normal grey; the short one whole.
    for (auto& tab : tabs) {
        tab->SetWindowText(QString());
    }
    const QImage bare = strip.grab().toImage();
    const auto captionPixels = [&](const QRect& area, const QColor& near) {
        int count = 0;
        int left = area.right();
        int right = area.left();
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                if (shot.pixel(x, y) == bare.pixel(x, y)) {
                    continue;
                }
                left = std::min(left, x);
                right = std::max(right, x);
                const QColor c = shot.pixelColor(x, y);
                const int distance = std::abs(c.red() - near.red()) +
                                     std::abs(c.green() - near.green()) +
                                     std::abs(c.blue() - near.blue());
                count += distance < 30 ? 1 : 0;
            }
        }
        return std::make_tuple(count, left, right);
    };
    const QColor grey(0x66, 0x66, 0x66);
    const QColor orange = yav::ColorFromRef(0xED8533);
    EXPECT_GT(std::get<0>(captionPixels(tabs[1]->geometry(), orange)), 5);
    EXPECT_EQ(std::get<0>(captionPixels(tabs[1]->geometry(), grey)), 0);
    EXPECT_EQ(std::get<0>(captionPixels(tabs[0]->geometry(), orange)), 0);
    const auto [greyCount, left, right] = captionPixels(tabs[0]->geometry(), grey);
    EXPECT_GT(greyCount, 5);
    EXPECT_NEAR(right + 1 - left, QFontMetrics(g_fontUI).horizontalAdvance(captions[0]), 3);
}

}  // namespace
