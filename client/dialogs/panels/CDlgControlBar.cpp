#include "CDlgControlBar.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

#include "ConfigManger.h"
#include "LangFormat.h"
#include "PanelClock.h"
#include "PanelHost.h"
#include "PanelPopups.h"
#include "client/Common/MessageIds.h"
#include "client/ui/CDlgPopMsg.h"
#include "platform/core/Profile.h"
#include "platform/window/Scaled.h"

namespace {

constexpr COLORREF kDark = RGB(0x33, 0x33, 0x33);
constexpr COLORREF kLight = RGB(0xDD, 0xDD, 0xDD);
constexpr COLORREF kWhite = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kLowerText = RGB(0x22, 0x22, 0x22);
constexpr COLORREF kDisabledText = RGB(0x8C, 0x8C, 0x8C);
constexpr WPARAM kVkScroll = 0x91;

IPanelHost* Host() {
    return GetPanelHost();
}

QWidget* Room() {
    IPanelHost* host = Host();
    return host != nullptr ? host->GetRoomWindow() : nullptr;
}

QString HotLine() {
    return QString::fromStdString(yav::profile::GetString(
        "feedback", "hotLine", "", 256, g_ConfigManager.GetClientIniPath().toStdString()));
}

// The next label starts 4 to 6 px (scaled) inside this one: the width leaves that room.
int TextWidth(const CTransparentStatic& label) {
    return label.GetTextWidth() + yav::Scaled(6);
}

}  // namespace

CDlgControlBar::CDlgControlBar(QWidget* parent)
    : yav::Dialog(IDD, parent, Style::Child),
      m_btnMaximize(this),
      m_logo(this),
      m_staticTitle(this),
      m_staticDuration(this),
      m_staticHidden(this),
      m_staticLock(this),
      m_staticVideoLabel(this),
      m_btnSettings(this),
      m_btnMinimize(this),
      m_btnClose(this),
      m_btnFullScreen(this),
      m_btnHotline(this),
      m_btnConfLayout(this),
      m_btnSyncLayout(this),
      m_btnMeeting(this) {
    const std::pair<QWidget*, int> ids[] = {{&m_btnMaximize, IDC_MAXIMIZE},
                                            {&m_logo, IDC_LOGO},
                                            {&m_staticTitle, IDC_TITLE},
                                            {&m_staticDuration, IDC_DURATION},
                                            {&m_staticHidden, IDC_HIDDEN},
                                            {&m_staticLock, IDC_LOCK},
                                            {&m_staticVideoLabel, IDC_VIDEO_LABEL},
                                            {&m_btnSettings, IDC_SETTINGS},
                                            {&m_btnMinimize, IDC_MINIMIZE},
                                            {&m_btnClose, IDC_CLOSE},
                                            {&m_btnFullScreen, IDC_FULLSCREEN},
                                            {&m_btnHotline, IDC_HOTLINE},
                                            {&m_btnConfLayout, IDC_CONF_LAYOUT},
                                            {&m_btnSyncLayout, IDC_SYNC_LAYOUT},
                                            {&m_btnMeeting, IDC_MEETING}};
    for (const auto& [widget, id] : ids) {
        yav::SetControlId(widget, id);
    }
    MapCommand(IDC_CLOSE, [] { yav::PostMessage(Room(), WM_PANEL_CLOSE, 0, 0); });
    MapCommand(IDC_MAXIMIZE, [this] { OnBtnMaximize(); });
    MapCommand(IDC_MINIMIZE, [this] { OnBtnMinimize(); });
    MapCommand(IDC_SETTINGS, [] {
        if (IPanelHost* host = Host()) {
            host->ShowSettings();
        }
    });
    MapCommand(IDC_FULLSCREEN, [this] { OnBtnFullScreen(); });
    MapCommand(IDC_MEETING, [this] { OnBtnMeetingMenu(); });
    MapCommand(IDC_CONF_LAYOUT, [this] { OnBtnConfLayout(); });
    MapCommand(IDC_SYNC_LAYOUT, [this] { OnBtnSyncLayout(); });
    MapCommand(IDC_HOTLINE, [this] { OnBtnHotline(); });
}

CDlgControlBar::~CDlgControlBar() {
    m_pMeetingMenu.reset();
    m_pConfLayout.reset();
    m_pBulletin.reset();
    m_pPager.reset();
    m_pDocTab.reset();
    DestroyWindow();
}

CYavPngButton& CDlgControlBar::Button(int id) {
    return *static_cast<CYavPngButton*>(GetDlgItem(id));
}

CTransparentStatic& CDlgControlBar::Label(int id) {
    return *static_cast<CTransparentStatic*>(GetDlgItem(id));
}

BOOL CDlgControlBar::OnInitDialog() {
    yav::Dialog::OnInitDialog();
    IPanelHost* host = Host();
    const QRect work = host != nullptr ? host->GetMonitorWorkArea() : QRect(0, 0, 1280, 720);
    MoveWindow(0, 0, work.width(), yav::Scaled(70));
    auto docTab = std::make_unique<StandInDocPageTab>(this);
    docTab->ShowWindow(SW_HIDE);
    m_pDocTab = std::move(docTab);
    auto pager = std::make_unique<StandInVideoPageTab>(this);
    pager->ShowWindow(SW_HIDE);
    m_pPager = std::move(pager);
    InitControls();
    LayoutAll();
    SetTimer(kCreatePopupsTimer, kCreatePopupsMs);
    return 1;
}

void CDlgControlBar::InitControls() {
    m_logo.SetImage(g_ConfigManager.LoadPNGScaled(262));
    m_logo.SetBkColor(kDark);
    for (CTransparentStatic* label : {&m_staticTitle, &m_staticDuration, &m_staticLock}) {
        label->SetAlignLeft();
        label->SetFontSizeDelta(2);
        label->SetTextColor(kWhite);
        label->SetLineAlign(1);
    }
    m_staticTitle.SetWindowText(QStringLiteral("Ostrelo-会议室名称"));
    m_staticDuration.SetWindowText(QStringLiteral("-00:00"));
    m_staticLock.SetWindowText(LoadLangString(2917));
    m_staticVideoLabel.SetAlignLeft();
    m_staticVideoLabel.SetTextColor(RGB(0x66, 0x66, 0x66));
    m_staticVideoLabel.SetWindowText(LoadLangString(2251) + LoadLangString(1087));
    m_staticHidden.ShowWindow(SW_HIDE);

    m_btnMinimize.LoadImages(924, 924, 926, 0, 0, 0, 0);
    m_btnMaximize.LoadImages(936, 936, 938, 0, 932, 932, 934);
    m_btnClose.LoadImages(928, 928, 930, 0, 0, 0, 0);
    m_btnSettings.LoadImages(940, 940, 942, 0, 0, 0, 0);
    m_btnHotline.LoadImages(274, 274, 272, 0, 0, 0, 0);
    m_btnMeeting.LoadImages(242, 244, 240, 0, 242, 244, 240);
    m_btnFullScreen.LoadImages(234, 234, 232, 0, 0, 0, 0);
    m_btnSyncLayout.LoadImages(724, 726, 722, 720, 716, 718, 714);
    m_btnConfLayout.LoadImages(302, 304, 300, 0, 0, 0, 0);
    for (CYavPngButton* top :
         {&m_btnMinimize, &m_btnMaximize, &m_btnClose, &m_btnSettings, &m_btnHotline}) {
        top->SetBkColor(kDark);
    }
    for (CYavPngButton* lower :
         {&m_btnMeeting, &m_btnFullScreen, &m_btnSyncLayout, &m_btnConfLayout}) {
        lower->SetBkColor(kLight);
        lower->SetTextColors(kLowerText, kLowerText, kLowerText, kDisabledText);
    }
    m_btnHotline.SetTextColors(kWhite, RGB(0x39, 0x8A, 0xF1), kWhite, kDisabledText);
    m_btnHotline.SetTextStyle(1, 0);
    m_btnHotline.SetTextPos(32, 2);
    m_btnHotline.SetWindowText(LoadLangString(2080));
    if (HotLine().isEmpty()) {
        m_btnHotline.ShowWindow(SW_HIDE);
    }
    const std::pair<CYavPngButton*, int> captions[] = {
        {&m_btnConfLayout, 868}, {&m_btnSyncLayout, 2878}, {&m_btnMeeting, 2728}};
    for (const auto& [button, text] : captions) {
        button->SetTextStyle(1, 0);
        button->SetTextPos(32, 0);
        button->SetWindowText(LoadLangString(text));
    }
    m_btnFullScreen.SetTooltip(LoadLangString(907), 0);
    UpdateSyncLayoutButton();
}

void CDlgControlBar::LayoutTitleRow(int lockOffset) {
    m_staticTitle.MoveWindow(yav::Scaled(40), yav::Scaled(2), TextWidth(m_staticTitle),
                             yav::Scaled(26));
    const QRect title = m_staticTitle.geometry();
    m_staticDuration.MoveWindow(title.left() + title.width() - yav::Scaled(4), yav::Scaled(2),
                                TextWidth(m_staticDuration), yav::Scaled(26));
    const QRect duration = m_staticDuration.geometry();
    m_staticLock.MoveWindow(duration.left() + duration.width() - yav::Scaled(lockOffset),
                            yav::Scaled(2), yav::Scaled(60), yav::Scaled(26));
}

void CDlgControlBar::LayoutAll() {
    const int w = GetClientRect().width();
    const int h = GetClientRect().height();
    m_logo.MoveWindow(yav::ScaledRect(10, 5, 22, 19));
    LayoutTitleRow(6);
    m_btnClose.MoveWindow(w - yav::Scaled(40), 0, yav::Scaled(40), yav::Scaled(30));
    m_btnMaximize.MoveWindow(w - yav::Scaled(80), 0, yav::Scaled(40), yav::Scaled(30));
    m_btnMinimize.MoveWindow(w - yav::Scaled(120), 0, yav::Scaled(40), yav::Scaled(30));
    m_btnSettings.MoveWindow(w - yav::Scaled(160), 0, yav::Scaled(40), yav::Scaled(30));
    m_btnHotline.MoveWindow(w - yav::Scaled(250), 0, yav::Scaled(90), yav::Scaled(30));
    m_btnMeeting.MoveWindow(w - yav::Scaled(100), yav::Scaled(31), yav::Scaled(100),
                            yav::Scaled(38));
    m_btnSyncLayout.MoveWindow(w - yav::Scaled(206), yav::Scaled(31), yav::Scaled(100),
                               yav::Scaled(38));
    m_btnConfLayout.MoveWindow(w - yav::Scaled(312), yav::Scaled(31), yav::Scaled(100),
                               yav::Scaled(38));
    m_btnFullScreen.MoveWindow(w - yav::Scaled(355), yav::Scaled(42), yav::Scaled(15),
                               yav::Scaled(16));
    if (m_pPager != nullptr) {
        m_pPager->Widget()->setGeometry(yav::Scaled(5), h - yav::Scaled(38) - 1,
                                        w - yav::Scaled(371), yav::Scaled(38));
        m_staticVideoLabel.MoveWindow(yav::ScaledRect(15, 42, 150, 26));
    }
    LayoutButtons(0, 5);
    LayoutCenterPane();
}

void CDlgControlBar::LayoutButtons(int, int divisor) {
    if (m_pDocTab == nullptr || divisor == 0) {
        return;
    }
    const int w = GetClientRect().width();
    const int h = GetClientRect().height();
    const int x = m_nBarMode == 1 ? 0 : (w - yav::Scaled(320)) / divisor;
    m_pDocTab->Widget()->setGeometry(x, h - yav::Scaled(32),
                                     w - x - yav::Scaled(320) - yav::Scaled(61), yav::Scaled(32));
}

void CDlgControlBar::LayoutCenterPane() {
    IPanelHost* host = Host();
    if (m_pBulletin == nullptr || host == nullptr) {
        return;
    }
    QWidget* strip = m_pBulletin->Widget();
    QWidget* room = host->GetRoomWindow();
    if (GetClientRect().height() < 11 || !isVisible() || room == nullptr) {
        strip->setGeometry(0, -600, 0, 0);
        return;
    }
    const int w = GetClientRect().width();
    const QRect r = room->frameGeometry();
    strip->setGeometry(r.left() + w / 3, r.top() + 4, w / 3, 22);
}

void CDlgControlBar::CreatePopups() {
    KillTimer(kCreatePopupsTimer);
    if (m_pMeetingMenu == nullptr) {
        m_pMeetingMenu = yav::panels::MakeCommandMenu(this);
    }
    if (m_pConfLayout == nullptr) {
        m_pConfLayout = yav::panels::MakeHiddenPopup<CDlgConfLayout>(this, 482);
    }
    if (m_pBulletin == nullptr) {
        auto bulletin = std::make_unique<StandInBullBoard>();
        bulletin->ShowWindow(SW_HIDE);
        m_pBulletin = std::move(bulletin);
    }
    LayoutCenterPane();
    RebuildMeetingMenu();
    if (IPanelHost* host = Host()) {
        host->RefreshBulletin();
    }
}

void CDlgControlBar::ReloadTexts() {
    if (Host() == nullptr || !m_staticLock.IsWindow()) {
        return;
    }
    m_staticLock.SetWindowText(LoadLangString(2917));
    SetConfTitle(m_strConfName, m_nConfId);
    m_btnHotline.SetWindowText(LoadLangString(2080));
    m_staticVideoLabel.SetWindowText(LoadLangString(2251) + LoadLangString(1087));
    m_btnMeeting.SetWindowText(LoadLangString(2728));
    m_btnSyncLayout.SetWindowText(LoadLangString(2878));
    m_btnConfLayout.SetWindowText(LoadLangString(868));
    if (m_pPager != nullptr) {
        m_pPager->ReloadTexts();
    }
    if (m_pConfLayout != nullptr) {
        m_pConfLayout->ReloadTexts();
    }
    RefreshRoleButtons();
    if (m_pDocTab != nullptr) {
        m_pDocTab->ReloadTexts();
    }
    m_btnFullScreen.SetTooltip(LoadLangString(907), 0);
}

void CDlgControlBar::SetConfTitle(const QString& confName, std::uint32_t confId) {
    m_strConfName = confName;
    m_nConfId = confId;
    // One pass: a name holding "%1" stays as typed.
    m_strCaption = yav::SafeFormat(QStringLiteral("%s-%s(ID:%d)"),
                                   {LoadLangString(1), confName, confId}, __FILE__, __LINE__);
    m_staticTitle.SetWindowText(m_strCaption);
    LayoutTitleRow(4);
    IPanelHost* host = Host();
    ShowStateLabel(host != nullptr && host->GetMyStatusByte() != 0 ? 1 : 0);
}

void CDlgControlBar::StartDurationTimer() {
    m_dwStartTick = yav::panels::GetTickCount();
    SetTimer(kDurationTimer, kDurationMs);
}

void CDlgControlBar::OnTimer(UINT id) {
    if (id == kDurationTimer) {
        const std::uint32_t elapsed = yav::panels::GetTickCount() - m_dwStartTick;
        const int hours = static_cast<int>(elapsed / 3600000);
        const int minutes = static_cast<int>((elapsed / 60000) % 60);
        if (hours != m_nShownHours || minutes != m_nShownMinutes) {
            m_nShownHours = hours;
            m_nShownMinutes = minutes;
            m_staticDuration.SetWindowText(yav::panels::DurationText(elapsed));
        }
        return;
    }
    if (id == kCreatePopupsTimer) {
        CreatePopups();
        return;
    }
    yav::Dialog::OnTimer(id);
}

void CDlgControlBar::SetBarMode(std::uint8_t mode) {
    if (mode != m_nBarMode) {
        m_nBarMode = mode;
        if (mode == 1 || mode == 2) {
            LayoutButtons(0, 5);
            if (m_pDocTab != nullptr) {
                m_pDocTab->UpdateCloseRight();
                m_pDocTab->Widget()->show();
            }
            if (m_pPager != nullptr) {
                m_pPager->Widget()->hide();
            }
        } else if (m_pDocTab != nullptr) {
            m_pDocTab->Widget()->hide();
        }
    }
    m_staticVideoLabel.ShowWindow(mode == 1 ? SW_HIDE : SW_SHOW);
}

bool CDlgControlBar::IsActiveViewIdOne() {
    return m_pDocTab != nullptr && m_pDocTab->GetActiveID() == 1;
}

bool CDlgControlBar::AddDocTab(const QString& name, std::uint32_t viewId) {
    return m_pDocTab != nullptr && m_pDocTab->AddItem(name, viewId);
}

bool CDlgControlBar::RemoveDocTab(std::uint32_t viewId, int flag) {
    return m_pDocTab != nullptr && m_pDocTab->RemoveItem(viewId, flag);
}

void CDlgControlBar::RemoveAllDocTabs() {
    if (m_pDocTab != nullptr) {
        m_pDocTab->RemoveAll();
    }
}

void CDlgControlBar::SetVideoPageCount(int count) {
    if (m_pPager != nullptr) {
        m_pPager->SetPageCount(count);
    }
}

void CDlgControlBar::SetVideoAutoPage(bool on) {
    if (m_pPager != nullptr) {
        m_pPager->SetAutoPage(on);
    }
}

bool CDlgControlBar::IsVideoAutoPage() const {
    return m_pPager != nullptr && m_pPager->IsAutoPage();
}

void CDlgControlBar::UpdateVideoPager() {
    IPanelHost* host = Host();
    if (host != nullptr && host->IsLayoutSyncOn()) {
        m_staticVideoLabel.ShowWindow(SW_HIDE);
    } else if (m_nBarMode == 0) {
        m_staticVideoLabel.ShowWindow(SW_SHOW);
    }
    if (m_pPager != nullptr) {
        m_pPager->UpdatePager();
    }
}

void CDlgControlBar::ShowStateLabel(BOOL show) {
    m_staticLock.ShowWindow(show != 0 ? SW_SHOW : SW_HIDE);
}

void CDlgControlBar::RefreshRoleButtons() {
    RebuildMeetingMenu();
    UpdateSyncLayoutButton();
}

yav::panels::MeetingMenuInput CDlgControlBar::MenuInput() {
    yav::panels::MeetingMenuInput input;
    if (IPanelHost* host = Host()) {
        input.admin = host->IsMyRoleState0or5();
        input.presenter = host->IsMyRoleState2();
        input.flagBit2 = host->IsMyFlagBit2();
        input.recordMode = host->GetRecordMode();
        input.recordState = host->GetRecordState();
        input.h323 = host->IsH323Enabled();
    }
    return input;
}

void CDlgControlBar::RebuildMeetingMenu() {
    if (m_pMeetingMenu == nullptr) {
        return;
    }
    m_pMeetingMenu->RemoveAllButtons();
    for (const yav::panels::MenuItem& item : yav::panels::MeetingMenuItems(MenuInput())) {
        m_pMeetingMenu->AddButton(static_cast<DWORD>(item.command), LoadLangString(item.text));
        m_pMeetingMenu->EnableButton(static_cast<DWORD>(item.command), item.enabled ? 1 : 0);
    }
    m_pMeetingMenu->UpdateLayout();
}

void CDlgControlBar::UpdateSyncLayoutButton() {
    IPanelHost* host = Host();
    const bool a = host != nullptr && host->IsMyRoleState0or5();
    const bool b = host != nullptr && host->IsMyRoleState2();
    if (b && a) {
        m_btnSyncLayout.SetWindowText(LoadLangString(2878));
        m_btnSyncLayout.SetState(0);
    } else if (m_btnSyncLayout.GetState() != 0) {
        m_btnSyncLayout.SetWindowText(LoadLangString(2881));
        m_btnSyncLayout.SetState(1);
    }
    m_btnSyncLayout.EnableWindow(a ? 1 : 0);
    if (m_pMeetingMenu != nullptr) {
        m_pMeetingMenu->EnableButton(32791, a || b ? 1 : 0);
    }
    if (m_pDocTab != nullptr) {
        m_pDocTab->UpdateCloseRight();
    }
}

void CDlgControlBar::OnBtnSyncLayout() {
    IPanelHost* host = Host();
    if (host == nullptr) {
        return;
    }
    if (host->IsMyRoleState2()) {
        CDlgPopMsg box(LoadLangString(2329), LoadLangString(2884), 0, 10, this, 1);
        box.DoModal();
        return;
    }
    const int allowed = host->GetLayoutSyncAllowed();
    if (allowed == 0) {
        CDlgPopMsg box(LoadLangString(2329),
                       yav::SafeFormat(LoadLangString(115), {allowed}, __FILE__, __LINE__), 0, 10,
                       this, 1);
        box.DoModal();
        return;
    }
    const std::uint32_t checked = m_btnSyncLayout.GetState();
    if (!host->IsLayoutSyncOn()) {
        host->ResetVideoLayoutState(1);
        m_btnSyncLayout.SetWindowText(LoadLangString(2881));
    } else {
        host->ApplyLayoutFromNetwork();
        m_btnSyncLayout.SetWindowText(LoadLangString(2878));
    }
    m_btnSyncLayout.SetState(checked != 0 ? 0 : 1);
}

void CDlgControlBar::OnBtnMaximize() {
    IPanelHost* host = Host();
    if (host == nullptr) {
        return;
    }
    switch (host->GetViewState()) {
        case 0:
            host->MaximizeToMonitor(true);
            m_btnMaximize.SetState(0);
            break;
        case 1:
            host->MaximizeToMonitor(false);
            m_btnMaximize.SetState(1);
            break;
        case 2:
            host->CalcNormalRect();
            host->MaximizeToMonitor(false);
            m_btnMaximize.SetState(1);
            break;
        default:
            break;
    }
}

void CDlgControlBar::OnBtnMinimize() {
    // The room window is minimised, whichever window is active.
    IPanelHost* host = Host();
    if (host == nullptr) {
        return;
    }
    host->MinimizeRoom();
    if (host->GetScreenShareState() == 1 && host->GetSourceMatchFlag()) {
        host->ShowStripForced();
    }
    host->CloseMyVideoWindows();
}

void CDlgControlBar::OnBtnFullScreen() {
    // The room window toggles full screen, whichever window is active.
    yav::PostMessage(Room(), WM_COMMAND, MAKEWPARAM(1282, 1), 0);
}

void CDlgControlBar::UpdateRecordItem() {
    const yav::panels::MeetingMenuInput input = MenuInput();
    m_pMeetingMenu->EnableButton(32783, yav::panels::RecordItemEnabledOnOpen(input) ? 1 : 0);
    m_pMeetingMenu->SetButtonText(
        32783, LoadLangString(yav::panels::RecordItemText(input.recordMode, input.recordState)));
}

void CDlgControlBar::OnBtnMeetingMenu() {
    if (m_pMeetingMenu == nullptr) {
        return;
    }
    if (m_pMeetingMenu->IsWindowVisible()) {
        m_pMeetingMenu->ShowPopup(SW_HIDE);
        return;
    }
    UpdateRecordItem();
    IPanelHost* host = Host();
    const QRect work = host != nullptr ? host->GetMonitorWorkArea() : QRect(0, 0, 1280, 720);
    const QRect rect =
        yav::panels::MeetingMenuRect(m_btnMeeting.GetWindowRect(), m_pMeetingMenu->GetButtonCount(),
                                     g_ConfigManager.GetLanguageIndex() == 1, work);
    m_pMeetingMenu->MoveWindow(rect);
    m_pMeetingMenu->ShowPopup(SW_SHOW);
    m_pMeetingMenu->SetWindowPos(yav::ZOrder::TopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    m_pMeetingMenu->UpdateLayer(1);
}

void CDlgControlBar::OnBtnConfLayout() {
    IPanelHost* host = Host();
    if (host == nullptr || !host->IsMyRoleState2()) {
        CDlgPopMsg box(LoadLangString(1), LoadLangString(3259), 0, 0, Room(), 1);
        box.DoModal();
        return;
    }
    if (m_pConfLayout == nullptr) {
        return;
    }
    if (m_pConfLayout->IsWindowVisible()) {
        m_pConfLayout->ShowWindow(SW_HIDE);
        return;
    }
    const QRect button = m_btnConfLayout.GetWindowRect();
    const int width = yav::Scaled(g_ConfigManager.GetLanguageIndex() == 1 ? 130 : 109);
    const int left = button.left() + button.width() / 2 - yav::Scaled(109) / 2;
    m_pConfLayout->MoveWindow(left, button.bottom() + 1 + yav::Scaled(4), width, yav::Scaled(165));
    m_pConfLayout->SetCurrentMode(m_nBarMode);
    m_pConfLayout->ShowWindow(SW_SHOW);
}

void CDlgControlBar::OnBtnHotline() {
    const QString text = QStringLiteral("%1:\r\n%2").arg(LoadLangString(2083), HotLine());
    CDlgPopMsg box(LoadLangString(2080), text, 0, 13, this, 1);
    box.DoModal();
}

void CDlgControlBar::OnLButtonDown(const QPoint& point) {
    if (point.y() >= kDragBandHeight) {
        return;
    }
    IPanelHost* host = Host();
    QWidget* room = Room();
    if (host == nullptr || room == nullptr) {
        return;
    }
    // A room that already fills the work area is not dragged.
    if (room->size() != host->GetMonitorWorkArea().size()) {
        host->StartSystemMove(ClientToScreen(point));
    }
}

void CDlgControlBar::OnLButtonDblClk(const QPoint& point) {
    if (point.y() < kDragBandHeight) {
        OnBtnMaximize();
    }
}

void CDlgControlBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        OnLButtonDown(event->position().toPoint());
    }
    yav::Dialog::mousePressEvent(event);
}

void CDlgControlBar::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        OnLButtonDblClk(event->position().toPoint());
    }
    yav::Dialog::mouseDoubleClickEvent(event);
}

void CDlgControlBar::OnSize(int cx, int cy) {
    yav::Dialog::OnSize(cx, cy);
    if (m_btnClose.IsWindow()) {
        LayoutAll();
    }
}

BOOL CDlgControlBar::OnEraseBkgnd(QPainter& painter) {
    const int w = GetClientRect().width();
    const int h = GetClientRect().height();
    const int band = yav::Scaled(30);
    painter.fillRect(QRect(-1, -1, w + 2, band + 1), QColor(0x33, 0x33, 0x33));
    painter.fillRect(QRect(0, band + 1, w, h - band - 1), QColor(0xDD, 0xDD, 0xDD));
    painter.setPen(QColor(0x99, 0x99, 0x99));
    painter.drawLine(w - yav::Scaled(320), yav::Scaled(43), w - yav::Scaled(320), yav::Scaled(57));
    return 1;
}

BOOL CDlgControlBar::PreTranslateMessage(yav::Msg* msg) {
    if (msg->message == WM_KEYDOWN) {
        if (msg->wParam == VK_ESCAPE || msg->wParam == VK_RETURN || msg->wParam == VK_SPACE) {
            return 1;
        }
        if ((msg->modifiers & Qt::ControlModifier) != 0 && msg->wParam != kVkScroll) {
            return 1;
        }
    }
    return yav::Dialog::PreTranslateMessage(msg);
}
