#include "CDlgExpand.h"

#include <QCursor>
#include <QPainter>

#include "CDlgFullDockX.h"
#include "ConfigManger.h"
#include "PanelClock.h"
#include "PanelHost.h"
#include "platform/core/Log.h"
#include "platform/window/Scaled.h"
#include "platform/window/WindowStyles.h"

namespace {

IPanelHost* Host() {
    return GetPanelHost();
}

// The 1 x 1 window kept shown in a corner while another participant controls this screen.
class CornerTile : public yav::Window {
public:
    CornerTile() : yav::Window(nullptr) {
        setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus |
                       Qt::WindowStaysOnTopHint);
        setAttribute(Qt::WA_ShowWithoutActivating);
    }
};

}  // namespace

CDlgExpand::CDlgExpand(QWidget* parent)
    : CYavDialogEx(IDD, parent), m_btnExpand(this), m_btnCollapse(this) {
    m_btnExpand.SetDlgCtrlID(IDC_EXPAND);
    m_btnCollapse.SetDlgCtrlID(IDC_COLLAPSE);
    m_btnExpand.SetWindowText(QStringLiteral("展开图标"));
    m_btnCollapse.SetWindowText(QStringLiteral("收起图标"));
    m_cursor = [] { return QCursor::pos(); };
    MapCommand(IDC_EXPAND, [this] { OnBtnExpand(); });
    MapCommand(IDC_COLLAPSE, [this] { OnBtnCollapse(); });
}

CDlgExpand::~CDlgExpand() {
    QuitThread();
    m_pCorner.reset();
    DestroyWindow();
}

QRect CDlgExpand::Monitor() {
    IPanelHost* host = Host();
    return host != nullptr ? host->GetMonitorRect() : QRect(0, 0, 1280, 720);
}

BOOL CDlgExpand::OnInitDialog() {
    setWindowFlag(Qt::Tool, true);
    m_pExpandImage = g_ConfigManager.LoadPNGScaled(1098);
    m_pCollapseImage = g_ConfigManager.LoadPNGScaled(1100);
    CYavDialogEx::OnInitDialog();
    for (CButtonCheck* button : {&m_btnExpand, &m_btnCollapse}) {
        button->MoveWindow(yav::Scaled((81 - 44) / 2), yav::Scaled(7), yav::Scaled(44),
                           yav::Scaled(28), 0);
    }
    m_btnExpand.show();
    m_btnCollapse.hide();
    SetWindowPos(yav::ZOrder::TopMost, 0, 0, yav::Scaled(81), yav::Scaled(41), SWP_NOMOVE);
    if (m_pCorner == nullptr) {
        m_pCorner = std::make_unique<CornerTile>();
        const QRect monitor = Monitor();
        m_pCorner->setGeometry(monitor.width() - 1, monitor.height() - 1, 1, 1);
        m_pCorner->hide();
    }
    SetTimer(kCornerTimer, kCornerMs);
    UpdateLayer(1);
    CDlgFullDockX::SetTabHandle(GetSafeHwnd());
    return 1;
}

void CDlgExpand::MoveTabTo(int offsetFromTop) {
    const QRect monitor = Monitor();
    MoveWindow(monitor.left() + (monitor.width() - yav::Scaled(81)) / 2,
               monitor.top() + offsetFromTop, yav::Scaled(81), yav::Scaled(41));
}

void CDlgExpand::ShowWindowGuarded(int nCmdShow) {
    if (nCmdShow == SW_SHOW || nCmdShow == SW_SHOWNA) {
        IPanelHost* host = Host();
        const int share = host != nullptr ? host->GetScreenShareState() : 0;
        if (host != nullptr &&
            (host->IsFullScreen() || host->HasOpenVideoWindow() || share == 1 || share == 2)) {
            if (host->GetRoomWindow() != nullptr) {
                // Owned by the room, as the strip: kept above it by a window manager.
                yav::SetOwnerWindow(this, host->GetRoomWindow());
            }
            CYavDialogEx::ShowWindow(nCmdShow);
        }
        return;
    }
    CYavDialogEx::ShowWindow(nCmdShow);
}

void CDlgExpand::ShowTab() {
    m_nOut = 1;
    IPanelHost* host = Host();
    if (host != nullptr && host->IsRoomMinimized()) {
        if (host->GetScreenShareState() != 1) {
            ShowWindowGuarded(SW_HIDE);
        }
        return;
    }
    if (m_pStrip != nullptr) {
        m_pStrip->ShowBar();
        m_pStrip->UpdateButtons();
    }
    m_btnExpand.hide();
    m_btnCollapse.show();
    MoveTabTo(yav::Scaled(60) + 8);
    ShowWindowGuarded(SW_SHOW);
    SetTimer(kCollapseTimer, 2000);
    m_nTabState = 2;
    SetTimer(kHoverTimer, kHoverMs);
    UpdateLayer(1);
}

void CDlgExpand::OnBtnExpand() {
    m_nOut = 1;
    m_nTabState = 2;
    MoveTabTo(yav::Scaled(60) + 8);
    UpdateLayer(1);
    m_btnExpand.hide();
    m_btnCollapse.show();
    IPanelHost* host = Host();
    if (m_pStrip != nullptr) {
        if (host != nullptr && host->GetScreenShareState() == 1) {
            m_pStrip->ShowBarForced();
        } else {
            m_pStrip->ShowBar();
        }
        m_pStrip->UpdateButtons();
    }
    SetTimer(kCollapseTimer, 10000);
    if (m_pStrip != nullptr) {
        m_pStrip->CYavDialogEx::ShowWindow(SW_SHOWNORMAL);
    }
}

void CDlgExpand::OnBtnCollapse() {
    m_nTabState = 1;
    MoveTabTo(yav::Scaled(2));
    UpdateLayer(1);
    m_btnCollapse.hide();
    m_btnExpand.show();
    if (m_pStrip != nullptr) {
        m_pStrip->CYavDialogEx::ShowWindow(SW_HIDE);
    }
    m_nOut = 0;
    ShowWindowGuarded(SW_SHOW);
}

void CDlgExpand::RedrawButtons(BOOL) {
    CButtonCheck& button = m_nTabState == 1 ? m_btnExpand : m_btnCollapse;
    QImage* image = m_nTabState == 1 ? m_pExpandImage : m_pCollapseImage;
    button.SetWindowText(LoadLangString(m_nTabState == 1 ? 3283 : 3286));
    if (image == nullptr) {
        return;
    }
    QPainter painter(&Composition());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect r = button.geometry();
    const double w = image->width() * 0.5 * g_fExchangePW;
    const double h = image->height() * 0.5 * g_fExchangePW;
    painter.drawImage(QRectF(r.left() + (r.width() - w) / 2, r.top() + yav::ScaledF(5), w, h),
                      *image);
}

bool CDlgExpand::CanCollapse() {
    if (m_pStrip == nullptr) {
        return true;
    }
    if ((m_pStrip->SharePopup() != nullptr && m_pStrip->SharePopup()->IsWindowVisible()) ||
        (m_pStrip->MorePopup() != nullptr && m_pStrip->MorePopup()->IsWindowVisible())) {
        return false;
    }
    return !m_pStrip->GetWindowRect().contains(m_cursor());
}

void CDlgExpand::RequestExpand() {
    KillTimer(kCollapseTimer);
    const bool stripVisible = m_pStrip != nullptr && m_pStrip->IsWindowVisible();
    if (!stripVisible && IsWindowVisible() && m_nOut == 0) {
        m_nOut = 1;
        StartSlide(1);
    }
}

void CDlgExpand::StartSlide(int direction) {
    if (direction == 2 && (m_pStrip == nullptr || !m_pStrip->IsWindowVisible())) {
        return;
    }
    m_nSliding = direction;
    m_steps = direction == 1 ? yav::panels::SlideDownSteps(g_fExchangePW)
                             : yav::panels::SlideUpSteps(g_fExchangePW);
    m_nStepMs = direction == 1 ? yav::panels::kSlideDownStepMs : yav::panels::kSlideUpStepMs;
    m_nNextStep = 0;
    m_dwSlideStart = yav::panels::GetTickCount();
    m_tabOrigin = GetWindowRect().topLeft();
    m_stripOrigin = m_pStrip != nullptr ? m_pStrip->GetWindowRect().topLeft() : QPoint();
    SlideStep();
    SetTimer(kSlideTimer, kSlideTickMs);
}

void CDlgExpand::SlideStep() {
    if (m_nSliding == 0) {
        return;
    }
    // Every step whose time has come is taken now; only the last one's place is shown.
    const std::uint32_t elapsed = yav::panels::GetTickCount() - m_dwSlideStart;
    const size_t due = std::min(m_steps.size(), static_cast<size_t>(elapsed / m_nStepMs) + 1);
    if (due > m_nNextStep) {
        const yav::panels::SlideStep& step = m_steps[due - 1];
        const QRect monitor = Monitor();
        SetWindowPos(yav::ZOrder::Keep, m_tabOrigin.x(), monitor.top() + step.tabY, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER);
        if (m_pStrip != nullptr) {
            m_pStrip->SetWindowPos(yav::ZOrder::Keep, m_stripOrigin.x(),
                                   monitor.top() + step.stripY, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            if (m_nSliding == 1) {
                m_pStrip->CYavDialogEx::ShowWindow(SW_SHOWNA);
            }
        }
        m_nNextStep = due;
    }
    if (m_nNextStep >= m_steps.size()) {
        const int command = m_nSliding == 1 ? IDC_EXPAND : IDC_COLLAPSE;
        m_nSliding = 0;
        KillTimer(kSlideTimer);
        PostMessage(WM_COMMAND, static_cast<WPARAM>(command), 0);
    }
}

void CDlgExpand::QuitThread() {
    YLOG_DEBUG("CDlgExpand::QuitThread 1");
    m_nSliding = 0;
    KillTimer(kSlideTimer);
    YLOG_DEBUG("CDlgExpand::QuitThread 2 线程已经退出");
}

BOOL CDlgExpand::PreTranslateMessage(yav::Msg* msg) {
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE && m_pStrip != nullptr) {
        m_pStrip->LeaveFullScreenByKey();
        return 1;
    }
    return CYavDialogEx::PreTranslateMessage(msg);
}

void CDlgExpand::OnTimer(UINT id) {
    switch (id) {
        case kSlideTimer:
            SlideStep();
            return;
        case kCollapseTimer:
            if (CanCollapse()) {
                KillTimer(kCollapseTimer);
                StartSlide(2);
            }
            break;
        case kHoverTimer: {
            const bool stripVisible = m_pStrip != nullptr && m_pStrip->IsWindowVisible();
            if (!stripVisible && m_nOut == 0 && yav::panels::InExpandZone(m_cursor(), Monitor())) {
                RequestExpand();
            }
            break;
        }
        case kCornerTimer: {
            IPanelHost* host = Host();
            if (IsWindowVisible() && host != nullptr && host->GetScreenShareState() == 1) {
                Invalidate();
            }
            if (host == nullptr || host->GetRemoteControlState() != 2) {
                m_pCorner->hide();
            } else if (!m_pCorner->isVisible()) {
                const QRect monitor = Monitor();
                m_pCorner->setGeometry(monitor.width() - 1, monitor.height() - 1, 1, 1);
                m_pCorner->show();
            } else {
                m_pCorner->update();
            }
            break;
        }
        default:
            break;
    }
    CYavDialogEx::OnTimer(id);
}
