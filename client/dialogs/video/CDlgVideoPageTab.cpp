#include "CDlgVideoPageTab.h"

#include <QPainter>

#include "VideoPagerRules.h"
#include "client/ui/UiFonts.h"
#include "config/AppSettings.h"
#include "config/ConfigManger.h"
#include "platform/window/Scaled.h"

namespace {

constexpr int kTextOneWindow = 1138;
constexpr int kTextFourWindows = 682;
constexpr int kTextNineWindows = 703;
constexpr int kTextSixteenWindows = 706;
constexpr int kTextAutoPageOff = 1417;
constexpr int kTextAutoPageOn = 2644;
constexpr int kTextPrevious = 1606;
constexpr int kTextNext = 1609;

constexpr COLORREF kCaptionNormal = RGB(220, 224, 228);
constexpr COLORREF kCaptionHover = RGB(255, 255, 255);
constexpr COLORREF kCaptionDisabled = RGB(120, 124, 128);
constexpr COLORREF kStripColour = RGB(38, 42, 48);

// One button of the row: its control id, normal and hover images, design width.
struct ButtonPlace {
    int id;
    UINT image;
    UINT imageHover;
    int width;
};
constexpr std::array<ButtonPlace, 7> kButtons{{
    {CDlgVideoPageTab::IDC_LAYOUT_1, 520, 522, 86},
    {CDlgVideoPageTab::IDC_LAYOUT_4, 524, 526, 86},
    {CDlgVideoPageTab::IDC_LAYOUT_9, 528, 530, 86},
    {CDlgVideoPageTab::IDC_LAYOUT_16, 532, 534, 92},
    {CDlgVideoPageTab::IDC_AUTO_PAGE, 536, 538, 116},
    {CDlgVideoPageTab::IDC_PREVIOUS, 540, 542, 72},
    {CDlgVideoPageTab::IDC_NEXT, 544, 546, 72},
}};
constexpr int kPageEditWidth = 28;
constexpr int kTotalWidth = 30;
constexpr int kRowTop = 3;
constexpr int kRowHeight = 24;
// Image buttons stand this much larger than placed on every side.
constexpr int kButtonGrowth = 5;

// The layout's free-layout flag: this client keeps its own layout, and pages it.
bool LayoutSyncFlag() {
    return g_AppSettings.freeLayout != 0;
}

}  // namespace

CDlgVideoPageTab::CDlgVideoPageTab(QWidget* parent, IVideoPagerHost* host)
    : yav::Dialog(IDD, parent, Style::Child),
      m_pHost(host),
      m_btnLayout1(this),
      m_btnLayout4(this),
      m_btnLayout9(this),
      m_btnLayout16(this),
      m_btnAutoPage(this),
      m_btnPrevious(this),
      m_btnNext(this),
      m_editPage(this),
      m_staticTotal(this) {
    for (const auto& [button, id] : {std::pair{&m_btnLayout1, IDC_LAYOUT_1},
                                     {&m_btnLayout4, IDC_LAYOUT_4},
                                     {&m_btnLayout9, IDC_LAYOUT_9},
                                     {&m_btnLayout16, IDC_LAYOUT_16},
                                     {&m_btnAutoPage, IDC_AUTO_PAGE},
                                     {&m_btnPrevious, IDC_PREVIOUS},
                                     {&m_btnNext, IDC_NEXT}}) {
        button->SetDlgCtrlID(id);
    }
    m_editPage.SetDlgCtrlID(IDC_PAGE);
    m_staticTotal.SetDlgCtrlID(IDC_TOTAL);
    for (int id : {IDC_LAYOUT_1, IDC_LAYOUT_4, IDC_LAYOUT_9, IDC_LAYOUT_16}) {
        MapCommand(id, [this, id] { OnLayoutButton(id); });
    }
    MapCommand(IDC_AUTO_PAGE, [this] { OnAutoPageButton(); });
    MapCommand(IDC_NEXT, [this] { NextPage(); });
    MapCommand(IDC_PREVIOUS, [this] { PreviousPage(); });
}

CDlgVideoPageTab::~CDlgVideoPageTab() {
    DestroyWindow();
}

BOOL CDlgVideoPageTab::OnInitDialog() {
    yav::Dialog::OnInitDialog();
    int x = 4;
    for (const ButtonPlace& place : kButtons) {
        auto* button = dynamic_cast<CYavPngButton*>(GetDlgItem(place.id));
        button->LoadImages(place.image, place.imageHover, place.imageHover, place.image,
                           place.imageHover, place.imageHover, place.imageHover);
        button->SetTextStyle(1, 0);
        // The 24-pixel icon at the left, the caption beside it.
        button->SetImageRect(yav::ScaledRect(kButtonGrowth, kButtonGrowth, kRowHeight, kRowHeight));
        button->SetTextPos(kRowHeight + 4, 0);
        button->SetTextColors(kCaptionNormal, kCaptionHover, kCaptionHover, kCaptionDisabled);
        button->SetFont(g_fontUI);
        if (place.id == IDC_NEXT) {
            // The page field and the total stand between previous and next.
            m_editPage.MoveWindow(yav::ScaledRect(x, kRowTop + 2, kPageEditWidth, kRowHeight - 4));
            x += kPageEditWidth;
            m_staticTotal.MoveWindow(yav::ScaledRect(x, kRowTop, kTotalWidth, kRowHeight));
            x += kTotalWidth + 4;
        }
        button->MoveWindow(yav::ScaledRect(x, kRowTop, place.width, kRowHeight));
        x += place.width;
    }
    m_editPage.setReadOnly(true);
    m_editPage.setAlignment(Qt::AlignCenter);
    m_editPage.setFont(g_fontUI);
    m_staticTotal.SetTextColor(kCaptionNormal);
    m_staticTotal.SetAlignLeft();
    SetWindowPos(yav::ZOrder::Keep, 0, 0, yav::Scaled(kDesignWidth), yav::Scaled(kDesignHeight),
                 SWP_NOMOVE | SWP_NOZORDER);
    ReloadTexts();
    ShowPage();
    // Shown by UpdatePager while this client keeps its own layout.
    ShowWindow(SW_HIDE);
    return 1;
}

void CDlgVideoPageTab::ReloadTexts() {
    m_btnLayout1.SetWindowText(LoadLangString(kTextOneWindow));
    m_btnLayout4.SetWindowText(LoadLangString(kTextFourWindows));
    m_btnLayout9.SetWindowText(LoadLangString(kTextNineWindows));
    m_btnLayout16.SetWindowText(LoadLangString(kTextSixteenWindows));
    m_btnAutoPage.SetWindowText(
        LoadLangString(m_bAutoPage != 0 ? kTextAutoPageOn : kTextAutoPageOff));
    m_btnPrevious.SetWindowText(LoadLangString(kTextPrevious));
    m_btnNext.SetWindowText(LoadLangString(kTextNext));
}

BOOL CDlgVideoPageTab::OnEraseBkgnd(QPainter& painter) {
    painter.fillRect(GetClientRect(), QColor(GetRValue(kStripColour), GetGValue(kStripColour),
                                             GetBValue(kStripColour)));
    return 1;
}

void CDlgVideoPageTab::SetCurrentPage(int page) {
    m_nCurrentPage = page;
    ShowPage();
}

void CDlgVideoPageTab::ShowPage() {
    m_editPage.setText(QString::number(m_nCurrentPage));
}

void CDlgVideoPageTab::UpdatePager() {
    if (!LayoutSyncFlag()) {
        ShowWindow(SW_HIDE);
        SetAutoPage(0);
        return;
    }
    if (!IsWindowVisible()) {
        SelectLayoutButton(4);
        ShowWindow(SW_SHOW);
    }
    const int received = m_pHost != nullptr ? m_pHost->GetReceivedCount() : 0;
    const int perPage = m_pHost != nullptr ? m_pHost->GetWindowsPerPage() : 0;
    m_nPageTotal = yav::video::PageTotal(received, perPage);
    m_staticTotal.SetWindowText(QStringLiteral("/%1").arg(m_nPageTotal));
    if (m_nCurrentPage > m_nPageTotal) {
        m_nCurrentPage = m_nPageTotal;
        ShowPage();
    }
}

void CDlgVideoPageTab::TurnTo(int page) {
    m_nCurrentPage = page;
    ShowPage();
    if (m_pHost == nullptr) {
        return;
    }
    m_pHost->ApplyVideoWindows();
    m_pHost->LayoutVideoWindows(
        yav::video::PageStartIndex(m_nCurrentPage, m_pHost->GetWindowsPerPage()), 0);
}

void CDlgVideoPageTab::NextPage() {
    if (m_nPageTotal != 1) {
        TurnTo(yav::video::NextPage(m_nCurrentPage, m_nPageTotal));
    }
}

void CDlgVideoPageTab::PreviousPage() {
    if (m_nPageTotal != 1) {
        TurnTo(yav::video::PreviousPage(m_nCurrentPage, m_nPageTotal));
    }
}

void CDlgVideoPageTab::SetAutoPage(int on) {
    m_bAutoPage = on;
    KillTimer(TIMER_AUTO_PAGE);
    m_btnAutoPage.SetState(on != 0 ? 1 : 0);
    m_btnAutoPage.SetWindowText(LoadLangString(on != 0 ? kTextAutoPageOn : kTextAutoPageOff));
    if (on != 0) {
        SetTimer(TIMER_AUTO_PAGE, yav::video::AutoTurnIntervalMs(g_AppSettings.bWatchAutoTime));
    }
}

void CDlgVideoPageTab::OnTimer(UINT id) {
    if (id != TIMER_AUTO_PAGE) {
        yav::Dialog::OnTimer(id);
        return;
    }
    if (m_nPageTotal < 2) {
        if (m_pHost != nullptr && m_pHost->GetUsedWndCount() < m_pHost->GetReceivedCount()) {
            m_pHost->LayoutVideoWindows(0, 0);
        }
        return;
    }
    NextPage();
}

void CDlgVideoPageTab::SelectLayoutButton(int n) {
    m_btnLayout1.SetState(n == 1 ? 1 : 0);
    m_btnLayout4.SetState(n == 3 ? 1 : 0);
    m_btnLayout9.SetState(n == 4 ? 1 : 0);
    m_btnLayout16.SetState(n == 5 ? 1 : 0);
}

void CDlgVideoPageTab::OnLayoutButton(int buttonId) {
    struct LayoutButton {
        int id;
        int command;
        int mode;
    };
    static constexpr LayoutButton kLayouts[] = {{IDC_LAYOUT_1, kCmdOneWindow, 1},
                                                {IDC_LAYOUT_4, kCmdFourWindows, 3},
                                                {IDC_LAYOUT_9, kCmdNineWindows, 4},
                                                {IDC_LAYOUT_16, kCmdSixteenWindows, 5}};
    for (const LayoutButton& layout : kLayouts) {
        if (layout.id == buttonId) {
            PostCommand(layout.command);
            SelectLayoutButton(layout.mode);
        }
    }
}

void CDlgVideoPageTab::OnAutoPageButton() {
    if (m_bAutoPage != 0) {
        SetAutoPage(0);
        return;
    }
    PostCommand(kCmdCycleSettings);
}

void CDlgVideoPageTab::PostCommand(int id) {
    QWidget* target = m_pHost != nullptr ? m_pHost->GetCommandTarget() : nullptr;
    if (target != nullptr) {
        yav::PostMessage(target, WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(id), 1), 0);
    }
}
