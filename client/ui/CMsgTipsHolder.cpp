#include "CMsgTipsHolder.h"

#include "CMsgTipsDlg.h"
#include "UiMainFrame.h"
#include "platform/window/Scaled.h"

namespace {

constexpr int kMargin = 16;
constexpr int kBottomBand = 44;
constexpr int kTipWidth = 200;
constexpr int kTipHeight = 52;

QRect ScreenRectOf(QWidget* window) {
    if (yav::WindowCore* core = yav::WindowFrom(window)) {
        return core->GetWindowRect();
    }
    return window->frameGeometry();
}

}  // namespace

CMsgTipsHolder::~CMsgTipsHolder() {
    CloseTip();
}

void CMsgTipsHolder::ShowTip(const QString& text) {
    if (g_pUiMainFrame == nullptr || g_pUiMainFrame->IsConnectionLost() || text.isEmpty()) {
        return;
    }
    if (m_pTip != nullptr) {
        m_pTip->SetText(text);
        return;
    }
    QWidget* mainWindow = g_pUiMainFrame->GetMainWindow();
    if (mainWindow == nullptr) {
        return;
    }
    auto* tip = new CMsgTipsDlg(text, this, mainWindow);
    tip->SetBkImage(m_pBkImage);
    tip->Create(CMsgTipsDlg::IDD, mainWindow);
    tip->UpdateData(0);
    m_pTip = tip;

    const QRect room = ScreenRectOf(mainWindow);
    tip->MoveWindow(room.left() + yav::Scaled(kMargin),
                    room.top() + room.height() - yav::Scaled(kBottomBand) - yav::Scaled(kMargin) -
                        yav::Scaled(kTipHeight),
                    yav::Scaled(kTipWidth), yav::Scaled(kTipHeight));
    tip->SetTimer(CMsgTipsDlg::kGrowTimer, CMsgTipsDlg::kStepMs);
    tip->ShowWindow(SW_SHOWNA);
}

void CMsgTipsHolder::EndTip(CMsgTipsDlg* tip) {
    // The tip may be inside its own timer handler: the object goes once that has returned.
    tip->DestroyWindow();
    tip->deleteLater();
}

void CMsgTipsHolder::DestroyTip(CMsgTipsDlg* tip) {
    if (tip != nullptr) {
        if (tip == m_pTip) {
            m_pTip = nullptr;
        }
        EndTip(tip);
        return;
    }
    CloseTip();
}

void CMsgTipsHolder::CloseTip() {
    if (m_pTip != nullptr) {
        CMsgTipsDlg* tip = m_pTip;
        m_pTip = nullptr;
        EndTip(tip);
    }
}
