#pragma once
// Base of the stand-alone tool windows: a colour-keyed, alpha-blended window whose background
// colour is see-through. Enter and Esc reach the focused control and never close the window.

#include "platform/window/Dialog.h"

class CYavDialogStand : public yav::Dialog {
public:
    // The template a tool window falls back to; each one creates itself with its own.
    static constexpr UINT kFallbackTemplate = 106;

    // The template id argument is not kept: Create names the real one.
    CYavDialogStand(UINT templateId, QWidget* parent);

    // Redraws the content for the current size (called after every size change).
    virtual void RefreshContent() = 0;

    DWORD m_dwLayeredFlags;
    DWORD m_byAlpha = 255;
    COLORREF m_crKey;

protected:
    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(yav::Msg* msg) override;
    BOOL OnEraseBkgnd(QPainter& painter) override;
    void OnSize(int cx, int cy) override;
};
