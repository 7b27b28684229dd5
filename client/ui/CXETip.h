#pragma once
// The tooltip of the image buttons: a strip of three borderless top-most windows (left cap,
// middle with the text, right cap), each painted with a skin bitmap, placed next to the
// button while the mouse rests on it. The strip never takes the activation.

#include <QPixmap>
#include <QString>

#include "platform/window/Window.h"

class CXETipWndBase : public yav::Window {
public:
    CXETipWndBase();
    // Loads the skin bitmap and creates the window at (0, 0) with the bitmap's size.
    BOOL Create(UINT bitmapId);
    const QPixmap& GetBitmap() const { return m_bitmap; }

protected:
    BOOL OnEraseBkgnd(QPainter& painter) override;

private:
    QPixmap m_bitmap;
};

class CXETipMidWnd : public CXETipWndBase {
public:
    void SetText(const QString& text);
    const QString& GetText() const { return m_strText; }

protected:
    void OnPaint(QPainter& painter) override;

private:
    QString m_strText;
};

class CXETip {
public:
    CXETip() = default;
    virtual ~CXETip() = default;
    CXETip(const CXETip&) = delete;
    CXETip& operator=(const CXETip&) = delete;

    // Creates the left, right and middle windows (skin bitmaps 98, 102, 100); false as soon
    // as one cannot be created.
    BOOL Create();
    // Shows the strip at (x, y) in screen coordinates; an empty text shows nothing.
    void Show(int x, int y, const QString& text);
    // Shrinks the three windows to nothing and clears the text.
    void Hide();
    BOOL IsShown() const;

    const CXETipWndBase& GetLeft() const { return m_wndLeft; }
    const CXETipMidWnd& GetMiddle() const { return m_wndMid; }
    const CXETipWndBase& GetRight() const { return m_wndRight; }

private:
    CXETipWndBase m_wndLeft;
    CXETipMidWnd m_wndMid;
    CXETipWndBase m_wndRight;
};
