#include "CDlgReconnect.h"

#include "ConfigManger.h"
#include "LoginUi.h"
#include "client/Common/MessageIds.h"
#include "platform/core/Log.h"
#include "platform/window/Placement.h"
#include "platform/window/Scaled.h"
#include "platform/window/WindowStyles.h"

namespace {

constexpr int kTextGiveUp = 3094;
constexpr int kTextTitle = 3097;
constexpr int kTextMessage = 337;

constexpr UINT kImageHover = 176;
constexpr UINT kImageNormal = 178;

constexpr COLORREF kWhite = RGB(255, 255, 255);

}  // namespace

CDlgReconnect::CDlgReconnect(IReconnectHost* host, QWidget* parent)
    : CDlgCommon(IDD, parent),
      m_pHost(host),
      m_staticTitle(this),
      m_staticMessage(this),
      m_btnGiveUp(this),
      m_staticHidden(this) {
    m_staticTitle.SetDlgCtrlID(IDC_TITLE);
    m_staticMessage.SetDlgCtrlID(IDC_MESSAGE);
    m_btnGiveUp.SetDlgCtrlID(IDC_GIVE_UP);
    m_staticHidden.SetDlgCtrlID(IDC_HIDDEN);
    MapCommand(IDC_GIVE_UP, [this] { OnGiveUp(); });
}

CDlgReconnect::~CDlgReconnect() {
    DestroyWindow();
}

BOOL CDlgReconnect::OnInitDialog() {
    CDlgCommon::OnInitDialog();
    SetWindowPos(yav::ZOrder::Keep, 0, 0, yav::Scaled(300), yav::Scaled(150),
                 SWP_NOMOVE | SWP_NOZORDER);
    m_pImgNormal = LoadPNGIfEmpty(m_pImgNormal, kImageNormal);
    m_pImgHover = LoadPNGIfEmpty(m_pImgHover, kImageHover);

    m_staticTitle.SetWindowText(LoadLangString(kTextTitle));
    m_staticTitle.SetAlignLeft();
    m_staticTitle.SetTextColor(kWhite);
    m_staticMessage.SetWindowText(LoadLangString(kTextMessage));
    m_staticMessage.SetAlignCenter();
    m_staticMessage.SetLineAlign(1);
    login_ui::SetUpCaptionButton(m_btnGiveUp, m_pImgNormal, m_pImgHover,
                                 LoadLangString(kTextGiveUp), kWhite);
    m_staticHidden.ShowWindow(SW_HIDE);

    m_staticTitle.MoveWindow(yav::ScaledRect(16, 7, 210, 21));
    m_staticMessage.MoveWindow(yav::ScaledRect(25, 32, 250, 73));
    m_btnGiveUp.MoveScaled(201, 106, 74, 24);
    return 1;
}

void CDlgReconnect::ShowDialog() {
    ShowWindow(SW_SHOW);
    UpdateWindow();
    yav::CenterInWorkArea(this,
                          yav::ScreenNearest(GetParentWnd() != nullptr ? GetParentWnd() : this));
    SetWindowPos(yav::ZOrder::TopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void CDlgReconnect::StartReconnectThread(std::uint32_t intervalMs) {
    if (m_pHost == nullptr) {
        YLOG_WARN("重连线程创建失败");
        return;
    }
    EnableWindow(1);
    IReconnectHost* host = m_pHost;
    const yav::WindowHandle mainWindow = host->GetMainWindowHandle();
    const bool started = m_worker.Start(
        [host] { return host->ReLoginCS(); },
        [mainWindow] { yav::PostMessage(mainWindow, WM_RECONNECT_STATE, 2, 0); }, intervalMs);
    if (!started) {
        YLOG_WARN("重连线程创建失败");
    }
}

void CDlgReconnect::StopReconnectThread() {
    if (!m_worker.IsDone()) {
        YLOG_INFO("stopping the reconnect worker");
    }
    m_worker.Stop();
}

void CDlgReconnect::OnGiveUp() {
    EnableWindow(0);
    m_worker.RequestStop();
    // A login attempt that runs finishes first; the notice stays disabled meanwhile, without
    // blocking the window system.
    if (m_worker.IsDone()) {
        FinishGiveUp();
        return;
    }
    SetTimer(kGiveUpPollTimer, kGiveUpPollMs);
}

void CDlgReconnect::OnTimer(UINT id) {
    if (id != kGiveUpPollTimer) {
        CDlgCommon::OnTimer(id);
        return;
    }
    if (m_worker.IsDone()) {
        KillTimer(kGiveUpPollTimer);
        FinishGiveUp();
    }
}

void CDlgReconnect::FinishGiveUp() {
    // The notice goes with the room it belonged to.
    ShowWindow(SW_HIDE);
    if (m_pHost != nullptr) {
        m_pHost->GiveUpConference();
    }
}

void CDlgReconnect::OnOK() {}

void CDlgReconnect::OnCancel() {
    YLOG_DEBUG("避免用户手动关闭 CDlgReconnect::OnClose");
}

void CDlgReconnect::OnActivate(UINT state, QWidget* other) {
    CDlgCommon::OnActivate(state, other);
    if (m_pHost != nullptr && m_pHost->IsReconnecting() && !yav::IsTopMost(this)) {
        yav::SetTopMost(this, true);
    }
}
