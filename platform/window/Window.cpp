#include "platform/window/Window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <atomic>
#include <mutex>

#include "platform/core/Log.h"
#include "platform/window/Compositing.h"
#include "platform/window/WindowStyles.h"

#if defined(__SANITIZE_THREAD__)
#define YAV_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define YAV_TSAN 1
#endif
#endif
#ifdef YAV_TSAN
#include <sanitizer/tsan_interface.h>
#endif

namespace yav {

namespace detail {

// Shared between a window and every handle given out for one lifetime of it. Posting takes
// the mutex, so a window that clears `target` under it never receives a post after that.
struct HandleState {
    std::mutex mutex;
    QObject* target = nullptr;
};

}  // namespace detail

namespace {

constexpr const char* kControlIdProperty = "yavControlId";
constexpr int kShortestTimerMs = 10;
constexpr int kPreciseTimerBelowMs = 20;

// Qt hands a posted event to the GUI thread under its own lock, which ThreadSanitizer cannot
// see (Qt is not instrumented); these tell it what that lock guarantees: everything the
// posting thread wrote into the event happens before the GUI thread reads it.
#ifdef YAV_TSAN
void HandOver(QEvent* event) {
    __tsan_release(event);
}
void TakeOver(QEvent* event) {
    __tsan_acquire(event);
}
#else
void HandOver(QEvent* /*event*/) {}
void TakeOver(QEvent* /*event*/) {}
#endif

QEvent::Type PostedMessageType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

// A posted message; an owned payload goes with the event, so whoever deletes the event (Qt
// after delivery, or removePostedEvents when the window is destroyed) destroys it once.
class PostedMessageEvent : public QEvent {
public:
    PostedMessageEvent(std::shared_ptr<detail::HandleState> state, UINT message, WPARAM wParam,
                       LPARAM lParam, std::unique_ptr<detail::PayloadBase> payload)
        : QEvent(PostedMessageType()),
          state_(std::move(state)),
          message_(message),
          wParam_(wParam),
          lParam_(payload ? payload->Token() : lParam),
          payload_(std::move(payload)) {}

    const std::shared_ptr<detail::HandleState>& State() const { return state_; }
    UINT Message() const { return message_; }
    WPARAM WParam() const { return wParam_; }
    LPARAM LParam() const { return lParam_; }
    detail::PayloadBase* Payload() const { return payload_.get(); }

private:
    std::shared_ptr<detail::HandleState> state_;
    UINT message_;
    WPARAM wParam_;
    LPARAM lParam_;
    std::unique_ptr<detail::PayloadBase> payload_;
};

// Queues a message for the window of state; false (nothing queued, the payload destroyed by
// the caller) when that window is gone. The lock orders the post before a destruction that
// clears the target, so the destruction's removal of pending posts sees it.
bool PostTo(const std::shared_ptr<detail::HandleState>& state, UINT message, WPARAM wParam,
            LPARAM lParam, std::unique_ptr<detail::PayloadBase> payload) {
    if (!state) {
        return false;
    }
    std::lock_guard<std::mutex> lock(state->mutex);
    if (state->target == nullptr) {
        return false;
    }
    auto* event = new PostedMessageEvent(state, message, wParam, lParam, std::move(payload));
    HandOver(event);
    QCoreApplication::postEvent(state->target, event);
    return true;
}

std::atomic<OffGuiThreadHandler> g_offGuiThreadHandler{nullptr};

[[noreturn]] void AbortOffGuiThread(const char* call) {
    YLOG_FATAL("%s called off the GUI thread", call);
    qFatal("%s called off the GUI thread", call);
}

// True on the widget's (the GUI) thread. Otherwise the call is reported and the caller
// returns without touching the widget.
bool OnGuiThread(const QWidget* widget, const char* call) {
#ifdef YAV_CHECK_GUI_THREAD
    if (QThread::currentThread() == widget->thread()) {
        return true;
    }
    const OffGuiThreadHandler handler = g_offGuiThreadHandler.load();
    if (handler == nullptr) {
        AbortOffGuiThread(call);
    }
    handler(call);
    return false;
#else
    static_cast<void>(widget);
    static_cast<void>(call);
    return true;
#endif
}

// The active window and the one active before it, as the application's event filter saw
// the activations (Qt activates the new window before it deactivates the old one).
struct ActivationHistory {
    QPointer<QWidget> current;
    QPointer<QWidget> previous;
};

ActivationHistory& Activations() {
    static ActivationHistory history;
    return history;
}

// Runs fn on every framework window directly below widget (looking through plain Qt
// containers); owned top-level windows are included only when withOwned is set.
template <class Fn>
void ForEachChildWindow(QWidget* widget, bool withOwned, Fn fn) {
    const auto children = widget->children();
    for (QObject* object : children) {
        auto* child = qobject_cast<QWidget*>(object);
        if (child == nullptr) {
            continue;
        }
        if (child->isWindow() && !withOwned) {
            continue;
        }
        if (WindowCore* core = WindowFrom(child)) {
            fn(core);
        } else if (!child->isWindow()) {
            ForEachChildWindow(child, withOwned, fn);
        }
    }
}

WindowCore* NearestWindowAbove(QWidget* widget) {
    for (QWidget* parent = widget->parentWidget(); parent != nullptr;
         parent = parent->parentWidget()) {
        if (WindowCore* core = WindowFrom(parent)) {
            return core;
        }
        if (parent->isWindow()) {
            break;
        }
    }
    return nullptr;
}

}  // namespace

// Gives every key to the pre-translation chain (focused control up to its top-level window)
// before the control sees it, as the program's dialogs expect; notes the activation order.
class KeyRouter : public QObject {
public:
    static void EnsureInstalled() {
        static QPointer<KeyRouter> router;
        QCoreApplication* app = QCoreApplication::instance();
        if (app == nullptr || router != nullptr) {
            return;
        }
        router = new KeyRouter(app);
        app->installEventFilter(router);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // The first of this program's code to see every event of the GUI thread.
        TakeOver(event);
        const QEvent::Type type = event->type();
        if (type == QEvent::WindowActivate) {
            auto* window = qobject_cast<QWidget*>(watched);
            ActivationHistory& history = Activations();
            if (window != nullptr && window->isWindow() && history.current != window) {
                history.previous = history.current;
                history.current = window;
            }
            return false;
        }
        if (type != QEvent::KeyPress && type != QEvent::KeyRelease) {
            return false;
        }
        auto* receiver = qobject_cast<QWidget*>(watched);
        if (receiver == nullptr) {
            return false;
        }
        // Qt hands an unaccepted key on to the parents with the same event object; only
        // the first delivery is pre-translated. Key events are often built at the same
        // address one after another, so the key itself must match too.
        const auto* key = static_cast<QKeyEvent*>(event);
        const KeySeen seen{event,
                           type,
                           key->key(),
                           key->modifiers(),
                           key->timestamp(),
                           key->nativeScanCode(),
                           key->isAutoRepeat()};
        if (seen == last_ && lastReceiver_ != nullptr &&
            receiver == lastReceiver_->parentWidget()) {
            lastReceiver_ = receiver;
            return false;
        }
        last_ = seen;
        lastReceiver_ = receiver;

        const WPARAM vk = VirtualKeyFromQt(key->key());
        if (vk == 0) {
            return false;
        }
        const bool alt = key->modifiers().testFlag(Qt::AltModifier);
        Msg msg;
        msg.hwnd = receiver;
        msg.message = type == QEvent::KeyPress ? (alt ? WM_SYSKEYDOWN : WM_KEYDOWN)
                                               : (alt ? WM_SYSKEYUP : WM_KEYUP);
        msg.wParam = vk;
        msg.modifiers = key->modifiers();
        for (QWidget* widget = receiver; widget != nullptr;
             widget = widget->isWindow() ? nullptr : widget->parentWidget()) {
            WindowCore* core = WindowFrom(widget);
            if (core != nullptr && core->PreTranslateMessage(&msg) != 0) {
                // Taken here: nothing is passed on, so the next key is a new one.
                last_ = KeySeen{};
                return true;
            }
        }
        return false;
    }

private:
    using QObject::QObject;

    // What tells one delivery of a key from the next key.
    struct KeySeen {
        const QEvent* event = nullptr;
        QEvent::Type type = QEvent::None;
        int key = 0;
        Qt::KeyboardModifiers modifiers;
        quint64 timestamp = 0;
        quint32 scanCode = 0;
        bool autoRepeat = false;
        bool operator==(const KeySeen&) const = default;
    };

    KeySeen last_;
    QPointer<QWidget> lastReceiver_;
};

// --- WindowHandle ---

bool WindowHandle::IsWindow() const {
    if (!state_) {
        return false;
    }
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->target != nullptr;
}

bool WindowHandle::Post(UINT message, WPARAM wParam, LPARAM lParam) const {
    return PostTo(state_, message, wParam, lParam, nullptr);
}

bool WindowHandle::PostOwned(UINT message, WPARAM wParam,
                             std::unique_ptr<detail::PayloadBase> payload) const {
    return PostTo(state_, message, wParam, 0, std::move(payload));
}

// --- free functions ---

OffGuiThreadHandler SetOffGuiThreadHandler(OffGuiThreadHandler handler) {
    return g_offGuiThreadHandler.exchange(handler);
}

bool GuiThreadChecked() {
#ifdef YAV_CHECK_GUI_THREAD
    return true;
#else
    return false;
#endif
}

void SetControlId(QWidget* widget, int id) {
    if (widget != nullptr) {
        widget->setProperty(kControlIdProperty, id);
    }
}

int ControlId(const QWidget* widget) {
    if (widget == nullptr) {
        return 0;
    }
    const QVariant value = widget->property(kControlIdProperty);
    return value.isValid() ? value.toInt() : 0;
}

QWidget* FindControl(const QWidget* parent, int id) {
    if (parent == nullptr) {
        return nullptr;
    }
    for (QObject* object : parent->children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (child != nullptr && !child->isWindow() && ControlId(child) == id) {
            return child;
        }
    }
    return nullptr;
}

WindowCore* WindowFrom(QWidget* widget) {
    return dynamic_cast<WindowCore*>(widget);
}

LRESULT SendMessage(QWidget* target, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowCore* core = WindowFrom(target);
    return core != nullptr ? core->SendMessage(message, wParam, lParam) : 0;
}

bool PostMessage(QWidget* target, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowCore* core = WindowFrom(target);
    return core != nullptr && core->PostMessage(message, wParam, lParam);
}

LRESULT NotifyParent(QWidget* control, UINT code) {
    if (control == nullptr) {
        return 0;
    }
    const auto id = static_cast<unsigned>(ControlId(control));
    return SendMessage(control->parentWidget(), WM_COMMAND, MAKEWPARAM(id, code),
                       reinterpret_cast<LPARAM>(control));
}

void ConnectClickCommand(QAbstractButton* button) {
    QObject::connect(button, &QAbstractButton::clicked, button,
                     [button] { NotifyParent(button, BN_CLICKED); });
}

WPARAM VirtualKeyFromQt(int qtKey) {
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
        return static_cast<WPARAM>('0' + (qtKey - Qt::Key_0));
    }
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) {
        return static_cast<WPARAM>('A' + (qtKey - Qt::Key_A));
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) {
        return VK_F1 + static_cast<WPARAM>(qtKey - Qt::Key_F1);
    }
    switch (qtKey) {
        case Qt::Key_Backspace:
            return VK_BACK;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return VK_TAB;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return VK_RETURN;
        case Qt::Key_Shift:
            return VK_SHIFT;
        case Qt::Key_Control:
            return VK_CONTROL;
        case Qt::Key_Alt:
            return VK_MENU;
        case Qt::Key_Escape:
            return VK_ESCAPE;
        case Qt::Key_Space:
            return VK_SPACE;
        case Qt::Key_PageUp:
            return VK_PRIOR;
        case Qt::Key_PageDown:
            return VK_NEXT;
        case Qt::Key_End:
            return VK_END;
        case Qt::Key_Home:
            return VK_HOME;
        case Qt::Key_Left:
            return VK_LEFT;
        case Qt::Key_Up:
            return VK_UP;
        case Qt::Key_Right:
            return VK_RIGHT;
        case Qt::Key_Down:
            return VK_DOWN;
        case Qt::Key_Insert:
            return VK_INSERT;
        case Qt::Key_Delete:
            return VK_DELETE;
        default:
            return 0;
    }
}

// --- WindowCore ---

WindowCore::WindowCore(QWidget* self) : self_(self) {
    KeyRouter::EnsureInstalled();
    self_->setMouseTracking(true);
    if (!self_->isWindow()) {
        if (WindowCore* above = NearestWindowAbove(self_)) {
            created_ = above->created_.load();
        }
    }
    if (created_) {
        NewHandle();
    }
}

WindowCore::~WindowCore() {
    DropHandle();
    KillAllTimers();
    delete hoverTimer_;
    hoverTimer_ = nullptr;
}

WindowHandle WindowCore::GetSafeHwnd() const {
    std::lock_guard<std::mutex> lock(handleMutex_);
    return WindowHandle(handle_);
}

void WindowCore::NewHandle() {
    DropHandle();
    auto state = std::make_shared<detail::HandleState>();
    state->target = self_;
    std::lock_guard<std::mutex> lock(handleMutex_);
    handle_ = std::move(state);
}

void WindowCore::DropHandle() {
    std::shared_ptr<detail::HandleState> old;
    {
        std::lock_guard<std::mutex> lock(handleMutex_);
        old = std::move(handle_);
    }
    if (old) {
        std::lock_guard<std::mutex> lock(old->mutex);
        old->target = nullptr;
    }
    // Posts made before the target was cleared are still queued: drop them (and their
    // payloads) too.
    QCoreApplication::removePostedEvents(self_, PostedMessageType());
}

void WindowCore::DestroyWindow() {
    if (!OnGuiThread(self_, "WindowCore::DestroyWindow")) {
        return;
    }
    if (!created_) {
        return;
    }
    WindowProc(WM_DESTROY, 0, 0);
    // Owned windows end with their owner; controls end too but keep their visibility for
    // the next creation of their parent.
    ForEachChildWindow(self_, true, [](WindowCore* child) { child->DestroyWindow(); });
    KillAllTimers();
    trackLeave_ = false;
    trackHover_ = false;
    if (hoverTimer_ != nullptr) {
        hoverTimer_->stop();
    }
    dragging_ = false;
    DropHandle();
    created_ = false;
    if (self_->isWindow()) {
        self_->hide();
    }
}

void WindowCore::MarkCreated(bool created) {
    if (!created) {
        DestroyWindow();
        return;
    }
    if (!created_) {
        created_ = true;
        NewHandle();
    }
    ForEachChildWindow(self_, false, [](WindowCore* child) { child->MarkCreated(true); });
}

void WindowCore::StartNotCreated() {
    DropHandle();
    created_ = false;
}

void WindowCore::CreateWindowEx(QWidget* owner, Qt::WindowFlags flags, const QRect& rect) {
    if (!OnGuiThread(self_, "WindowCore::CreateWindowEx")) {
        return;
    }
    self_->setParent(owner, flags);
    self_->setGeometry(rect);
    MarkCreated(true);
}

QWidget* WindowCore::GetParent() const {
    return self_->parentWidget();
}

// --- messages ---

LRESULT WindowCore::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!OnGuiThread(self_, "WindowCore::SendMessage")) {
        return 0;
    }
    return WindowProc(message, wParam, lParam);
}

bool WindowCore::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return GetSafeHwnd().Post(message, wParam, lParam);
}

void WindowCore::MapMessage(UINT message, MessageHandler handler) {
    messageMap_[message] = std::move(handler);
}

void WindowCore::MapCommand(int id, std::function<void()> handler) {
    commandMap_[id] = std::move(handler);
}

LRESULT WindowCore::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const auto it = messageMap_.find(message);
    if (it != messageMap_.end()) {
        return it->second(wParam, lParam);
    }
    return DefWindowProc(message, wParam, lParam);
}

LRESULT WindowCore::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            return OnCommand(wParam, lParam);
        case WM_TIMER:
            OnTimer(static_cast<UINT>(wParam));
            return 0;
        case WM_SETTEXT:
            windowText_ = lParam != 0 ? *reinterpret_cast<const QString*>(lParam) : QString();
            ApplyText();
            return 1;
        case WM_DESTROY:
            OnDestroy();
            return 0;
        default:
            return 0;
    }
}

BOOL WindowCore::OnCommand(WPARAM wParam, LPARAM /*lParam*/) {
    const auto it = commandMap_.find(LOWORD(wParam));
    if (it == commandMap_.end()) {
        return 0;
    }
    // The handler may replace the map entry; keep it alive while it runs.
    const std::function<void()> handler = it->second;
    handler();
    return 1;
}

BOOL WindowCore::PreTranslateMessage(Msg* /*msg*/) {
    return 0;
}

void WindowCore::DispatchPosted(QEvent* event) {
    auto* posted = static_cast<PostedMessageEvent*>(event);
    // A message for an earlier lifetime of this window is not delivered. handle_ changes
    // only on this thread, so reading it here needs no lock.
    if (!created_ || posted->State() != handle_) {
        return;
    }
    const detail::PayloadDelivery delivery(posted->Payload());
    WindowProc(posted->Message(), posted->WParam(), posted->LParam());
}

// --- timers ---

bool WindowCore::SetTimer(UINT id, UINT elapseMs) {
    if (!OnGuiThread(self_, "WindowCore::SetTimer")) {
        return false;
    }
    if (!created_) {
        return false;
    }
    KillTimer(id);
    const int elapse =
        std::max(static_cast<int>(std::min<UINT>(elapseMs, 0x7FFFFFFF)), kShortestTimerMs);
    const Qt::TimerType type = elapse < kPreciseTimerBelowMs ? Qt::PreciseTimer : Qt::CoarseTimer;
    const int qtId = self_->startTimer(elapse, type);
    if (qtId == 0) {
        return false;
    }
    timers_[id] = TimerSlot{qtId, elapse};
    return true;
}

bool WindowCore::KillTimer(UINT id) {
    if (!OnGuiThread(self_, "WindowCore::KillTimer")) {
        return false;
    }
    const auto it = timers_.find(id);
    if (it == timers_.end()) {
        return false;
    }
    self_->killTimer(it->second.qtTimerId);
    timers_.erase(it);
    return true;
}

int WindowCore::GetTimerElapse(UINT id) const {
    const auto it = timers_.find(id);
    return it == timers_.end() ? -1 : it->second.elapseMs;
}

void WindowCore::KillAllTimers() {
    for (const auto& [id, slot] : timers_) {
        self_->killTimer(slot.qtTimerId);
    }
    timers_.clear();
}

bool WindowCore::DispatchTimer(int qtTimerId) {
    for (const auto& [id, slot] : timers_) {
        if (slot.qtTimerId == qtTimerId) {
            const UINT timerId = id;
            WindowProc(WM_TIMER, timerId, 0);
            return true;
        }
    }
    return false;
}

// --- show, move, size ---

BOOL WindowCore::ShowWindow(int nCmdShow) {
    if (!OnGuiThread(self_, "WindowCore::ShowWindow")) {
        return 0;
    }
    const BOOL wasVisible = self_->isHidden() ? 0 : 1;
    switch (nCmdShow) {
        case SW_HIDE:
            self_->hide();
            break;
        case SW_SHOWNOACTIVATE:
        case SW_SHOWNA:
        case SW_SHOWMINNOACTIVE:
            ShowWithoutActivating(self_, nCmdShow == SW_SHOWMINNOACTIVE);
            break;
        case SW_SHOWMINIMIZED:
        case SW_MINIMIZE:
            self_->showMinimized();
            break;
        case SW_SHOWMAXIMIZED:
            self_->showMaximized();
            break;
        case SW_SHOWNORMAL:
        case SW_RESTORE:
            if (self_->isWindow()) {
                self_->showNormal();
            } else {
                self_->show();
            }
            break;
        default:
            self_->show();
            break;
    }
    return wasVisible;
}

void WindowCore::MoveWindow(int x, int y, int cx, int cy, BOOL repaint) {
    if (!OnGuiThread(self_, "WindowCore::MoveWindow")) {
        return;
    }
    cx = std::max(cx, 0);
    cy = std::max(cy, 0);
    if (self_->isWindow()) {
        self_->move(x, y);
        self_->resize(cx, cy);
    } else {
        self_->setGeometry(x, y, cx, cy);
    }
    ReportSize();
    if (repaint != 0) {
        self_->update();
    }
}

void WindowCore::MoveWindow(const QRect& rect, BOOL repaint) {
    WindowCore::MoveWindow(rect.x(), rect.y(), rect.width(), rect.height(), repaint);
}

BOOL WindowCore::SetWindowPos(ZOrder order, int x, int y, int cx, int cy, UINT flags) {
    if (!OnGuiThread(self_, "WindowCore::SetWindowPos")) {
        return 0;
    }
    if ((flags & SWP_HIDEWINDOW) != 0) {
        self_->hide();
    }
    if ((flags & SWP_NOZORDER) == 0) {
        switch (order) {
            case ZOrder::TopMost:
                SetTopMost(self_, true);
                break;
            case ZOrder::NoTopMost:
                SetTopMost(self_, false);
                break;
            case ZOrder::Top:
                self_->raise();
                break;
            case ZOrder::Bottom:
                self_->lower();
                break;
            case ZOrder::Keep:
                break;
        }
    }
    if ((flags & SWP_NOMOVE) == 0) {
        self_->move(x, y);
    }
    if ((flags & SWP_NOSIZE) == 0) {
        self_->resize(std::max(cx, 0), std::max(cy, 0));
        ReportSize();
    }
    if ((flags & SWP_SHOWWINDOW) != 0) {
        ShowWindow((flags & SWP_NOACTIVATE) != 0 ? SW_SHOWNA : SW_SHOW);
    }
    return 1;
}

QRect WindowCore::GetWindowRect() const {
    if (self_->isWindow()) {
        return self_->frameGeometry();
    }
    return QRect(self_->mapToGlobal(QPoint(0, 0)), self_->size());
}

QPoint WindowCore::ClientToScreen(const QPoint& point) const {
    return self_->mapToGlobal(point);
}

QRect WindowCore::ClientToScreen(const QRect& rect) const {
    return QRect(self_->mapToGlobal(rect.topLeft()), rect.size());
}

QPoint WindowCore::ScreenToClient(const QPoint& point) const {
    return self_->mapFromGlobal(point);
}

QRect WindowCore::ScreenToClient(const QRect& rect) const {
    return QRect(self_->mapFromGlobal(rect.topLeft()), rect.size());
}

BOOL WindowCore::EnableWindow(BOOL enable) {
    if (!OnGuiThread(self_, "WindowCore::EnableWindow")) {
        return 0;
    }
    const BOOL wasDisabled = self_->isEnabled() ? 0 : 1;
    self_->setEnabled(enable != 0);
    return wasDisabled;
}

// --- text ---

void WindowCore::SetWindowText(const QString& text) {
    if (!OnGuiThread(self_, "WindowCore::SetWindowText")) {
        return;
    }
    WindowProc(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(&text));
}

void WindowCore::ApplyText() {
    if (auto* line = qobject_cast<QLineEdit*>(self_)) {
        line->setText(windowText_);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(self_)) {
        plain->setPlainText(windowText_);
    } else if (auto* rich = qobject_cast<QTextEdit*>(self_)) {
        rich->setPlainText(windowText_);
    } else if (auto* label = qobject_cast<QLabel*>(self_)) {
        label->setText(windowText_);
    } else if (auto* button = qobject_cast<QAbstractButton*>(self_)) {
        button->setText(windowText_);
    }
    if (self_->isWindow()) {
        self_->setWindowTitle(windowText_);
    }
    self_->update();
}

// --- painting ---

void WindowCore::Invalidate(BOOL /*erase*/) {
    if (!OnGuiThread(self_, "WindowCore::Invalidate")) {
        return;
    }
    self_->update();
}

void WindowCore::InvalidateRect(const QRect& rect, BOOL /*erase*/) {
    if (!OnGuiThread(self_, "WindowCore::InvalidateRect")) {
        return;
    }
    self_->update(rect);
}

void WindowCore::UpdateWindow() {
    if (!OnGuiThread(self_, "WindowCore::UpdateWindow")) {
        return;
    }
    if (self_->isVisible()) {
        self_->repaint();
    }
}

BOOL WindowCore::OnEraseBkgnd(QPainter& /*painter*/) {
    return 0;
}
void WindowCore::OnPaint(QPainter& /*painter*/) {}

void WindowCore::SetOpaqueBackdrop(const QColor& colour) {
    backdrop_ = colour;
    self_->update();
}

QColor WindowCore::GetOpaqueBackdrop() const {
    QColor colour = backdrop_.isValid() ? backdrop_ : self_->palette().color(QPalette::Window);
    colour.setAlpha(255);
    return colour;
}

bool WindowCore::MustPaintOpaque() const {
    // Child windows are composed by Qt itself; a top-level one needs the screen to do it.
    return self_->isWindow() && !ScreenComposesTranslucency();
}

void WindowCore::PaintWindow(QPaintEvent* /*event*/) {
    QPainter painter(self_);
    if (layered_) {
        if (MustPaintOpaque()) {
            painter.fillRect(GetClientRect(), GetOpaqueBackdrop());
        } else if (self_->isWindow()) {
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            painter.fillRect(GetClientRect(), Qt::transparent);
        }
        // A child window is drawn over what its parents painted there (Qt painted them first).
        painter.setCompositionMode(self_->isWindow() && !MustPaintOpaque()
                                       ? QPainter::CompositionMode_Source
                                       : QPainter::CompositionMode_SourceOver);
        painter.setOpacity(layerAlpha_ / 255.0);
        painter.drawImage(0, 0, layerPicture_);
        return;
    }
    if (!colorKeyed_ && !constantAlpha_) {
        OnEraseBkgnd(painter);
        OnPaint(painter);
        return;
    }
    PaintLayers(painter);
}

void WindowCore::PaintLayers(QPainter& painter) {
    QImage picture(self_->size(), QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    {
        QPainter own(&picture);
        OnEraseBkgnd(own);
        OnPaint(own);
    }
    const int alpha = constantAlpha_ ? ownAlpha_ : 255;
    for (int y = 0; y < picture.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb pixel = line[x];
            if (colorKeyed_ && qAlpha(pixel) == 255 && (pixel & 0xFFFFFF) == colorKey_) {
                line[x] = 0;
            } else if (alpha != 255) {
                line[x] =
                    qRgba(qRed(pixel), qGreen(pixel), qBlue(pixel), qAlpha(pixel) * alpha / 255);
            }
        }
    }
    if (MustPaintOpaque()) {
        painter.fillRect(GetClientRect(), GetOpaqueBackdrop());
    }
    painter.setCompositionMode(self_->isWindow() && !MustPaintOpaque()
                                   ? QPainter::CompositionMode_Source
                                   : QPainter::CompositionMode_SourceOver);
    painter.drawImage(0, 0, picture);
}

void WindowCore::SetLayeredWindowAttributes(COLORREF key, BYTE alpha, DWORD flags) {
    if (!OnGuiThread(self_, "WindowCore::SetLayeredWindowAttributes")) {
        return;
    }
    colorKeyed_ = (flags & LWA_COLORKEY) != 0;
    constantAlpha_ = (flags & LWA_ALPHA) != 0;
    colorKey_ = qRgb(GetRValue(key), GetGValue(key), GetBValue(key)) & 0xFFFFFF;
    ownAlpha_ = alpha;
    SetPerPixelAlpha(self_, true);
    self_->update();
}

BOOL WindowCore::UpdateLayeredWindow(const QImage& picture, BYTE constantAlpha) {
    if (!OnGuiThread(self_, "WindowCore::UpdateLayeredWindow")) {
        return 0;
    }
    layered_ = true;
    layerPicture_ = picture;
    layerAlpha_ = constantAlpha;
    SetPerPixelAlpha(self_, true);
    self_->update();
    return 1;
}

// --- mouse ---

void WindowCore::TrackMouseEvent(DWORD flags, DWORD hoverMs) {
    if (!OnGuiThread(self_, "WindowCore::TrackMouseEvent")) {
        return;
    }
    if ((flags & TME_LEAVE) != 0) {
        trackLeave_ = true;
    }
    if ((flags & TME_HOVER) != 0) {
        trackHover_ = true;
        if (hoverTimer_ == nullptr) {
            hoverTimer_ = new QTimer(self_);
            hoverTimer_->setSingleShot(true);
            QObject::connect(hoverTimer_, &QTimer::timeout, self_, [this] {
                if (trackHover_ && created_) {
                    trackHover_ = false;
                    OnMouseHover();
                }
            });
        }
        hoverTimer_->start(hoverMs == HOVER_DEFAULT ? kDefaultHoverMs : static_cast<int>(hoverMs));
    }
}

void WindowCore::NoteMouseOver() {
    if (trackHover_ && hoverTimer_ != nullptr) {
        hoverTimer_->start();  // the mouse moved: the rest starts again
    }
    OnSetCursor();
}

void WindowCore::NoteMouseLeft() {
    trackHover_ = false;
    if (hoverTimer_ != nullptr) {
        hoverTimer_->stop();
    }
    if (trackLeave_) {
        trackLeave_ = false;
        OnMouseLeave();
    }
}

bool WindowCore::HandleMouse(QEvent* event) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            if (mouse->button() != Qt::LeftButton || !self_->isWindow() ||
                OnNcHitTest(mouse->globalPosition().toPoint()) != HTCAPTION) {
                return false;
            }
            QWindow* window = self_->windowHandle();
            if (window != nullptr && window->startSystemMove()) {
                return true;
            }
            dragging_ = true;
            dragStartGlobal_ = mouse->globalPosition().toPoint();
            dragStartWindowPos_ = self_->pos();
            return true;
        }
        case QEvent::MouseMove:
            if (dragging_) {
                if ((mouse->buttons() & Qt::LeftButton) != 0) {
                    self_->move(dragStartWindowPos_ + mouse->globalPosition().toPoint() -
                                dragStartGlobal_);
                    return true;
                }
                dragging_ = false;
            }
            NoteMouseOver();
            return false;
        case QEvent::MouseButtonRelease:
            if (dragging_ && mouse->button() == Qt::LeftButton) {
                dragging_ = false;
                return true;
            }
            return false;
        default:
            return false;
    }
}

int WindowCore::OnNcHitTest(const QPoint& /*screenPoint*/) {
    return HTCLIENT;
}
void WindowCore::OnSetCursor() {}
void WindowCore::OnMouseHover() {}
void WindowCore::OnMouseLeave() {}

// --- notifications ---

void WindowCore::OnTimer(UINT /*id*/) {}
void WindowCore::OnShowWindow(BOOL /*show*/) {}
void WindowCore::OnSize(int /*cx*/, int /*cy*/) {}

void WindowCore::ReportSize() {
    if (self_->size() != reportedSize_) {
        reportedSize_ = self_->size();
        OnSize(reportedSize_.width(), reportedSize_.height());
    }
}
void WindowCore::OnMove(int /*x*/, int /*y*/) {}
void WindowCore::OnActivate(UINT /*state*/, QWidget* /*other*/) {}
void WindowCore::OnDestroy() {}

bool WindowCore::HandleEvent(QEvent* event) {
    TakeOver(event);
    const QEvent::Type type = event->type();
    if (type == PostedMessageType()) {
        DispatchPosted(event);
        return true;
    }
    switch (type) {
        case QEvent::Timer:
            return DispatchTimer(static_cast<QTimerEvent*>(event)->timerId());
        case QEvent::MouseButtonPress:
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease:
            return HandleMouse(event);
        case QEvent::Enter:
            NoteMouseOver();
            return false;
        case QEvent::Leave:
            NoteMouseLeft();
            return false;
        case QEvent::Show:
            OnShowWindow(1);
            return false;
        case QEvent::Hide:
            OnShowWindow(0);
            return false;
        case QEvent::Resize:
            ReportSize();
            return false;
        case QEvent::Move:
            OnMove(self_->x(), self_->y());
            return false;
        case QEvent::WindowActivate:
            if (self_->isWindow()) {
                QWidget* other = Activations().previous;
                OnActivate(
                    QGuiApplication::mouseButtons() != Qt::NoButton ? WA_CLICKACTIVE : WA_ACTIVE,
                    other == self_ ? nullptr : other);
            }
            return false;
        case QEvent::WindowDeactivate:
            if (self_->isWindow()) {
                QWidget* other = QApplication::activeWindow();
                OnActivate(WA_INACTIVE, other == self_ ? nullptr : other);
            }
            return false;
        case QEvent::ParentChange:
            if (!self_->isWindow()) {
                // A control follows its parent: it exists while the parent does.
                WindowCore* above = NearestWindowAbove(self_);
                if (above == nullptr || above->created_) {
                    MarkCreated(true);
                } else {
                    KillAllTimers();
                    StartNotCreated();
                }
            }
            return false;
        default:
            return false;
    }
}

}  // namespace yav
