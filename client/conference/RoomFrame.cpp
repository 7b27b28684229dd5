#include "RoomFrame.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "DlgStartup.h"
#include "XMainFrame.h"
#include "app/ConfigManger.h"
#include "platform/core/Log.h"
#include "platform/core/Scale.h"
#include "ui/CDlgPopMsg.h"

CRoomFrame::CRoomFrame(XMainFrame* frame, QWidget* parent)
    : yav::Dialog(IDD, parent), m_pFrame(frame) {
    m_pTitle = new QLabel(this);
    m_pTitle->setAlignment(Qt::AlignCenter);
    m_pTitle->setObjectName(QStringLiteral("roomTitle"));
    QFont titleFont = m_pTitle->font();
    titleFont.setPixelSize(yav::Scaled(24));
    m_pTitle->setFont(titleFont);
    auto* layout = new QVBoxLayout(this);
    layout->addStretch(1);
    layout->addWidget(m_pTitle);
    layout->addStretch(1);
}

CRoomFrame::~CRoomFrame() = default;

bool CRoomFrame::Open(const QString& confName, uint32_t confId) {
    m_strConfName = confName;
    m_dwConfId = confId;
    if (Create(IDD, GetParentWnd()) == 0) {
        return false;
    }
    ShowWindow(SW_SHOW);
    return true;
}

BOOL CRoomFrame::OnInitDialog() {
    yav::Dialog::OnInitDialog();
    // A frame of its own with a title bar, on the screen the road's last window used.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowMinMaxButtonsHint);
    const QString title = m_strConfName.isEmpty()
                              ? QString::number(m_dwConfId)
                              : QStringLiteral("%1 (%2)").arg(m_strConfName).arg(m_dwConfId);
    SetWindowText(title);
    setWindowTitle(title);
    m_pTitle->setText(title);
    QScreen* screen =
        g_pDlgStartup != nullptr ? g_pDlgStartup->GetJoinHandler().GetMonitor() : nullptr;
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    const QSize size(yav::Scaled(1024), yav::Scaled(600));
    if (screen != nullptr) {
        const QRect work = screen->availableGeometry();
        setGeometry(QRect(work.center() - QPoint(size.width() / 2, size.height() / 2), size));
    } else {
        resize(size);
    }
    YLOG_INFO("会议室窗口打开 %s", title.toUtf8().constData());
    SetTimer(kPumpTimer, kPumpMs);
    return 1;
}

void CRoomFrame::OnTimer(UINT id) {
    if (id != kPumpTimer) {
        yav::Dialog::OnTimer(id);
        return;
    }
    if (m_pFrame != nullptr && m_pFrame->PumpCsMessage() < 0) {
        KillTimer(kPumpTimer);
        YLOG_WARN("与会议服务器的连接已断开");
        CloseRoom();
    }
}

void CRoomFrame::ShowNotice(const QString& title, const QString& text, int countdownSeconds,
                            int type, std::function<void(int answer)> onClosed) {
    // The box runs its own loop once the pump's tick has returned, so the pump keeps going.
    QPointer<CRoomFrame> self(this);
    QTimer::singleShot(0, this, [self, title, text, countdownSeconds, type, onClosed]() {
        if (self == nullptr) {
            return;
        }
        CDlgPopMsg box(title, text, countdownSeconds, type, self.data(), 1);
        const int answer = box.DoModal();
        if (onClosed) {
            onClosed(answer);
        }
    });
}

void CRoomFrame::CloseRoom() {
    if (m_bClosing) {
        return;
    }
    m_bClosing = true;
    KillTimer(kPumpTimer);
    YLOG_INFO("离开会议室 %u", m_dwConfId);
    if (m_pFrame != nullptr) {
        m_pFrame->LogoutCs();
    }
    if (g_pDlgStartup != nullptr) {
        g_pDlgStartup->GetJoinHandler().SetMonitor(screen());
    }
    DestroyWindow();
    // The list runs its own loop: start it once this close has returned.
    QTimer::singleShot(0, []() {
        if (g_pDlgStartup != nullptr) {
            g_pDlgStartup->ShowConfListAgain();
        }
    });
}

void CRoomFrame::OnCancel() {
    CloseRoom();
}
