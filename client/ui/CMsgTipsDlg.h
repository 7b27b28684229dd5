#pragma once
// The small top-most notice near the lower-left corner of the room window: one line of text
// on a skin background, held for two seconds and then wiped away to the left. A new text while
// it holds or shrinks wipes it away at once and brings it back with the new text.

#include <QImage>
#include <QRect>
#include <QString>

#include "CTransparentStatic.h"
#include "platform/window/Dialog.h"

class CMsgTipsHolder;

class CMsgTipsDlg : public yav::Dialog {
public:
    static constexpr UINT IDD = 211;
    static constexpr int IDC_TIP_TEXT = 1347;
    static constexpr UINT kGrowTimer = 100;
    static constexpr UINT kShrinkTimer = 101;
    static constexpr UINT kHoldTimer = 102;
    // One animation step; short enough to see the strip move, long enough for a redraw.
    static constexpr UINT kStepMs = 15;
    static constexpr UINT kHoldMs = 2000;
    enum State { kGrowing = 0, kHolding = 1, kShrinking = 2, kIdle = 3 };

    CMsgTipsDlg(const QString& text, CMsgTipsHolder* holder, QWidget* parent);
    ~CMsgTipsDlg() override;

    void SetBkImage(QImage* image) { m_pBkImage = image; }
    void SetText(const QString& text);
    // FALSE: shows the stored text in the label.
    void UpdateData(BOOL saveAndValidate);

    int GetState() const { return m_nState; }
    BOOL IsRestartPending() const { return m_bRestart; }
    const QString& GetText() const { return m_strText; }
    // The strip's rectangle as the program set it (its width may reach zero).
    const QRect& GetTipRect() const { return m_rcTip; }
    CTransparentStatic& GetLabel() { return m_label; }

    void MoveWindow(int x, int y, int cx, int cy, BOOL repaint = 1) override;
    void MoveWindow(const QRect& rect, BOOL repaint = 1) override;

protected:
    BOOL OnInitDialog() override;
    BOOL OnEraseBkgnd(QPainter& painter) override;
    void OnTimer(UINT id) override;
    void OnDestroy() override;

private:
    CTransparentStatic m_label;
    QString m_strText;
    int m_nState = kIdle;
    int m_bRestart = 0;
    QImage* m_pBkImage = nullptr;
    CMsgTipsHolder* m_pHolder;
    QRect m_rcTip;
};

// Whether bit n (0..7) of the mask is set; any other n gives FALSE.
BOOL IsBitSet(BYTE mask, int n);
// Sets or clears bit n (0..7) of *mask; any other n leaves it unchanged.
void SetBit(BYTE* mask, int n, BYTE on);
