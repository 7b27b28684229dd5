#pragma once
// The dialog base: modal (DoModal runs a nested event loop and returns the EndDialog code) or
// modeless (Create / DestroyWindow), with OnInitDialog, OnOK and OnCancel, and the keyboard
// rules of a dialog manager: Esc is the IDCANCEL command, Enter the command of the focused
// button or IDOK; subclasses change that in PreTranslateMessage. Qt's own dialog key
// handling never runs (this is not a QDialog).
//
// The controls of a dialog are made by its constructor (or OnInitDialog) as children; they
// live as long as the dialog object and are marked existing while the dialog exists.

#include <QPointer>

#include <functional>

#include "platform/window/Window.h"

class QEventLoop;

namespace yav {

class Dialog : public Window {
public:
    enum class Style { Popup, Child };

    // templateId names the dialog's layout (kept for the subclass and for logs).
    Dialog(UINT templateId, QWidget* parent, Style style = Style::Popup);
    ~Dialog() override;

    UINT GetTemplateId() const { return templateId_; }
    QWidget* GetParentWnd() const { return parentWnd_; }

    // Runs the dialog modally; the result is the EndDialog code, -1 when it could not run
    // (already running) and IDCANCEL when the dialog object went away inside its loop.
    virtual int DoModal();
    // Creates the dialog modelessly (not shown unless OnInitDialog shows it). A parent of
    // null keeps the one given to the constructor.
    virtual BOOL Create(UINT templateId, QWidget* parent = nullptr);
    // Modal: leaves the loop with the result. Modeless: hides the dialog.
    void EndDialog(int result);
    // Inside DoModal's loop and not yet ended.
    bool IsRunningModal() const { return loop_ != nullptr && !endRequested_; }

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    // Observers of modal dialogs (test helpers): called in the order they were added, once
    // the dialog is in its loop, until one of them ends the dialog.
    using ModalObserver = std::function<void(Dialog&)>;
    static int AddModalObserver(ModalObserver observer);
    static void RemoveModalObserver(int token);

protected:
    // The dialog manager: Esc sends IDCANCEL, Enter the focused button's id or IDOK.
    BOOL PreTranslateMessage(Msg* msg) override;
    // IDOK -> OnOK, IDCANCEL -> OnCancel, mapped commands; menu command ids nobody here
    // handles are handed on to the parent window.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    bool event(QEvent* event) override;

    // The modal result while the loop runs.
    int modalResult_ = -1;

private:
    void EnterCreatedState(QWidget* parent);
    void NotifyModalObservers();

    UINT templateId_;
    QPointer<QWidget> parentWnd_;
    Style style_;
    QEventLoop* loop_ = nullptr;
    bool modal_ = false;
    bool endRequested_ = false;
};

}  // namespace yav
