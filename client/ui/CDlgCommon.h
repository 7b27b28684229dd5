#pragma once
// Base of the skinned dialogs: a caption band, a white body and a thin border; the whole
// window drags like a caption; optionally Esc, Enter and Space are swallowed.

#include "platform/window/Dialog.h"

class CDlgCommon : public yav::Dialog {
public:
    CDlgCommon(UINT templateId, QWidget* parent);

    // Paints the skinned background (caption band, white body, border) into a w x h area.
    static void PaintSkinnedBackground(QPainter& painter, int width, int height);

    // While non-zero the whole window acts as its caption for dragging.
    int m_bDrag = 1;
    // Exactly 1: Esc, Enter and Space are dropped before the dialog sees them.
    int m_bNoKeyClose = 0;

protected:
    int OnNcHitTest(const QPoint& screenPoint) override;
    BOOL OnEraseBkgnd(QPainter& painter) override;
    BOOL PreTranslateMessage(yav::Msg* msg) override;
};
