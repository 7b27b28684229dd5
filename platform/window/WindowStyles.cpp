#include "platform/window/WindowStyles.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>

namespace yav {

namespace {

void ApplyFlagsKeepingVisibility(QWidget* window, Qt::WindowFlags flags) {
    if (window->windowFlags() == flags) {
        return;
    }
    const bool visible = window->isVisible();
    window->setWindowFlags(flags);
    if (visible) {
        ShowWithoutActivating(window);
    }
}

void SetFlagKeepingVisibility(QWidget* window, Qt::WindowType flag, bool on) {
    if (window != nullptr) {
        ApplyFlagsKeepingVisibility(window, window->windowFlags().setFlag(flag, on));
    }
}

}  // namespace

void SetTopMost(QWidget* window, bool on) {
    SetFlagKeepingVisibility(window, Qt::WindowStaysOnTopHint, on);
}

bool IsTopMost(const QWidget* window) {
    return window != nullptr && window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

void SetToolWindow(QWidget* window, bool on) {
    if (window == nullptr) {
        return;
    }
    // Qt::Tool is a window type, not a hint: switching it off leaves a plain window.
    const Qt::WindowFlags flags = window->windowFlags();
    ApplyFlagsKeepingVisibility(window,
                                (flags & ~Qt::WindowType_Mask) | (on ? Qt::Tool : Qt::Window));
}

void SetFrameless(QWidget* window, bool on) {
    SetFlagKeepingVisibility(window, Qt::FramelessWindowHint, on);
}

void SetPerPixelAlpha(QWidget* window, bool on) {
    if (window == nullptr) {
        return;
    }
    if (window->isWindow() && on) {
        SetFrameless(window, true);
    }
    window->setAttribute(Qt::WA_TranslucentBackground, on);
    window->setAttribute(Qt::WA_NoSystemBackground, on);
    window->setAutoFillBackground(false);
}

void ShowWithoutActivating(QWidget* window, bool minimized) {
    if (window == nullptr) {
        return;
    }
    const bool before = window->testAttribute(Qt::WA_ShowWithoutActivating);
    window->setAttribute(Qt::WA_ShowWithoutActivating, true);
    if (minimized) {
        window->showMinimized();
    } else {
        window->show();
    }
    window->setAttribute(Qt::WA_ShowWithoutActivating, before);
}

void BringToForeground(QWidget* window) {
    if (window == nullptr) {
        return;
    }
    window->raise();
    window->activateWindow();
}

void SetOwnerWindow(QWidget* window, QWidget* owner) {
    if (window == nullptr || !window->isWindow()) {
        return;
    }
    QWidget* top = owner != nullptr ? owner->window() : nullptr;
    if (top == window) {
        return;
    }
    // The owner is a property of the native windows: both are made now if not yet.
    window->winId();
    QWindow* handle = window->windowHandle();
    QWindow* ownerHandle = nullptr;
    if (top != nullptr) {
        top->winId();
        ownerHandle = top->windowHandle();
    }
    if (handle != nullptr && handle->transientParent() != ownerHandle) {
        handle->setTransientParent(ownerHandle);
    }
}

QWidget* GetOwnerWindow(const QWidget* window) {
    if (window == nullptr || window->windowHandle() == nullptr) {
        return nullptr;
    }
    QWindow* owner = window->windowHandle()->transientParent();
    if (owner == nullptr) {
        return nullptr;
    }
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->windowHandle() == owner) {
            return top;
        }
    }
    return nullptr;
}

}  // namespace yav
