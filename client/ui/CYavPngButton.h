#pragma once
// The program's general image button: paints one of its skin images by state (normal,
// pressed, hovered, disabled and the checked variants), optionally a caption over it, and
// shows a tooltip while the mouse rests on it. Transparent parts of an image show the
// parent's background, or the button's background colour when the owner has set one.
// Clicks reach the owner as BN_CLICKED commands.

#include <QAbstractButton>
#include <QFont>
#include <QImage>
#include <QRect>

#include <array>
#include <vector>

#include "CXETip.h"
#include "platform/window/GdipText.h"
#include "platform/window/Window.h"

class CYavPngButton : public yav::WindowT<QAbstractButton> {
public:
    // The background colour that means "no fill".
    static constexpr COLORREF kNoBackground = 0xFFFFFFFF;

    explicit CYavPngButton(QWidget* parent = nullptr);
    ~CYavPngButton() override;

    // Skin PNG ids (0 keeps that state's image), loaded at the display scale.
    void LoadImages(UINT normal, UINT pressed, UINT hover, UINT disabled, UINT checkedNormal,
                    UINT checkedPressed, UINT checkedHover);
    // Loaded images (null clears a state); the skin cache keeps owning them.
    void SetImages(QImage* normal, QImage* pressed, QImage* hover, QImage* disabled,
                   QImage* checkedNormal, QImage* checkedPressed, QImage* checkedHover);
    void SetCheckedDisabledImage(QImage* image) { m_pImgCheckedDisabled = image; }

    void SetState(std::uint32_t state);
    std::uint32_t GetState() const { return m_nState; }
    void SetWindowText(const QString& text) override;
    BOOL EnableWindow(BOOL enable) override;
    void SetTextColors(COLORREF normal, COLORREF hover, COLORREF pressed, COLORREF disabled);
    void SetBkColor(COLORREF color) { m_clrBk = color; }
    void SetFont(const QFont& font) { SetFonts(font, font, font, font); }
    void SetFonts(const QFont& normal, const QFont& hover, const QFont& pressed,
                  const QFont& disabled);
    void SetShowText(BOOL show) { m_bDrawCaption = show; }
    void SetTextStyle(BOOL drawCaption, BYTE centred);
    void SetTextPos(int x, int y);
    void SetTextRect(const QRect& rect);
    void SetImageRect(const QRect& rect);
    void SetTooltip(const QString& text, BYTE flag);
    void SetHoverNotify(BOOL notify) { m_bHoverNotify = notify; }
    void SetImageBackground(BYTE on) { m_byImageBk = on; }
    void SetUserData(std::uint32_t value) { m_nUserData = value; }
    std::uint32_t GetUserData() const { return m_nUserData; }

    // Repaints the button and the parent's background under it.
    void RedrawInParent();

    // Most buttons stand 5 px (scaled) larger on every side than the layout asks and draw
    // their image in the inner rectangle; the title-bar buttons keep their size.
    void MoveWindow(int x, int y, int cx, int cy, BOOL repaint = 1) override;
    // Moves to the rectangle as given (never larger); always repaints.
    void MoveWindow(const QRect& rect, BOOL repaint = 1) override;
    // The five-argument move for a layout rectangle in design pixels, each scaled.
    void MoveScaled(int x, int y, int cx, int cy);

    // State read by owners and tests.
    BOOL IsHovering() const { return m_bHover; }
    BOOL IsGrown() const { return m_bGrown; }
    COLORREF GetBkColor() const { return m_clrBk; }
    const QRect& GetDrawRect() const { return m_rcDraw; }
    const CXETip& GetTooltip() const { return m_tip; }
    const QString& GetTooltipText() const { return m_strTip; }
    BYTE GetTooltipFlag() const { return m_byTipFlag; }
    BOOL GetShowText() const { return m_bDrawCaption; }
    COLORREF GetTextColor(int index) const { return m_clrText[static_cast<size_t>(index)]; }

    // What one paint draws, for the current state (exposed for tests and subclasses).
    struct PaintChoice {
        QImage* image = nullptr;
        COLORREF textColor = 0;
        int fontIndex = 0;  // 0 normal, 1 hover, 2 pressed, 3 disabled
    };
    PaintChoice ChoosePaint() const;
    // Where the caption is laid out (after a paint has set the draw rectangle).
    QRect GetCaptionRect() const;
    // The caption's lines as the last painted state draws them (trimmed when it does not fit).
    std::vector<yav::gdip::LaidOutLine> GetCaptionLayout() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    virtual void DrawItem(QPainter& painter);
    virtual void DrawCaption(QPainter& painter, COLORREF color);
    yav::gdip::StringFormat CaptionFormat() const;
    const QFont& CaptionFont() const;
    BOOL OnEraseBkgnd(QPainter& painter) override;
    void OnSetCursor() override;
    void OnMouseHover() override;
    void OnMouseLeave() override;

    QImage* m_pImgNormal = nullptr;
    QImage* m_pImgPressed = nullptr;
    QImage* m_pImgHover = nullptr;
    QImage* m_pImgCheckedNormal = nullptr;
    QImage* m_pImgCheckedPressed = nullptr;
    QImage* m_pImgCheckedHover = nullptr;
    QImage* m_pImgDisabled = nullptr;
    QImage* m_pImgCheckedDisabled = nullptr;
    std::uint32_t m_nState = 0;
    BOOL m_bDrawCaption = 0;
    std::array<COLORREF, 4> m_clrText;
    COLORREF m_clrBk = kNoBackground;
    int m_nCurrentFont = 0;
    std::array<QFont, 4> m_fonts;
    BOOL m_bSharedFont = 1;
    QRect m_rcDraw;
    QRect m_rcText;
    BOOL m_bAutoTextRect = 1;
    QRect m_rcImage;
    BOOL m_bAutoImageRect = 1;
    BYTE m_byCenter = 1;
    int m_nTextOffsetX = 0;
    int m_nTextOffsetY = 0;
    CXETip m_tip;
    BOOL m_bHasTip = 0;
    QString m_strTip;
    BYTE m_byTipFlag = 0;
    BOOL m_bHover = 0;
    BOOL m_bHoverNotify = 0;
    BOOL m_bGrown = 0;
    std::uint32_t m_nUserData = 1;
    BYTE m_byImageBk = 0;

private:
    void FillBackground(QPainter& painter, const QRect& itemRect) const;
};
