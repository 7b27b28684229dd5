// The room window's panes: where the control bar, the status bar, the docked participant panel
// and the video area stand, in the normal view and in full screen, and the voice-activation
// report that places its notice over them.

#include <algorithm>

#include "XMainFrame.h"
#include "platform/core/Log.h"

namespace {

// What the conference events ask of the room's arrangement, answered by the room window.
class OwnArrangement : public IRoomArrangement {
public:
    explicit OwnArrangement(CYavClientDlg& room) : room_(room) {}
    void ShowFullVideo(std::uint16_t wMediaId, bool on) override {
        room_.OnVideoZoom(wMediaId, on ? 1 : 0);
    }
    void SetPanelState(int fullScreen) override { room_.SetPanelState(fullScreen); }
    void UpdateZOrder(int fullScreen) override { room_.UpdateZOrder(fullScreen); }

private:
    CYavClientDlg& room_;
};

QRect Rect(int x, int y, int cx, int cy) {
    return QRect(x, y, std::max(0, cx), std::max(0, cy));
}

}  // namespace

CYavClientDlg::PaneRects CYavClientDlg::ArrangePanes(const QSize& client, int stripSize,
                                                     int titleSize, int sidePanelSize,
                                                     bool panesHidden, bool sidePanelShown) {
    const int w = std::max(0, client.width());
    const int h = std::max(0, client.height());
    PaneRects panes;
    if (panesHidden) {
        panes.video = Rect(0, 0, w, h);
        return panes;
    }
    // Each bar keeps its height while it fits; the videos take what the bars leave.
    const int top = std::min(stripSize, h);
    const int bottom = std::min(titleSize, h - top);
    const int side = sidePanelShown ? std::min(sidePanelSize, w) : 0;
    panes.controlBar = Rect(0, 0, w, top);
    if (side > 0) {
        panes.sidePanel = Rect(w - side, top, side, h - top);
    }
    panes.statusBar = Rect(0, h - bottom, w - side, bottom);
    panes.video = Rect(0, top, w - side, h - top - bottom);
    return panes;
}

void CYavClientDlg::InstallOwnArrangement() {
    if (m_pOwnArrangement == nullptr) {
        m_pOwnArrangement = std::make_unique<OwnArrangement>(*this);
    }
    Frame().SetRoomArrangement(m_pOwnArrangement.get());
}

bool CYavClientDlg::IsSidePanelShown() const {
    return m_nPanelVisible != 0 && m_arrangement.panelState == 0 && m_pUserList != nullptr &&
           !m_pUserList->IsFloat();
}

CYavClientDlg::PaneRects CYavClientDlg::NormalPanes() const {
    return ArrangePanes(GetClientRect().size(), m_nStripSize, m_nTitleSize, m_nSidePanelSize,
                        m_arrangement.panelState != 0, IsSidePanelShown());
}

void CYavClientDlg::PlacePanes(const PaneRects& panes) {
    const PaneRects before = m_paneRects;
    const bool first = !m_bPanesLaidOut;
    m_bPanesLaidOut = true;
    m_paneRects = panes;
    // A bar is moved to its rectangle and shown or hidden when that changes.
    auto place = [first](auto* pane, const QRect& was, const QRect& rect) {
        if (pane == nullptr) {
            return;
        }
        if (rect.isEmpty()) {
            if (first || !was.isEmpty()) {
                pane->ShowWindow(SW_HIDE);
            }
            return;
        }
        if (first || rect != was) {
            pane->MoveWindow(rect.x(), rect.y(), rect.width(), rect.height());
        }
        if (first || was.isEmpty()) {
            pane->ShowWindow(SW_SHOW);
        }
    };
    place(m_pControlBar.get(), before.controlBar, panes.controlBar);
    place(m_pStatusBar.get(), before.statusBar, panes.statusBar);
    if (m_pUserList != nullptr && !m_pUserList->IsFloat()) {
        if (panes.sidePanel.isEmpty()) {
            if (m_pUserList->IsVisible()) {
                m_pUserList->ShowDlg(SW_HIDE);
            }
        } else {
            m_pUserList->MoveTo(panes.sidePanel);
            if (!m_pUserList->IsVisible()) {
                m_pUserList->ShowDlg(SW_SHOW);
            }
        }
    }
    if (m_pControlBar != nullptr && !panes.controlBar.isEmpty()) {
        m_pControlBar->LayoutCenterPane();
    }
    if (m_pVoiceIncentive != nullptr) {
        m_pVoiceIncentive->PlaceNotice(frameGeometry(), 1);
    }
}

void CYavClientDlg::LayoutPanes(int relayout) {
    if (!IsWindow()) {
        return;
    }
    const PaneRects normal = NormalPanes();
    // A maximised video covers the room: the panes step aside, the videos keep their area.
    PlacePanes(m_bFullVideo ? PaneRects{{}, {}, {}, GetClientRect()} : normal);
    if (m_pLayoutManager != nullptr) {
        m_pLayoutManager->SetWinMode(m_layoutBytes.mainDisplay, m_layoutBytes.layoutMode,
                                     m_layoutBytes.mainContent, m_layoutBytes.sideContent);
        // The side area (document or media play beside the videos) has no pane of its own in
        // this room: the document and media views take the video area when chosen.
        m_pLayoutManager->SetScreenRect(0, QRect());
        m_pLayoutManager->SetScreenRect(1, normal.video);
        m_pLayoutManager->SetScreenRect(2, GetClientRect());
        // The maximised window keeps the room until it is restored.
        if (!m_pLayoutManager->IsMaxVideo()) {
            m_pLayoutManager->Relayout(relayout != 0);
        }
    }
}

void CYavClientDlg::SetFullVideoState(bool on) {
    m_bFullVideo = on;
    if (IsWindow()) {
        m_bPanesLaidOut = false;
        PlacePanes(on ? PaneRects{{}, {}, {}, GetClientRect()} : NormalPanes());
    }
}

LRESULT CYavClientDlg::OnVideoZoom(WPARAM wParam, LPARAM lParam) {
    if (m_pLayoutManager != nullptr) {
        m_pLayoutManager->SetMaxVideo(lParam != 0, static_cast<std::uint16_t>(wParam & 0xFFFF), -1);
    }
    return 0;
}

void CYavClientDlg::OnSize(int cx, int cy) {
    yav::Dialog::OnSize(cx, cy);
    LayoutPanes(0);
}

void CYavClientDlg::OnMove(int x, int y) {
    yav::Dialog::OnMove(x, y);
    // Pop-ups that stand in screen coordinates follow the room.
    if (m_pStatusBar != nullptr && m_arrangement.panelState == 0) {
        m_pStatusBar->PlaceSeparatorStrip();
    }
    if (m_pControlBar != nullptr && m_arrangement.panelState == 0) {
        m_pControlBar->LayoutCenterPane();
    }
    if (m_pVoiceIncentive != nullptr) {
        m_pVoiceIncentive->PlaceNotice(frameGeometry(), 1);
    }
}

void CYavClientDlg::OnShowWindow(BOOL show) {
    yav::Dialog::OnShowWindow(show);
    if (show != 0) {
        LayoutPanes(0);
    }
}

void CYavClientDlg::SetPanelState(int fullScreen) {
    m_arrangement.panelState = fullScreen != 0 ? 1 : 0;
    LayoutPanes(1);
}

void CYavClientDlg::UpdateZOrder(int fullScreen) {
    if (fullScreen != 0) {
        // The tab brings the strip with it; without a tab the strip comes alone.
        if (m_pExpand != nullptr) {
            m_pExpand->ShowTab();
        } else if (m_pFullDock != nullptr) {
            m_pFullDock->ShowBar();
        }
        return;
    }
    if (m_pVoiceIncentive != nullptr) {
        m_pVoiceIncentive->PlaceNotice(frameGeometry(), 1);
    }
}

void CYavClientDlg::ShowPanes() {
    m_bPanesLaidOut = false;
    LayoutPanes(0);
}

void CYavClientDlg::ShowSidePanel(bool show) {
    m_nPanelVisible = show ? 1 : 0;
    LayoutPanes(1);
}

void CYavClientDlg::SetFullScreen(bool on) {
    YLOG_INFO("full screen start");
    g_bFullScreen = on ? 1 : 0;
    m_fullScreenKeys.SetWatching(on);
    if (on) {
        showFullScreen();
    } else if (isFullScreen()) {
        showNormal();
    }
    SetPanelState(on ? 1 : 0);
    UpdateZOrder(on ? 1 : 0);
    YLOG_INFO("full screen over");
}

void CYavClientDlg::LeaveFullScreenByKey() {
    if (g_bFullScreen == 0) {
        return;
    }
    if (m_pFullDock != nullptr) {
        m_pFullDock->DockUserList();
    }
    SetFullScreen(false);
}

LRESULT CYavClientDlg::OnVoiceIncentive(WPARAM wParam, LPARAM) {
    if (m_pVoiceIncentive != nullptr && m_pVoiceIncentive->IsWindow()) {
        m_pVoiceIncentive->OnVoiceActivation(static_cast<int>(wParam & 0xFFFF));
    }
    return 0;
}
