#pragma once
// Static pictures: CStaticImage shows one image stretched over the control on a solid
// background (nothing at all without an image, so the parent shows through); CStaticVolume
// shows a level as a row of narrow bars, lit from the left.

#include <QImage>

#include "platform/window/Window.h"

class CStaticImage : public yav::Window {
public:
    explicit CStaticImage(QWidget* parent = nullptr);

    // Neither call repaints; the owner invalidates when it wants the change seen.
    void SetImage(QImage* image) { m_pImage = image; }
    void SetBkColor(COLORREF color) { m_clrBk = color; }
    QImage* GetImage() const { return m_pImage; }

protected:
    BOOL OnEraseBkgnd(QPainter& painter) override;
    void OnPaint(QPainter& painter) override;

private:
    QImage* m_pImage = nullptr;
    COLORREF m_clrBk = 0xFFFFFF;
};

class CStaticVolume : public yav::Window {
public:
    explicit CStaticVolume(QWidget* parent = nullptr);

    // Bar pictures set by the owner (not owned).
    QImage* m_pImageUnlit = nullptr;
    QImage* m_pImageLit = nullptr;

    // Level clamped to 0..bar count; repaints.
    void SetLevel(int level);
    int GetLevel() const { return m_nLevel; }
    int GetBarCount() const { return m_nBarCount; }

protected:
    BOOL OnEraseBkgnd(QPainter& painter) override;
    void OnPaint(QPainter& painter) override;

private:
    int m_nLevel = 0;
    int m_nBarCount = 15;
};
