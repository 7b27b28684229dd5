#include "CDlgVoiceIncentive.h"

#include <QPainter>

#include "ConfigManger.h"
#include "PanelHost.h"
#include "platform/window/Scaled.h"

CDlgVoiceIncentive::CDlgVoiceIncentive(QWidget* parent) : yav::Dialog(IDD, parent), m_label(this) {
    m_label.SetDlgCtrlID(IDC_LABEL);
}

CDlgVoiceIncentive::~CDlgVoiceIncentive() {
    DestroyWindow();
}

BOOL CDlgVoiceIncentive::OnInitDialog() {
    yav::Dialog::OnInitDialog();
    m_label.SetAlignCenter();
    m_label.SetTextColor(RGB(255, 255, 255));
    m_label.SetWindowText(QString());
    m_nMediaId = -1;
    m_nMode = 1;
    return 1;
}

void CDlgVoiceIncentive::ReloadTexts() {
    m_label.SetWindowText(LoadLangString(3211));
}

QPoint CDlgVoiceIncentive::MainWindowPosition(const QRect& room) {
    IPanelHost* host = GetPanelHost();
    const bool full = host != nullptr && (host->IsFullVideo() || host->IsFullScreen());
    if (full) {
        return QPoint(room.left() + (room.width() - yav::Scaled(320)) / 2,
                      room.top() + yav::Scaled(120));
    }
    const int panel = host != nullptr ? host->GetSidePanelWidth() : 0;
    return QPoint(room.left() + (room.width() - panel - yav::Scaled(320)) / 2,
                  room.top() + yav::Scaled(90));
}

void CDlgVoiceIncentive::ReleaseChannel() {
    IPanelHost* host = GetPanelHost();
    if (host == nullptr || m_nMediaId <= 0) {
        return;
    }
    host->SetStreamMarker(m_nMediaId, false);
    if (IVoiceVideoWindow* window = host->FindVoiceWindow(m_nMediaId)) {
        window->SetVoiceNotice(nullptr);
    }
}

void CDlgVoiceIncentive::ShowNotice(BOOL overMainWindow, int mediaId) {
    IPanelHost* host = GetPanelHost();
    if (host == nullptr) {
        return;
    }
    if (m_nMediaId > 0) {
        host->SetStreamMarker(m_nMediaId, false);
        IVoiceVideoWindow* previous = host->FindVoiceWindow(m_nMediaId);
        if (previous == nullptr) {
            HideNotice();
            return;
        }
        previous->SetVoiceNotice(nullptr);
    }
    m_nMediaId = mediaId;
    if (overMainWindow != 0) {
        const QPoint at = MainWindowPosition(host->GetRoomRect());
        MoveWindow(at.x(), at.y(), yav::Scaled(320), yav::Scaled(32));
        m_label.SetWindowText(QStringLiteral("%1 %2").arg(
            host->FormatChannelName(mediaId).left(259), LoadLangString(3211)));
        m_label.MoveWindow((yav::Scaled(320) - yav::Scaled(200)) / 2,
                           (yav::Scaled(32) - yav::Scaled(20)) / 2, yav::Scaled(200),
                           yav::Scaled(20));
        m_nMode = 1;
    } else {
        IVoiceVideoWindow* window = host->FindVoiceWindow(mediaId);
        if (window == nullptr) {
            HideNotice();
            return;
        }
        window->SetVoiceNotice(this);
        const QRect w = window->GetWindowRect();
        if (w.width() > 1 || w.height() > 1) {
            MoveWindow(w.right() + 1 - yav::Scaled(80), w.top() + yav::Scaled(5), yav::Scaled(75),
                       yav::Scaled(27));
        }
        m_label.SetWindowText(LoadLangString(3211));
        m_label.MoveWindow((yav::Scaled(75) - yav::Scaled(60)) / 2,
                           (yav::Scaled(27) - yav::Scaled(20)) / 2, yav::Scaled(60),
                           yav::Scaled(20));
        m_nMode = 2;
        host->SetStreamMarker(mediaId, true);
    }
    Invalidate();
    SetWindowPos(yav::ZOrder::Top, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ShowWindow(SW_SHOWNA);
    SetTimer(kHideTimer, kShowMs);
}

bool CDlgVoiceIncentive::IsForUser(int mediaId) {
    if (mediaId != m_nMediaId) {
        return false;
    }
    IPanelHost* host = GetPanelHost();
    const bool broadcast = host != nullptr && host->IsMediaIdBroadcast(mediaId);
    // A channel that started or stopped being broadcast changes the notice's place.
    if ((m_nMode == 1 && broadcast) || (m_nMode == 2 && !broadcast)) {
        return false;
    }
    SetTimer(kHideTimer, kKeepMs);
    return true;
}

void CDlgVoiceIncentive::HideNotice() {
    if (m_nMediaId > 0) {
        ReleaseChannel();
        ShowWindow(SW_HIDE);
    }
    KillTimer(kHideTimer);
    m_nMediaId = 0;
}

void CDlgVoiceIncentive::PlaceNotice(const QRect& rect, BOOL fromMainWindow) {
    IPanelHost* host = GetPanelHost();
    if (m_nMode == 1 && fromMainWindow != 0) {
        const QRect room = rect.width() < 1 && host != nullptr ? host->GetRoomRect() : rect;
        const QPoint at = MainWindowPosition(room);
        SetWindowPos(yav::ZOrder::Keep, at.x(), at.y(), 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    } else if (m_nMode == 2 && fromMainWindow == 0) {
        if (host != nullptr && host->IsFullScreen()) {
            HideNotice();
        } else {
            SetWindowPos(yav::ZOrder::Keep, rect.right() + 1 - yav::Scaled(80),
                         rect.top() + yav::Scaled(5), 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        }
    }
}

void CDlgVoiceIncentive::OnVoiceActivation(int mediaId) {
    IPanelHost* host = GetPanelHost();
    if (host == nullptr) {
        return;
    }
    if (host->GetLayoutModeByte() == 2 && host->GetLayoutStateSecond() != 2) {
        return;
    }
    if (IsForUser(mediaId)) {
        return;
    }
    IVoiceVideoWindow* window = host->FindVoiceWindow(mediaId);
    const bool usable = window != nullptr && window->CanShowCaption();
    ShowNotice(host->IsMediaIdBroadcast(mediaId) && usable ? 0 : 1, mediaId);
}

void CDlgVoiceIncentive::OnTimer(UINT id) {
    if (id == kHideTimer) {
        KillTimer(kHideTimer);
        HideNotice();
    }
    yav::Dialog::OnTimer(id);
}

BOOL CDlgVoiceIncentive::OnEraseBkgnd(QPainter& painter) {
    painter.fillRect(GetClientRect(), QColor(67, 138, 244));
    return 1;
}
