#include "platform/window/Dialog.h"

#include <QAbstractButton>
#include <QEvent>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QTimer>

#include <map>
#include <vector>

namespace yav {

namespace {

// Commands from menus and accelerators; a dialog hands the ones it does not handle on.
constexpr unsigned kFirstMenuCommand = 0x8000;
constexpr unsigned kFirstSystemCommand = 0xF000;

struct ModalObservers {
    int nextToken = 1;
    std::map<int, Dialog::ModalObserver> observers;
};

ModalObservers& Observers() {
    static ModalObservers observers;
    return observers;
}

Qt::WindowFlags FlagsFor(Dialog::Style style) {
    return style == Dialog::Style::Child ? Qt::WindowFlags(Qt::Widget)
                                         : (Qt::Dialog | Qt::FramelessWindowHint);
}

bool WantsReturnKey(const QWidget* widget) {
    return qobject_cast<const QTextEdit*>(widget) != nullptr ||
           qobject_cast<const QPlainTextEdit*>(widget) != nullptr;
}

}  // namespace

Dialog::Dialog(UINT templateId, QWidget* parent, Style style)
    : Window(nullptr, FlagsFor(style)), templateId_(templateId), parentWnd_(parent), style_(style) {
    StartNotCreated();
}

Dialog::~Dialog() {
    if (loop_ != nullptr) {
        loop_->exit(IDCANCEL);
    }
}

int Dialog::AddModalObserver(ModalObserver observer) {
    ModalObservers& all = Observers();
    const int token = all.nextToken++;
    all.observers[token] = std::move(observer);
    return token;
}

void Dialog::RemoveModalObserver(int token) {
    Observers().observers.erase(token);
}

void Dialog::NotifyModalObservers() {
    QPointer<Dialog> guard(this);
    std::vector<int> tokens;
    for (const auto& [token, observer] : Observers().observers) {
        tokens.push_back(token);
    }
    for (const int token : tokens) {
        // Once one observer has ended the dialog (or deleted it), it is nobody else's to
        // answer: the rest wait for the next dialog.
        if (guard == nullptr || !IsRunningModal()) {
            return;
        }
        const auto it = Observers().observers.find(token);
        if (it == Observers().observers.end()) {
            continue;  // removed by an earlier observer
        }
        // A copy: the observer may remove itself while it runs.
        const ModalObserver observer = it->second;
        observer(*this);
    }
}

void Dialog::EnterCreatedState(QWidget* parent) {
    if (parent != nullptr) {
        parentWnd_ = parent;
    }
    Qt::WindowFlags flags = windowFlags();
    if (style_ == Style::Child) {
        flags = (flags & ~Qt::WindowType_Mask) | Qt::Widget;
    } else if ((flags & Qt::WindowType_Mask) == Qt::Widget) {
        flags |= Qt::Dialog;
    }
    if (parentWidget() != parentWnd_ || windowFlags() != flags) {
        setParent(parentWnd_, flags);
    }
    MarkCreated(true);
}

int Dialog::DoModal() {
    if (loop_ != nullptr || modal_) {
        return -1;
    }
    QPointer<Dialog> guard(this);
    modal_ = true;
    modalResult_ = -1;
    endRequested_ = false;
    EnterCreatedState(nullptr);
    setWindowModality(Qt::ApplicationModal);
    OnInitDialog();
    if (guard == nullptr) {
        return IDCANCEL;
    }
    if (!endRequested_) {
        if (isHidden()) {
            ShowWindow(SW_SHOWNORMAL);
        }
        QEventLoop loop;
        loop_ = &loop;
        // Observers act from inside the loop, as a user would.
        QTimer::singleShot(0, this, [this] { NotifyModalObservers(); });
        if (!endRequested_) {
            loop.exec(QEventLoop::DialogExec);
        }
        if (guard == nullptr) {
            return IDCANCEL;
        }
        loop_ = nullptr;
    }
    const int result = modalResult_;
    modal_ = false;
    // Hidden while still modal, so that Qt takes the window off its list of modal windows;
    // a window left on it would be looked at after it is gone.
    DestroyWindow();
    setWindowModality(Qt::NonModal);
    return result;
}

BOOL Dialog::Create(UINT templateId, QWidget* parent) {
    if (IsWindow()) {
        return 0;
    }
    if (templateId != 0) {
        templateId_ = templateId;
    }
    EnterCreatedState(parent);
    OnInitDialog();
    return 1;
}

void Dialog::EndDialog(int result) {
    if (modal_) {
        modalResult_ = result;
        endRequested_ = true;
        if (loop_ != nullptr) {
            loop_->exit(result);
        }
    }
    // An ended dialog leaves the screen at once: its modal loop returns only after any loop
    // nested inside it (the next window the owner runs from there) has returned.
    ShowWindow(SW_HIDE);
}

BOOL Dialog::OnInitDialog() {
    return 1;
}

void Dialog::OnOK() {
    EndDialog(IDOK);
}

void Dialog::OnCancel() {
    EndDialog(IDCANCEL);
}

BOOL Dialog::PreTranslateMessage(Msg* msg) {
    if (msg->message != WM_KEYDOWN || msg->hwnd == nullptr ||
        (msg->hwnd != this && !isAncestorOf(msg->hwnd))) {
        return 0;
    }
    if (msg->wParam == VK_ESCAPE) {
        SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return 1;
    }
    if (msg->wParam == VK_RETURN) {
        if (WantsReturnKey(msg->hwnd)) {
            return 0;
        }
        auto* button = qobject_cast<QAbstractButton*>(msg->hwnd);
        if (button != nullptr && ControlId(button) != 0) {
            if (button->isEnabled()) {
                SendMessage(WM_COMMAND,
                            MAKEWPARAM(static_cast<unsigned>(ControlId(button)), BN_CLICKED),
                            reinterpret_cast<LPARAM>(button));
            }
            return 1;
        }
        SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return 1;
    }
    return 0;
}

BOOL Dialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (Window::OnCommand(wParam, lParam) != 0) {
        return 1;
    }
    const unsigned id = LOWORD(wParam);
    if (id == IDOK) {
        OnOK();
        return 1;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return 1;
    }
    if (id >= kFirstMenuCommand && id < kFirstSystemCommand) {
        if (WindowCore* parent = WindowFrom(parentWidget())) {
            return parent->SendMessage(WM_COMMAND, wParam, lParam) != 0 ? 1 : 0;
        }
    }
    return 0;
}

bool Dialog::event(QEvent* event) {
    if (event->type() == QEvent::Close) {
        // Closing from outside (window manager, Alt+F4) is the dialog's cancel command,
        // never Qt's plain hide, which would leave a modal loop running.
        event->ignore();
        SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
        return true;
    }
    return Window::event(event);
}

}  // namespace yav
