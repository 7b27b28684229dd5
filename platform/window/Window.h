#pragma once
// The window base of every window and control of the program, over Qt Widgets.
//
// WindowT<QtBase> adds to a Qt widget class what the program's window code expects of a
// window: a control id and lookup of children by id, timers by id, two-parameter messages
// (sent directly, or posted through a thread-safe handle and dropped once the window is
// destroyed), command notifications from controls to their parent, show/move/size in the
// program's terms, painting in an erase step and a paint step, mouse-tracking notifications,
// activation changes, drag-by-caption hit testing and per-pixel-alpha ("layered") pictures.
//
// Threads: everything runs on the GUI thread except posting (PostMessage, PostPayload,
// GetSafeHwnd, IsWindow), which is safe from any thread while the window object lives. A
// post to a destroyed window is dropped and returns false; messages still queued when the
// window is destroyed are never delivered. An owned payload (PostPayload) is destroyed
// exactly once, delivered or dropped. A thread that may outlive the window object keeps a
// WindowHandle instead of a pointer.

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <type_traits>
#include <utility>

#include "platform/window/WinDefs.h"
#include "platform/window/WindowHandle.h"

class QAbstractButton;
class QEvent;
class QPainter;
class QPaintEvent;
class QTimer;

namespace yav {

namespace testing {
class TimerDriver;
}

// A message as the pre-translation step sees it (keys only: WM_KEYDOWN, WM_KEYUP,
// WM_SYSKEYDOWN, WM_SYSKEYUP with the virtual-key code in wParam).
struct Msg {
    QWidget* hwnd = nullptr;  // the widget the key goes to (the focused control)
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    Qt::KeyboardModifiers modifiers;
};

// Z-order requests of SetWindowPos.
enum class ZOrder { Keep, Top, Bottom, TopMost, NoTopMost };

// Flags of SetLayeredWindowAttributes.
inline constexpr DWORD LWA_COLORKEY = 0x1;
inline constexpr DWORD LWA_ALPHA = 0x2;

// Control ids work on every widget, framework window or plain Qt control.
void SetControlId(QWidget* widget, int id);
int ControlId(const QWidget* widget);  // 0 when none was given
// The direct child with that control id, or null.
QWidget* FindControl(const QWidget* parent, int id);

class WindowCore;
// The framework window behind a widget, or null for a plain Qt widget.
WindowCore* WindowFrom(QWidget* widget);
// Sends to a framework window (direct call); 0 when the target is not one.
LRESULT SendMessage(QWidget* target, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
// Posts to a framework window; false when target is not one or it is destroyed. Safe from
// any thread while the widget object lives.
bool PostMessage(QWidget* target, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
// Sends WM_COMMAND (control id, code) with the control as lParam to the control's parent.
LRESULT NotifyParent(QWidget* control, UINT code);
// Makes every click of the button a BN_CLICKED command to its parent.
void ConnectClickCommand(QAbstractButton* button);
// The virtual-key code of a Qt key (0 when it has none).
WPARAM VirtualKeyFromQt(int qtKey);

// Widgets are touched only on the GUI thread. Debug and RelWithDebInfo builds (every test
// run) check it in the window operations that touch the widget, release builds configured
// with YAV_CHECK_GUI_THREAD=ON too; such a call from another thread is reported to the
// handler and not carried out. The default handler logs "<call> called off the GUI thread"
// and aborts.
using OffGuiThreadHandler = void (*)(const char* call);
// Replaces the handler (null restores the default); returns the previous one.
OffGuiThreadHandler SetOffGuiThreadHandler(OffGuiThreadHandler handler);
// Whether this build checks the calling thread.
bool GuiThreadChecked();

class WindowCore {
public:
    virtual ~WindowCore();
    WindowCore(const WindowCore&) = delete;
    WindowCore& operator=(const WindowCore&) = delete;

    QWidget* GetWidget() const { return self_; }

    // --- existence ---
    bool IsWindow() const { return created_; }
    // Handle for posting from any thread; empty while the window does not exist.
    WindowHandle GetSafeHwnd() const;
    // Ends the window: OnDestroy, timers stopped, pending and future posts dropped, hidden;
    // the same for every window below it. The object stays and can be created again.
    void DestroyWindow();

    // --- identity and relatives ---
    int GetDlgCtrlID() const { return ControlId(self_); }
    void SetDlgCtrlID(int id) { SetControlId(self_, id); }
    QWidget* GetDlgItem(int id) const { return FindControl(self_, id); }
    QWidget* GetParent() const;

    // --- messages ---
    // A direct call of WindowProc on the calling (GUI) thread.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Queued for the GUI thread; any thread. False (dropped) when the window does not exist.
    bool PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // The same with an owned payload: the handler gets it through PayloadOf<T>(lParam).
    template <class T>
    bool PostPayload(UINT message, WPARAM wParam, T value) {
        return GetSafeHwnd().PostPayload(message, wParam, std::move(value));
    }

    // --- timers (ids are the window's own; re-arming restarts the period) ---
    // False when the window does not exist. Periods below 10 ms run at 10 ms.
    bool SetTimer(UINT id, UINT elapseMs);
    // Harmless for an id that is not set.
    bool KillTimer(UINT id);
    bool IsTimerSet(UINT id) const { return timers_.count(id) != 0; }
    // The effective period of a set timer, -1 when it is not set.
    int GetTimerElapse(UINT id) const;

    // --- show, move, size ---
    // Returns whether the window was visible before.
    virtual BOOL ShowWindow(int nCmdShow);
    // Child windows: parent client coordinates; top-level windows: screen coordinates.
    virtual void MoveWindow(int x, int y, int cx, int cy, BOOL repaint = 1);
    virtual void MoveWindow(const QRect& rect, BOOL repaint = 1);
    BOOL SetWindowPos(ZOrder order, int x, int y, int cx, int cy, UINT flags);
    QRect GetWindowRect() const;  // screen coordinates
    QRect GetClientRect() const { return QRect(QPoint(0, 0), self_->size()); }
    QPoint ClientToScreen(const QPoint& point) const;
    QRect ClientToScreen(const QRect& rect) const;
    QPoint ScreenToClient(const QPoint& point) const;
    QRect ScreenToClient(const QRect& rect) const;
    BOOL IsWindowVisible() const { return self_->isVisible() ? 1 : 0; }
    BOOL IsWindowEnabled() const { return self_->isEnabled() ? 1 : 0; }
    // Returns whether the window was disabled before.
    virtual BOOL EnableWindow(BOOL enable);

    // --- text ---
    virtual void SetWindowText(const QString& text);
    QString GetWindowText() const { return windowText_; }

    // --- painting ---
    void Invalidate(BOOL erase = 1);
    void InvalidateRect(const QRect& rect, BOOL erase = 1);
    void UpdateWindow();

    // --- mouse tracking: OnMouseHover after the hover time without leaving, OnMouseLeave
    // once the mouse has left; each request is answered once ---
    void TrackMouseEvent(DWORD flags, DWORD hoverMs = HOVER_DEFAULT);

    // --- per-pixel alpha ---
    // Colour key (pixels of exactly that colour are see-through) and/or constant alpha for
    // what the window paints itself.
    void SetLayeredWindowAttributes(COLORREF key, BYTE alpha, DWORD flags);
    // Shows a composed picture (premultiplied or straight ARGB) with a constant alpha, in
    // place of the window's own painting.
    BOOL UpdateLayeredWindow(const QImage& picture, BYTE constantAlpha);
    const QImage& GetLayeredPicture() const { return layerPicture_; }
    // What a top-level window with alpha stands on where the screen cannot show translucency
    // (ScreenComposesTranslucency false): its picture is drawn over this colour, made opaque.
    // By default the window's palette colour.
    void SetOpaqueBackdrop(const QColor& colour);
    QColor GetOpaqueBackdrop() const;
    BYTE GetLayeredAlpha() const { return layerAlpha_; }

protected:
    explicit WindowCore(QWidget* self);

    using MessageHandler = std::function<LRESULT(WPARAM, LPARAM)>;
    // The message map: a handler for a message, or for WM_COMMAND of one control id.
    void MapMessage(UINT message, MessageHandler handler);
    void MapCommand(int id, std::function<void()> handler);

    // Every message goes through here: the mapped handler, else DefWindowProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The built-in handling: WM_COMMAND -> OnCommand, WM_TIMER -> OnTimer,
    // WM_SETTEXT -> stores and shows the text, WM_DESTROY -> OnDestroy.
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // True when the command was handled (mapped commands are).
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // Keys reach this window's focused control only when no window from that control up to
    // its top-level window answers true here.
    virtual BOOL PreTranslateMessage(Msg* msg);

    virtual void OnTimer(UINT id);
    // Paints the background; true when it did. The painter covers the client area.
    virtual BOOL OnEraseBkgnd(QPainter& painter);
    virtual void OnPaint(QPainter& painter);
    virtual void OnShowWindow(BOOL show);
    virtual void OnSize(int cx, int cy);
    virtual void OnMove(int x, int y);
    // state: WA_INACTIVE, WA_ACTIVE or WA_CLICKACTIVE; other: the window losing or gaining
    // the activation in exchange (may be null).
    virtual void OnActivate(UINT state, QWidget* other);
    virtual void OnDestroy();
    // HTCAPTION makes a left press there drag the (top-level) window.
    virtual int OnNcHitTest(const QPoint& screenPoint);
    // The mouse is over the window (on entry and on every move).
    virtual void OnSetCursor();
    virtual void OnMouseHover();
    virtual void OnMouseLeave();

    // Marks this window and the child controls below it as existing (or not).
    void MarkCreated(bool created);
    // For constructors of windows that exist only once created: not existing, no
    // notifications.
    void StartNotCreated();
    // Makes the widget a window of its own owned by owner (or a child of it when the flags
    // hold no window type), places it and marks it created.
    void CreateWindowEx(QWidget* owner, Qt::WindowFlags flags, const QRect& rect);

    // For WindowT: event dispatch and painting.
    bool HandleEvent(QEvent* event);
    void PaintWindow(QPaintEvent* event);

private:
    friend class testing::TimerDriver;
    friend class KeyRouter;
    friend class WindowHandle;

    struct TimerSlot {
        int qtTimerId = 0;
        int elapseMs = 0;
    };

    void NewHandle();
    void DropHandle();
    void KillAllTimers();
    void DispatchPosted(QEvent* event);
    bool DispatchTimer(int qtTimerId);
    bool HandleMouse(QEvent* event);
    void NoteMouseOver();
    void NoteMouseLeft();
    void ApplyText();
    void PaintLayers(QPainter& painter);
    // A top-level window with alpha on a screen that cannot show it.
    bool MustPaintOpaque() const;
    // OnSize once per new size: at once when the program resizes (as it expects), or when Qt
    // reports a size change made elsewhere.
    void ReportSize();

    QWidget* self_;
    // Read by posting threads; written on the GUI thread.
    std::atomic<bool> created_{true};
    mutable std::mutex handleMutex_;  // guards handle_ (replaced on the GUI thread)
    std::shared_ptr<detail::HandleState> handle_;
    std::map<UINT, TimerSlot> timers_;
    std::map<UINT, MessageHandler> messageMap_;
    std::map<int, std::function<void()>> commandMap_;
    QString windowText_;
    QSize reportedSize_{-1, -1};

    bool trackLeave_ = false;
    bool trackHover_ = false;
    QTimer* hoverTimer_ = nullptr;

    bool dragging_ = false;
    QPoint dragStartGlobal_;
    QPoint dragStartWindowPos_;

    bool colorKeyed_ = false;
    bool constantAlpha_ = false;
    QRgb colorKey_ = 0;
    BYTE ownAlpha_ = 255;
    bool layered_ = false;
    QColor backdrop_;
    QImage layerPicture_;
    BYTE layerAlpha_ = 255;
};

// A framework window over the Qt widget class QtBase.
template <class QtBase>
class WindowT : public QtBase, public WindowCore {
public:
    template <class... Args>
    explicit WindowT(Args&&... args) : QtBase(std::forward<Args>(args)...), WindowCore(this) {}

protected:
    // Plain widgets and abstract controls paint only through OnEraseBkgnd/OnPaint; concrete Qt
    // controls keep their own painting unless the subclass overrides paintEvent.
    static constexpr bool kPaintsItself =
        std::is_same_v<QtBase, QWidget> || std::is_abstract_v<QtBase>;

    bool event(QEvent* event) override {
        if (HandleEvent(event)) {
            return true;
        }
        return QtBase::event(event);
    }
    void paintEvent(QPaintEvent* event) override {
        if constexpr (kPaintsItself) {
            PaintWindow(event);
        } else {
            QtBase::paintEvent(event);
        }
    }
};

using Window = WindowT<QWidget>;

}  // namespace yav
