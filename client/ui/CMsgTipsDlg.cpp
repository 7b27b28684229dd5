#include "CMsgTipsDlg.h"

#include <QPainter>

#include <algorithm>

#include "CMsgTipsHolder.h"
#include "platform/core/Scale.h"
#include "platform/window/Scaled.h"

namespace {

constexpr int kTipWidth = 200;
constexpr int kTipHeight = 52;
constexpr int kStepWidth = 60;

}  // namespace

CMsgTipsDlg::CMsgTipsDlg(const QString& text, CMsgTipsHolder* holder, QWidget* parent)
    : yav::Dialog(IDD, parent), m_label(this), m_strText(text), m_pHolder(holder) {
    m_label.SetDlgCtrlID(IDC_TIP_TEXT);
    // A notice: it never takes the keyboard from the window the user works in.
    setWindowFlags((windowFlags() & ~Qt::WindowType_Mask) | Qt::Tool | Qt::FramelessWindowHint |
                   Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
}

CMsgTipsDlg::~CMsgTipsDlg() {
    DestroyWindow();
}

BOOL CMsgTipsDlg::OnInitDialog() {
    SetWindowPos(yav::ZOrder::TopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    yav::Dialog::OnInitDialog();
    m_label.SetAlignLeft();
    m_label.SetLineAlign(1);
    m_label.MoveWindow(yav::ScaledRect(16, 0, 168, 52));
    m_label.SetTextColor(RGB(51, 133, 237));
    return 1;
}

void CMsgTipsDlg::UpdateData(BOOL saveAndValidate) {
    if (saveAndValidate == 0) {
        m_label.SetWindowText(m_strText);
    } else {
        m_strText = m_label.GetWindowText();
    }
}

void CMsgTipsDlg::SetText(const QString& text) {
    m_strText = text;
    UpdateData(0);
    if (m_nState == kHolding) {
        m_bRestart = 1;
        KillTimer(kHoldTimer);
        SetTimer(kShrinkTimer, kStepMs);
    } else if (m_nState == kShrinking) {
        m_bRestart = 1;
    }
}

void CMsgTipsDlg::MoveWindow(int x, int y, int cx, int cy, BOOL repaint) {
    m_rcTip = QRect(x, y, std::max(cx, 0), std::max(cy, 0));
    yav::Dialog::MoveWindow(x, y, cx, cy, repaint);
}

void CMsgTipsDlg::MoveWindow(const QRect& rect, BOOL repaint) {
    MoveWindow(rect.x(), rect.y(), rect.width(), rect.height(), repaint);
}

void CMsgTipsDlg::OnTimer(UINT id) {
    const int fullWidth = yav::Scaled(kTipWidth);
    const int step = yav::Scaled(kStepWidth);
    switch (id) {
        case kGrowTimer:
            if (m_rcTip.width() >= fullWidth) {
                m_nState = kHolding;
                KillTimer(kGrowTimer);
                SetTimer(kHoldTimer, kHoldMs);
            } else {
                m_nState = kGrowing;
                MoveWindow(m_rcTip.x(), m_rcTip.y(), std::min(m_rcTip.width() + step, fullWidth),
                           m_rcTip.height());
            }
            break;
        case kHoldTimer:
            KillTimer(kHoldTimer);
            SetTimer(kShrinkTimer, kStepMs);
            break;
        case kShrinkTimer:
            if (m_rcTip.width() < 1) {
                m_nState = kIdle;
                KillTimer(kShrinkTimer);
                if (m_bRestart != 0) {
                    m_bRestart = 0;
                    SetTimer(kGrowTimer, kStepMs);
                } else if (m_pHolder != nullptr) {
                    m_pHolder->DestroyTip(this);
                    return;
                }
            } else {
                m_nState = kShrinking;
                MoveWindow(m_rcTip.x(), m_rcTip.y(), std::max(m_rcTip.width() - step, 0),
                           m_rcTip.height());
            }
            break;
        default:
            break;
    }
    yav::Dialog::OnTimer(id);
}

BOOL CMsgTipsDlg::OnEraseBkgnd(QPainter& painter) {
    const QRect area = yav::ScaledRect(0, 0, kTipWidth, kTipHeight);
    painter.fillRect(area, Qt::white);
    if (m_pBkImage != nullptr) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRectF(area), *m_pBkImage);
    }
    return 1;
}

void CMsgTipsDlg::OnDestroy() {
    KillTimer(kGrowTimer);
    KillTimer(kShrinkTimer);
    KillTimer(kHoldTimer);
    yav::Dialog::OnDestroy();
}

BOOL IsBitSet(BYTE mask, int n) {
    if (n < 0 || n >= 8) {
        return 0;
    }
    return (mask & static_cast<BYTE>(1u << n)) != 0 ? 1 : 0;
}

void SetBit(BYTE* mask, int n, BYTE on) {
    if (mask == nullptr || n < 0 || n >= 8) {
        return;
    }
    const auto bit = static_cast<BYTE>(1u << n);
    *mask = on != 0 ? static_cast<BYTE>(*mask | bit) : static_cast<BYTE>(*mask & ~bit);
}
