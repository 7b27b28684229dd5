#include "platform/window/WindowStyles.h"

#include <QWidget>

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

}  // namespace yav
