#include "CDlgFullDockX.h"

#include <QPainter>

#include <mutex>

#include "CDlgExpand.h"
#include "ConfigManger.h"
#include "PanelHost.h"
#include "PanelNeighbours.h"
#include "PanelPopups.h"
#include "PanelRules.h"
#include "client/Common/MessageIds.h"
#include "client/ui/UiFonts.h"
#include "platform/core/Log.h"
#include "platform/window/GdipText.h"
#include "platform/window/Scaled.h"
#include "platform/window/WindowStyles.h"

namespace {

std::mutex& RegistryLock() {
    static std::mutex lock;
    return lock;
}
// The strip and its tab as the board's callback reaches them from the board's thread.
yav::WindowHandle& StripHandle() {
    static yav::WindowHandle handle;
    return handle;
}
yav::WindowHandle& TabHandle() {
    static yav::WindowHandle handle;
    return handle;
}
ScreenBoardFactory& BoardFactory() {
    static ScreenBoardFactory factory;
    return factory;
}

IPanelHost* Host() {
    return GetPanelHost();
}

yav::panels::StripInput ReadState(IScreenBoard* board) {
    yav::panels::StripInput input;
    if (IPanelHost* host = Host()) {
        input.shareState = host->GetScreenShareState();
        input.remoteControl = host->GetRemoteControlState();
        input.viewerFull = host->IsViewerFullScreen();
        input.videoOpen = host->HasOpenVideoWindow();
        input.sourceMatch = host->GetSourceMatchFlag();
    }
    input.hasBoard = board != nullptr;
    input.boardShown = board != nullptr && board->IsShown() != 0;
    return input;
}

int SpeakImage(int state, bool checked) {
    switch (state) {
        case 0:
            return checked ? 494 : 492;
        case 1:
        case 6:
            return checked ? 448 : 446;
        case 4:
            return checked ? 468 : 466;
        case 5:
            return checked ? 464 : 462;
        default:
            return 0;
    }
}

}  // namespace

CDlgFullDockX::CDlgFullDockX(QWidget* parent)
    : CYavDialogEx(IDD, parent),
      m_btnMore(this),
      m_btnChat(this),
      m_btnShare(this),
      m_btnSpeak(this),
      m_btnMembers(this),
      m_btnExit(this),
      m_btnMyView(this) {
    const std::pair<CButtonCheck*, int> ids[] = {
        {&m_btnMore, IDC_MORE},    {&m_btnChat, IDC_CHAT},       {&m_btnShare, IDC_SHARE},
        {&m_btnSpeak, IDC_SPEAK},  {&m_btnMembers, IDC_MEMBERS}, {&m_btnExit, IDC_EXIT},
        {&m_btnMyView, IDC_MYVIEW}};
    const char* captions[] = {"...", "聊天", "分享", "关麦", "成员", "退出全屏", "我的界面"};
    int i = 0;
    for (const auto& [button, id] : ids) {
        button->SetDlgCtrlID(id);
        button->SetWindowText(QString::fromUtf8(captions[i++]));
    }
    MapCommand(IDC_EXIT, [this] { OnBtnExit(); });
    MapCommand(IDC_MORE, [this] { OnBtnMore(); });
    MapCommand(IDC_SHARE, [this] { OnBtnShare(); });
    MapCommand(IDC_SPEAK, [this] { OnBtnSpeak(); });
    MapCommand(IDC_CHAT, [this] { OnBtnChat(); });
    MapCommand(IDC_MEMBERS, [this] { OnBtnMembers(); });
    MapCommand(IDC_MYVIEW, [this] { OnBtnMyView(); });
    MapMessage(WM_BOARD_SYNC, [this](WPARAM, LPARAM) -> LRESULT {
        SyncBoardButton();
        return 0;
    });
    MapMessage(WM_BUTTONCHECK_HOVER, [this](WPARAM id, LPARAM) -> LRESULT {
        Button(static_cast<int>(id)).m_bRedraw = 1;
        UpdateLayer(0);
        return 1;
    });
}

CDlgFullDockX::~CDlgFullDockX() {
    {
        std::lock_guard<std::mutex> guard(RegistryLock());
        if (StripHandle() == GetSafeHwnd()) {
            StripHandle() = yav::WindowHandle();
        }
    }
    m_pShare.reset();
    m_pMore.reset();
    m_pBoard.reset();
    DestroyWindow();
}

void CDlgFullDockX::SetTabHandle(const yav::WindowHandle& tab) {
    std::lock_guard<std::mutex> guard(RegistryLock());
    TabHandle() = tab;
}

void CDlgFullDockX::SetBoardFactory(ScreenBoardFactory factory) {
    BoardFactory() = std::move(factory);
}

CButtonCheck& CDlgFullDockX::Button(int id) {
    return *static_cast<CButtonCheck*>(GetDlgItem(id));
}

BOOL CDlgFullDockX::OnInitDialog() {
    setWindowFlag(Qt::Tool, true);
    CYavDialogEx::OnInitDialog();
    if (m_pShare == nullptr) {
        m_pShare = yav::panels::MakeHiddenPopup<CDlgPopShare>(this, 490);
    }
    if (m_pMore == nullptr) {
        m_pMore = yav::panels::MakeHiddenPopup<CDlgPopMore>(this, 482);
    }
    for (CButtonCheck* button : {&m_btnMore, &m_btnChat, &m_btnShare, &m_btnSpeak, &m_btnMembers,
                                 &m_btnExit, &m_btnMyView}) {
        button->SetHoverNotify(1);
        button->show();
    }
    SetWindowPos(yav::ZOrder::Keep, 0, 0, yav::Scaled(448), yav::Scaled(60),
                 SWP_NOMOVE | SWP_NOZORDER);
    LayoutControls();
    UpdateLayer(1);
    SetWindowText(QStringLiteral("全屏控制条"));
    SetTimer(kWatchTimer, kWatchMs);
    if (m_pBoard == nullptr && BoardFactory()) {
        m_pBoard = BoardFactory()(&CDlgFullDockX::OnBoardCommand, static_cast<float>(g_fExchangePW),
                                  g_ConfigManager.GetLanguageIndex(), g_fontUI2);
    }
    {
        std::lock_guard<std::mutex> guard(RegistryLock());
        StripHandle() = GetSafeHwnd();
    }
    ReloadTexts();
    return 1;
}

void CDlgFullDockX::OnBoardCommand(signed char code) {
    yav::WindowHandle strip;
    yav::WindowHandle tab;
    {
        std::lock_guard<std::mutex> guard(RegistryLock());
        strip = StripHandle();
        // The tab registers itself when it exists.
        tab = TabHandle();
    }
    switch (code) {
        case 1:
            tab.Post(WM_COMMAND, CDlgExpand::IDC_EXPAND, 0);
            break;
        case 2:
            tab.Post(WM_COMMAND, CDlgExpand::IDC_COLLAPSE, 0);
            break;
        case 3:
            strip.Post(WM_COMMAND, IDC_EXIT, 0);
            break;
        case 4:
            strip.Post(WM_COMMAND, IDC_SHARE, 0);
            break;
        case 5:
            // The board's thread never touches the strip's windows.
            strip.Post(WM_BOARD_SYNC, 0, 0);
            break;
        default:
            YLOG_DEBUG("UNKNOW Command!");
            break;
    }
}

void CDlgFullDockX::LayoutControls() {
    const int h = GetClientRect().height();
    auto place = [h](CButtonCheck& button, int x, int w, int bh) {
        button.MoveWindow(yav::Scaled(x), (h - yav::Scaled(bh)) / 2, yav::Scaled(w),
                          yav::Scaled(bh), 0);
    };
    place(m_btnExit, 24, 88, 30);
    place(m_btnMore, 395, 23, 20);
    place(m_btnShare, 137, 56, 54);
    place(m_btnMyView, 137, 56, 54);
    place(m_btnSpeak, 194, 81, 54);
    place(m_btnChat, 275, 56, 54);
    place(m_btnMembers, 335, 56, 54);
}

void CDlgFullDockX::ReloadTexts() {
    m_btnChat.SetWindowText(LoadLangString(493));
    m_btnMembers.SetWindowText(LoadLangString(481));
    m_btnShare.SetWindowText(LoadLangString(2953));
    m_btnMyView.SetWindowText(LoadLangString(2317));
    UpdateButtons();
    if (m_pShare != nullptr) {
        m_pShare->ReloadTexts();
    }
    if (m_pMore != nullptr) {
        m_pMore->ReloadTexts();
    }
}

void CDlgFullDockX::UpdateButtons() {
    if (m_pShare != nullptr) {
        m_pShare->UpdateButtons();
    }
    const yav::panels::StripLook look = yav::panels::DecideStrip(ReadState(m_pBoard.get()));
    m_btnShare.SetWindowText(LoadLangString(look.shareText));
    m_btnShare.EnableWindow(look.shareEnabled ? 1 : 0);
    m_btnShare.SetCheck(look.shareChecked ? 1 : 0);
    m_btnShare.ShowWindow(look.shareShown ? SW_SHOW : SW_HIDE);
    m_btnMyView.ShowWindow(look.myViewShown ? SW_SHOW : SW_HIDE);
    m_btnExit.SetWindowText(LoadLangString(look.exitText));
    m_btnChat.EnableWindow(look.panelsEnabled ? 1 : 0);
    m_btnMembers.EnableWindow(look.panelsEnabled ? 1 : 0);
    m_btnExit.m_bRedraw = 1;
    m_btnMyView.m_bRedraw = 1;
    m_btnShare.m_bRedraw = 1;
    UpdateLayer(1);
}

void CDlgFullDockX::SetCommandText(int code) {
    const std::pair<int, int> texts[] = {{0, 2956}, {1, 2959}, {4, 874}, {5, 871}, {6, 2359}};
    for (const auto& [value, text] : texts) {
        if (value == code) {
            m_btnSpeak.SetWindowText(LoadLangString(text));
        }
    }
    m_btnSpeak.SetStatusNotify(0);
    m_nSpeakState = code;
    m_btnSpeak.m_bRedraw = 1;
    UpdateLayer(1);
}

bool CDlgFullDockX::StripWanted() {
    IPanelHost* host = Host();
    if (host == nullptr) {
        return false;
    }
    const int share = host->GetScreenShareState();
    return host->IsFullScreen() || share == 1 || share == 2 || host->HasOpenVideoWindow();
}

void CDlgFullDockX::ShowWindowGuarded(int nCmdShow) {
    if (nCmdShow == SW_SHOWNORMAL || nCmdShow == SW_SHOWNA || nCmdShow == SW_SHOW) {
        if (StripWanted()) {
            CYavDialogEx::ShowWindow(nCmdShow);
        }
        return;
    }
    CYavDialogEx::ShowWindow(nCmdShow);
}

void CDlgFullDockX::KeepAboveRoom() {
    IPanelHost* host = Host();
    if (host != nullptr && host->GetRoomWindow() != nullptr) {
        // Owned by the room: a window manager keeps the strip above it, in full screen too.
        yav::SetOwnerWindow(this, host->GetRoomWindow());
    }
}

void CDlgFullDockX::ShowBarForced() {
    KeepAboveRoom();
    ShowWindowGuarded(SW_SHOWNA);
    IPanelHost* host = Host();
    const QRect monitor = host != nullptr ? host->GetMonitorRect() : QRect(0, 0, 1280, 720);
    const int w = yav::Scaled(448);
    MoveWindow(monitor.left() + (monitor.width() - w) / 2, monitor.top() + yav::Scaled(10), w,
               yav::Scaled(60));
    SetWindowPos(yav::ZOrder::TopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void CDlgFullDockX::ShowBar() {
    IPanelHost* host = Host();
    if (host != nullptr && host->IsRoomMinimized()) {
        ShowWindowGuarded(SW_HIDE);
        return;
    }
    ShowBarForced();
}

void CDlgFullDockX::DockUserList() {
    ClearPanelButtons();
    IPanelHost* host = Host();
    if (IFloatUserList* panel = host != nullptr ? host->GetUserListPanel() : nullptr) {
        panel->SetFloat(false);
        panel->ShowDlg(SW_SHOW);
    }
}

void CDlgFullDockX::ClearPanelButtons() {
    m_btnChat.SetValue(0);
    m_btnMembers.SetValue(0);
    m_btnChat.m_bRedraw = 1;
    m_btnMembers.m_bRedraw = 1;
}

void CDlgFullDockX::SetUserListPage(BOOL chat) {
    m_btnChat.SetValue(chat != 0 ? 1 : 0);
    m_btnMembers.SetValue(chat != 0 ? 0 : 1);
    m_btnChat.m_bRedraw = 1;
    m_btnMembers.m_bRedraw = 1;
    UpdateLayer(1);
}

void CDlgFullDockX::SyncBoardButton() {
    IPanelHost* host = Host();
    if (m_pBoard == nullptr || host == nullptr || host->GetScreenShareState() != 1) {
        return;
    }
    const bool shown = m_pBoard->IsShown() != 0;
    m_btnShare.SetWindowText(LoadLangString(shown ? 5429 : 5426));
    m_btnShare.SetCheck(shown ? 1 : 0);
    UpdateLayer(1);
}

void CDlgFullDockX::OnBtnExit() {
    if (m_pMore != nullptr) {
        m_pMore->ShowWindow(SW_HIDE);
    }
    if (m_pShare != nullptr) {
        m_pShare->ShowWindow(SW_HIDE);
    }
    IPanelHost* host = Host();
    if (host == nullptr) {
        return;
    }
    switch (yav::panels::DecideExit(ReadState(m_pBoard.get()))) {
        case yav::panels::ExitAction::EndAssistance:
            host->OnRequestControl(0, 1);
            return;
        case yav::panels::ExitAction::EndOwnShare:
            m_btnMembers.SetValue(0);
            m_btnChat.SetValue(0);
            host->UpdateSpeakerVideo();
            return;
        case yav::panels::ExitAction::BackToOwnView:
            m_btnMembers.SetValue(0);
            m_btnChat.SetValue(0);
            host->RecalcLayout(0);
            return;
        case yav::panels::ExitAction::LeaveFullScreen:
            break;
    }
    if (host->IsFullScreen() || host->IsFullVideo()) {
        DockUserList();
        if (!host->IsFullVideo()) {
            host->LeaveFullScreen();
        } else {
            host->PostVideoZoom();
        }
        host->ShowToolBoxForDocument();
    }
}

void CDlgFullDockX::OnBtnShare() {
    IPanelHost* host = Host();
    if (host != nullptr && host->GetScreenShareState() == 1 && m_pBoard != nullptr) {
        if (m_pBoard->IsShown() != 0) {
            m_btnShare.SetCheck(0);
            m_pBoard->Show(0);
            m_btnShare.SetWindowText(LoadLangString(5426));
        } else {
            const QRect monitor = host->GetMonitorRect();
            m_pBoard->SetRect(m_btnExit.GetWindowRect(), 1);
            m_pBoard->SetRect(m_btnShare.GetWindowRect(), 2);
            QRect collapse;
            if (m_pExpand != nullptr) {
                collapse = m_pExpand->Button(CDlgExpand::IDC_COLLAPSE).GetWindowRect();
            }
            m_pBoard->SetRect(collapse, 3);
            m_pBoard->SetRect(
                collapse.translated(0, monitor.top() + yav::Scaled(4) - collapse.top()), 4);
            m_btnShare.SetCheck(1);
            m_pBoard->Show(1);
            m_btnShare.SetWindowText(LoadLangString(5429));
        }
        UpdateLayer(1);
        return;
    }
    if (m_pShare == nullptr) {
        return;
    }
    const QRect button = m_btnShare.GetWindowRect();
    const int width = yav::Scaled(g_ConfigManager.GetLanguageIndex() == 1 ? 130 : 109);
    const int left = button.left() + button.width() / 2 - yav::Scaled(109) / 2;
    m_pShare->MoveWindow(left, button.bottom() + 1 + yav::Scaled(10), width, yav::Scaled(237));
    m_pShare->LayoutControls();
    m_pShare->ShowWindow(SW_SHOW);
    m_pShare->UpdateLayer(1);
}

void CDlgFullDockX::OnBtnMore() {
    if (m_pMore == nullptr || !m_btnMore.IsWindow()) {
        return;
    }
    m_pMore->UpdateRecordButton();
    const QRect button = m_btnMore.GetWindowRect();
    const int width = yav::Scaled(109);
    m_pMore->MoveWindow(button.left() + button.width() / 2 - width / 2,
                        button.bottom() + 1 + yav::Scaled(24), width, yav::Scaled(165));
    m_pMore->LayoutControls();
    m_pMore->ShowWindow(SW_SHOW);
    m_pMore->UpdateLayer(1);
}

void CDlgFullDockX::OnBtnSpeak() {
    IPanelHost* host = Host();
    if (host == nullptr) {
        return;
    }
    if (m_nSpeakState == 0 || m_nSpeakState == 1) {
        host->ExecuteDockCommand(1);
    } else if (m_nSpeakState >= 4 && m_nSpeakState <= 6) {
        host->ExecuteDockCommand(3);
    }
}

void CDlgFullDockX::OnBtnChat() {
    OnPanelButton(true);
}
void CDlgFullDockX::OnBtnMembers() {
    OnPanelButton(false);
}

void CDlgFullDockX::OnPanelButton(bool chat) {
    IPanelHost* host = Host();
    IFloatUserList* panel = host != nullptr ? host->GetUserListPanel() : nullptr;
    if (panel == nullptr) {
        return;
    }
    bool samePage = false;
    if (chat) {
        if (panel->IsMembersPage()) {
            panel->SelectChatTab();
        } else {
            samePage = true;
        }
    } else if (panel->IsMembersPage()) {
        samePage = true;
    } else {
        panel->SelectMembersTab();
    }
    CButtonCheck& own = chat ? m_btnChat : m_btnMembers;
    CButtonCheck& other = chat ? m_btnMembers : m_btnChat;
    const QRect rect = yav::panels::FloatPanelRect(host->GetMonitorRect());
    if (!panel->IsFloat()) {
        panel->MoveTo(rect);
        panel->SetFloat(true);
        own.SetValue(1);
    } else if (!samePage) {
        panel->MoveTo(rect);
        panel->ShowDlg(SW_SHOW);
        own.SetValue(1);
    } else if (panel->IsVisible()) {
        panel->ShowDlg(SW_HIDE);
        own.SetValue(0);
    } else {
        panel->MoveTo(rect);
        panel->ShowDlg(SW_SHOW);
        own.SetValue(1);
    }
    other.SetValue(0);
    own.m_bRedraw = 1;
    other.m_bRedraw = 1;
    UpdateLayer(1);
}

void CDlgFullDockX::OnBtnMyView() {
    if (IPanelHost* host = Host()) {
        host->RecalcLayout(0);
    }
}

void CDlgFullDockX::OnTimer(UINT id) {
    if (id == kWatchTimer && !StripWanted()) {
        ShowWindowGuarded(SW_HIDE);
        if (m_pExpand != nullptr) {
            m_pExpand->ShowWindowGuarded(SW_HIDE);
        }
    }
    CYavDialogEx::OnTimer(id);
}

bool CDlgFullDockX::LeaveFullScreenByKey() {
    IPanelHost* host = Host();
    if (host == nullptr || !host->IsFullScreen()) {
        return false;
    }
    DockUserList();
    host->LeaveFullScreen();
    return true;
}

BOOL CDlgFullDockX::PreTranslateMessage(yav::Msg* msg) {
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE) {
        // Esc leaves full screen here as in the room; otherwise it is swallowed.
        LeaveFullScreenByKey();
        return 1;
    }
    if (msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_SPACE)) {
        return 1;
    }
    return CYavDialogEx::PreTranslateMessage(msg);
}

UINT CDlgFullDockX::ButtonImage(int id) const {
    switch (id) {
        case IDC_EXIT:
            return m_btnExit.GetCheck() != 0 ? 454 : 450;
        case IDC_MORE:
            return m_btnMore.GetCheck() != 0 ? 484 : 480;
        case IDC_MYVIEW:
            return m_btnMyView.GetCheck() != 0 ? 476 : 474;
        case IDC_CHAT:
            if (!m_btnChat.isEnabled()) {
                return 442;
            }
            return m_btnChat.GetCheck() == 0 && m_btnChat.GetValue() != 1 ? 438 : 440;
        case IDC_MEMBERS:
            if (!m_btnMembers.isEnabled()) {
                return 518;
            }
            return m_btnMembers.GetCheck() == 0 && m_btnMembers.GetValue() != 1 ? 514 : 516;
        case IDC_SHARE: {
            IPanelHost* host = GetPanelHost();
            if (host != nullptr && host->GetScreenShareState() == 1 && m_pBoard != nullptr) {
                return m_btnShare.GetCheck() != 0 ? 1188 : 1186;
            }
            if (!m_btnShare.isEnabled()) {
                return 460;
            }
            return m_btnShare.GetCheck() != 0 ? 458 : 456;
        }
        case IDC_SPEAK:
            return static_cast<UINT>(SpeakImage(m_nSpeakState, m_btnSpeak.GetCheck() != 0));
        default:
            return 0;
    }
}

void CDlgFullDockX::DrawIconButton(CButtonCheck& button, UINT image, bool active, double scale) {
    QPainter painter(&Composition());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect r = button.geometry();
    if (QImage* icon = image != 0 ? g_ConfigManager.LoadPNG(image) : nullptr) {
        const double w = icon->width() * g_fExchangePW * scale;
        const double h = icon->height() * g_fExchangePW * scale;
        painter.drawImage(QRectF(r.left() + (r.width() - w) / 2, r.top() + yav::ScaledF(10), w, h),
                          *icon);
    }
    QColor color(0, 0, 0);
    if (!button.isEnabled()) {
        color = QColor(140, 140, 140);
    } else if (button.GetCheck() != 0 || active) {
        color = QColor(51, 133, 237);
    }
    yav::gdip::StringFormat format;
    format.align = yav::gdip::Align::Center;
    format.lineAlign = yav::gdip::Align::Center;
    yav::gdip::DrawString(painter, button.GetWindowText(), *g_pGdipFont,
                          QRectF(r.left(), r.top() + yav::ScaledF(33), r.width(), yav::ScaledF(15)),
                          format, color);
}

void CDlgFullDockX::RedrawButtons(BOOL all) {
    auto dirty = [all](CButtonCheck& button) { return all != 0 || button.m_bRedraw != 0; };
    if (dirty(m_btnExit)) {
        QPainter painter(&Composition());
        if (QImage* image = g_ConfigManager.LoadPNG(ButtonImage(IDC_EXIT))) {
            painter.drawImage(QRectF(m_btnExit.geometry()), *image);
        }
        yav::gdip::StringFormat format;
        format.align = yav::gdip::Align::Center;
        format.lineAlign = yav::gdip::Align::Center;
        yav::gdip::DrawString(painter, m_btnExit.GetWindowText(), *g_pGdipFont,
                              QRectF(m_btnExit.geometry()), format, QColor(255, 255, 255));
        m_btnExit.m_bRedraw = 0;
    }
    if (dirty(m_btnMore)) {
        QPainter painter(&Composition());
        if (QImage* image = g_ConfigManager.LoadPNG(ButtonImage(IDC_MORE))) {
            painter.drawImage(QRectF(m_btnMore.geometry()), *image);
        }
        m_btnMore.m_bRedraw = 0;
    }
    const std::pair<CButtonCheck*, int> icons[] = {{&m_btnMyView, IDC_MYVIEW},
                                                   {&m_btnChat, IDC_CHAT},
                                                   {&m_btnShare, IDC_SHARE},
                                                   {&m_btnSpeak, IDC_SPEAK},
                                                   {&m_btnMembers, IDC_MEMBERS}};
    for (const auto& [button, id] : icons) {
        if (!dirty(*button) || !button->isVisibleTo(this)) {
            button->m_bRedraw = 0;
            continue;
        }
        if (all == 0) {
            DrawBackground(button, nullptr, &button->m_bRedraw, 0);
        }
        const UINT image = ButtonImage(id);
        const bool active = (id == IDC_CHAT && image == 440) || (id == IDC_MEMBERS && image == 516);
        DrawIconButton(*button, image, active, id == IDC_MYVIEW ? 1.0 : 0.5);
        button->m_bRedraw = 0;
    }
}
