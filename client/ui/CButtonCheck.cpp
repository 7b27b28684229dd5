#include "CButtonCheck.h"

#include <QMouseEvent>

#include "UiMainFrame.h"
#include "client/Common/MessageIds.h"

CButtonCheck::CButtonCheck(QWidget* parent) : yav::WindowT<QAbstractButton>(parent) {
    // A button: a press released over it is the command of its id to the parent (BN_CLICKED),
    // beside the pop-up's own click and hover notifications.
    yav::ConnectClickCommand(this);
}

void CButtonCheck::SetCheck(BYTE check) {
    if (check != m_bChecked) {
        m_bChecked = check;
        m_bRedraw = 1;
    }
}

void CButtonCheck::SetWindowText(const QString& text) {
    m_bRedraw = 1;
    yav::WindowT<QAbstractButton>::SetWindowText(text);
}

BOOL CButtonCheck::EnableWindow(BOOL enable) {
    m_bRedraw = 1;
    return yav::WindowT<QAbstractButton>::EnableWindow(enable);
}

BOOL CButtonCheck::ShowWindow(int nCmdShow) {
    m_bRedraw = 1;
    return yav::WindowT<QAbstractButton>::ShowWindow(nCmdShow);
}

void CButtonCheck::paintEvent(QPaintEvent* /*event*/) {
    // The pop-up draws the button into its own picture.
}

LRESULT CButtonCheck::NotifyHover() {
    return yav::SendMessage(parentWidget(), WM_BUTTONCHECK_HOVER,
                            static_cast<WPARAM>(GetDlgCtrlID()), static_cast<LPARAM>(m_dwValue));
}

void CButtonCheck::OnSetCursor() {
    if (m_bHoverNotify != 0 && m_bHover == 0) {
        TrackMouseEvent(TME_LEAVE, HOVER_DEFAULT);
        m_bHover = 1;
        NotifyHover();
    }
}

void CButtonCheck::OnMouseLeave() {
    if (m_bHoverNotify != 0 || m_bPressed != 0) {
        m_bHover = 0;
        m_bRedraw = 1;
        NotifyHover();
    }
}

void CButtonCheck::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && m_bReleaseNotify != 0) {
        if (isEnabled()) {
            m_bPressed = 1;
            m_bRedraw = 1;
            TrackMouseEvent(TME_LEAVE, HOVER_DEFAULT);
            NotifyHover();
        }
    } else if (event->button() == Qt::LeftButton) {
        if (m_bClickNotify != 0) {
            if (!(m_bPageItem != 0 && m_bChecked != 0) && isEnabled()) {
                yav::PostMessage(parentWidget(), WM_BUTTONCHECK_CLICK,
                                 static_cast<WPARAM>(GetDlgCtrlID()),
                                 static_cast<LPARAM>(m_dwValue));
            }
        } else if (m_bStatusNotify != 0 && g_pUiMainFrame != nullptr) {
            yav::SendMessage(g_pUiMainFrame->GetStatusBar(), WM_SKINBTN_DOWN, IDC_STATUSBAR_NOTIFY,
                             0);
        }
    }
    yav::WindowT<QAbstractButton>::mousePressEvent(event);
}

void CButtonCheck::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && m_bPressed != 0) {
        m_bPressed = 0;
        m_bRedraw = 1;
        NotifyHover();
        if (m_bClickNotify != 0 && isEnabled() && rect().contains(event->position().toPoint())) {
            yav::PostMessage(parentWidget(), WM_BUTTONCHECK_CLICK,
                             static_cast<WPARAM>(GetDlgCtrlID()), static_cast<LPARAM>(m_dwValue));
        }
    }
    if (event->button() == Qt::LeftButton && m_bStatusNotify != 0 && g_pUiMainFrame != nullptr) {
        yav::SendMessage(g_pUiMainFrame->GetStatusBar(), WM_SKINBTN_UP, IDC_STATUSBAR_NOTIFY, 0);
    }
    yav::WindowT<QAbstractButton>::mouseReleaseEvent(event);
}

void CButtonCheck::mouseDoubleClickEvent(QMouseEvent* event) {
    if (m_bPageItem == 0 || m_bChecked == 0) {
        // Only a checked page item reacts to a double-click.
        event->accept();
        return;
    }
    if (m_bClickNotify != 0 && g_pUiMainFrame != nullptr) {
        yav::PostMessage(g_pUiMainFrame->GetDocPageTab(), WM_PAGEBTN_INFO, 2,
                         static_cast<LPARAM>(m_dwValue));
    }
    yav::WindowT<QAbstractButton>::mouseDoubleClickEvent(event);
}
