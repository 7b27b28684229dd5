#include "CDlgCameraCtrl.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

#include "IVideoWindowHost.h"
#include "client/config/ConfigManger.h"
#include "client/ui/CYavPngButton.h"

namespace {

constexpr COLORREF kPadColour = 0x616161;

struct ButtonInfo {
    int id;
    int code;
    UINT normal;
    UINT hover;
    UINT pressed;
};

// In the order of the layout, left to right.
constexpr ButtonInfo kButtons[] = {
    {CDlgCameraCtrl::IDC_UP, 3, 142, 968, 140},
    {CDlgCameraCtrl::IDC_DOWN, 4, 122, 970, 120},
    {CDlgCameraCtrl::IDC_LEFT, 1, 130, 964, 128},
    {CDlgCameraCtrl::IDC_RIGHT, 2, 138, 966, 136},
    {CDlgCameraCtrl::IDC_ZOOM_OUT, 5, 126, 972, 124},
    {CDlgCameraCtrl::IDC_ZOOM_IN, 6, 134, 974, 132},
    {CDlgCameraCtrl::IDC_CLOSE, 0, 118, 976, 116},
};

QColor FromColorRef(COLORREF c) {
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}

}  // namespace

CDlgCameraCtrl::CDlgCameraCtrl(QWidget* parent) : yav::Dialog(IDD, parent, Style::Child) {
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        auto* button = new CYavPngButton(this);
        button->SetDlgCtrlID(kButtons[i].id);
        yav::ConnectClickCommand(button);
        button->installEventFilter(this);
        m_buttons[i] = button;
    }
    MapCommand(IDC_CLOSE, [this] { OnClose(); });
}

CDlgCameraCtrl::~CDlgCameraCtrl() {
    StopHeld();
}

int CDlgCameraCtrl::CodeOfControl(int controlId) {
    for (const ButtonInfo& info : kButtons) {
        if (info.id == controlId) {
            return info.code;
        }
    }
    return 0;
}

CYavPngButton* CDlgCameraCtrl::GetButton(int controlId) const {
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        if (kButtons[i].id == controlId) {
            return m_buttons[i];
        }
    }
    return nullptr;
}

void CDlgCameraCtrl::SetTarget(std::uint16_t wMediaId, QWidget* owner) {
    // A held direction belongs to the camera it was pressed for.
    if (wMediaId != m_wTarget) {
        StopHeld();
    }
    m_wTarget = wMediaId;
    m_pOwner = owner;
}

BOOL CDlgCameraCtrl::OnInitDialog() {
    yav::Dialog::OnInitDialog();
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        const ButtonInfo& info = kButtons[i];
        m_buttons[i]->LoadImages(info.normal, info.pressed, info.hover, 0, 0, 0, 0);
        m_buttons[i]->SetTextColors(kPadColour, kPadColour, kPadColour, kPadColour);
    }
    LayoutButtons();
    return 1;
}

void CDlgCameraCtrl::LayoutButtons() {
    const int h = height();
    const int w = h * 12 / 9;
    int x = (width() - 7 * w) / 2;
    for (CYavPngButton* button : m_buttons) {
        button->MoveWindow(QRect(x, 0, w, h));
        x += w;
    }
}

void CDlgCameraCtrl::OnSize(int cx, int cy) {
    yav::Dialog::OnSize(cx, cy);
    LayoutButtons();
}

BOOL CDlgCameraCtrl::OnEraseBkgnd(QPainter& painter) {
    painter.fillRect(rect(), FromColorRef(kPadColour));
    return 1;
}

void CDlgCameraCtrl::Send(int code) {
    if (g_pVideoWindowHost != nullptr) {
        g_pVideoWindowHost->SendCameraControl(m_wTarget, static_cast<std::uint32_t>(code));
    }
}

void CDlgCameraCtrl::PressDirection(int controlId) {
    const int code = CodeOfControl(controlId);
    if (code == 0) {
        return;
    }
    m_nCode = code;
    SetTimer(TIMER_REPEAT, kRepeatMs);
    Send(code);
}

void CDlgCameraCtrl::Release() {
    if (m_nCode != -1) {
        KillTimer(TIMER_REPEAT);
    }
    m_nCode = -1;
    Send(0);
}

// A held direction is stopped when the pad goes away without a release reaching it.
void CDlgCameraCtrl::StopHeld() {
    if (m_nCode == -1) {
        return;
    }
    KillTimer(TIMER_REPEAT);
    m_nCode = -1;
    Send(0);
}

void CDlgCameraCtrl::OnTimer(UINT id) {
    if (id == TIMER_REPEAT && m_nCode > 0) {
        Send(m_nCode);
        return;
    }
    yav::Dialog::OnTimer(id);
}

void CDlgCameraCtrl::OnShowWindow(BOOL show) {
    yav::Dialog::OnShowWindow(show);
    if (show == 0) {
        StopHeld();
    }
}

void CDlgCameraCtrl::OnDestroy() {
    StopHeld();
    yav::Dialog::OnDestroy();
}

BOOL CDlgCameraCtrl::PreTranslateMessage(yav::Msg* msg) {
    if (msg->message == WM_KEYDOWN &&
        (msg->wParam == VK_ESCAPE || msg->wParam == VK_RETURN || msg->wParam == VK_SPACE)) {
        return 1;
    }
    return yav::Dialog::PreTranslateMessage(msg);
}

// Presses and releases are seen before the buttons handle them (the buttons still get them).
bool CDlgCameraCtrl::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        if (mouse->button() == Qt::LeftButton && widget != nullptr) {
            PressDirection(yav::ControlId(widget));
        }
    } else if (event->type() == QEvent::MouseButtonRelease) {
        auto* widget = qobject_cast<QWidget*>(watched);
        const bool closeButton = widget != nullptr && yav::ControlId(widget) == IDC_CLOSE;
        // The close button is no camera control: its click sends nothing.
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
            (!closeButton || m_nCode != -1)) {
            Release();
        }
    }
    return yav::Dialog::eventFilter(watched, event);
}

void CDlgCameraCtrl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        Release();
    }
    yav::Dialog::mouseReleaseEvent(event);
}

// Posted: the window deletes the pad, which must not happen inside the pad's own handler.
void CDlgCameraCtrl::OnClose() {
    if (parentWidget() != nullptr) {
        yav::PostMessage(parentWidget(), WM_CLOSE_PAD, 0, 0);
    }
}
