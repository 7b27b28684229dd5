#pragma once
// Skinned scroll bars for a window that scrolls on its own (a list, tree or text view). The
// wrapper takes the target's place in its parent, holds the target in a clip window with the
// target's own bars switched off, and lays two skinned bars beside it that follow the target's
// range, page and position and scroll it when the user works them.
//
// Owners use the free functions: SkinWndScroll wraps (once; a second call returns the same
// wrapper), MoveSkinWndScroll / ShowSkinWndScroll move and show the whole, UnskinWndScroll
// gives the target back. Destroying the target unwraps it as well.

#include <QAbstractScrollArea>
#include <QFrame>
#include <QPixmap>
#include <QPointer>

#include "client/ui/CSkinScrollBar.h"
#include "platform/window/Window.h"

class QScrollBar;

class CSkinScrollWnd : public yav::WindowT<QFrame> {
public:
    static constexpr int kHorzBarId = 100;
    static constexpr int kVertBarId = 101;
    static constexpr int kLimitId = 200;

    // Corner states: no corner, both bars with the vertical bar on the left or on the right.
    static constexpr int kCornerNone = 0;
    static constexpr int kCornerLeft = 1;
    static constexpr int kCornerRight = 2;

    CSkinScrollWnd();
    ~CSkinScrollWnd() override;

    // Wraps the target; false when it is not a scrolling view or already wrapped.
    BOOL SkinWindow(QAbstractScrollArea* target, const QPixmap& bitmap);
    // Gives the target back to the parent at the wrapper's place.
    void UnskinWindow();

    // The wrapper of a target, or null.
    static CSkinScrollWnd* FromTarget(const QWidget* target);

    QAbstractScrollArea* GetTarget() const { return m_pTarget; }
    CSkinScrollBar& HorzBar() { return m_sbHorz; }
    CSkinScrollBar& VertBar() { return m_sbVert; }
    QWidget& LimitWnd() { return m_wndLimit; }
    int GetBarWidth() const { return m_nScrollWid; }
    int GetCornerState() const { return m_nAngleType; }

    // Copies the target's range, page and position into the bars (except a bar being dragged)
    // and shows, hides and places them.
    void SyncFromTarget();

protected:
    void paintEvent(QPaintEvent* event) override;
    void OnSize(int cx, int cy) override;

private:
    void Layout();
    void OnBarScroll(bool vertical, WPARAM wParam);
    static SkinScrollInfo InfoOf(const QScrollBar* bar);
    bool WantsBar(Qt::Orientation orientation) const;

    int m_nScrollWid = 16;
    CSkinScrollBar m_sbHorz;
    CSkinScrollBar m_sbVert;
    QWidget m_wndLimit;
    QPixmap m_hBmpScroll;
    BOOL m_bOp = 0;  // set while the wrapper itself scrolls or lays out the target
    int m_nAngleType = kCornerNone;

    QPointer<QAbstractScrollArea> m_pTarget;
    // What the target had before wrapping, given back when unwrapped.
    Qt::ScrollBarPolicy m_oldHorzPolicy = Qt::ScrollBarAsNeeded;
    Qt::ScrollBarPolicy m_oldVertPolicy = Qt::ScrollBarAsNeeded;
    int m_oldFrameStyle = 0;
    bool m_bLeftScrollBar = false;
};

// Wraps `target` (once) and returns its wrapper; null when the target cannot be wrapped.
CSkinScrollWnd* SkinWndScroll(QWidget* target, const QPixmap& bitmap);
// Shows or hides the wrapped target with its bars; false when the target is not wrapped.
BOOL ShowSkinWndScroll(QWidget* target, int nCmdShow);
// Moves the wrapped target with its bars (owners call this instead of moving the target).
BOOL MoveSkinWndScroll(QWidget* target, int x, int y, int cx, int cy);
// Unwraps the target; 1 at once when it is not wrapped.
BOOL UnskinWndScroll(QWidget* target);

// Whether lists and text views take the skinned bars instead of the desktop's: always on this
// platform, where the desktop theme's bars would not match the skin.
bool UseSkinScrollBars();
