#pragma once
// Base of the layered pop-up panels: the whole picture is composed in an image (a skin
// background plus the pictures of the hosted check buttons) and shown with one constant
// alpha. Offers hiding on losing the activation, a show operation that carries an attached
// window along, and the pop-ups' keyboard rule (Enter, Esc and Space never reach the dialog).

#include <QImage>
#include <QPointer>

#include "platform/core/CriticalSection.h"
#include "platform/window/Dialog.h"

class CYavDialogEx : public yav::Dialog {
public:
    static constexpr UINT kAutoHideTimer = 100;
    static constexpr UINT kAutoHideDelayMs = 100;

    // A pop-up is a window of its own; a child one (Style::Child) is drawn inside its parent,
    // where Qt composes its alpha whatever the screen can do.
    CYavDialogEx(UINT templateId, QWidget* parent, Style style = Style::Popup);
    ~CYavDialogEx() override;

    // Composes the picture (background when asked, then the buttons) and shows it with the
    // alpha in percent (outside 0..100 means 100). Returns the show result.
    virtual int UpdateLayered(BOOL redrawBackground, int alphaPercent);
    // Draws every hosted button whose redraw flag is set, or every one when all is set.
    virtual void RedrawButtons(BOOL all) = 0;
    // Places the controls for the current client size.
    virtual void LayoutControls() = 0;

    void SetBackgroundImage(UINT skinPngId, BOOL load);
    void SetAutoHide(BYTE on) { m_bAutoHide = on; }
    void SetAutoHideArmed(BYTE on) { m_bAutoHideArmed = on; }
    void SetKeepWithParent(BOOL on) { m_bKeepWithParent = on; }
    void SetAttached(QWidget* window) { m_hAttached = window; }
    void SetAlpha(std::uint16_t percent) { m_nAlpha = percent; }
    int UpdateLayer(BOOL redrawBackground) { return UpdateLayered(redrawBackground, m_nAlpha); }
    // Shows or hides the pop-up and the attached window alike; returns the previous
    // visibility of the pop-up.
    BOOL ShowWindow(int nCmdShow) override;
    // Draws one child's picture into the composition and clears *redrawFlag: unless noClear
    // the child's area (2 px larger) is first cleared from the background sample.
    void DrawBackground(QWidget* child, const QImage* image, BYTE* redrawFlag, BOOL noClear);

    const QImage& GetComposition() const { return m_imgMem; }
    int GetBlendAlpha() const { return m_blendAlpha; }
    const QImage* GetBackgroundImage() const { return m_pBkImage; }

    std::uint16_t m_nAlpha = 100;
    int m_nBkSample = 0;
    BYTE m_bAutoHide = 0;
    BYTE m_bAutoHideArmed = 1;
    QPointer<QWidget> m_hAttached;
    UINT m_nBkImageId = 0;
    int m_bKeepWithParent = 0;

protected:
    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(yav::Msg* msg) override;
    void OnSize(int cx, int cy) override;
    void OnShowWindow(BOOL show) override;
    void OnActivate(UINT state, QWidget* other) override;
    void OnTimer(UINT id) override;

    // A window without area composes and shows nothing.
    bool HasNoArea() const { return width() <= 0 || height() <= 0; }
    // Re-creates the composition for the window size and, once, the background sample.
    void PrepareLayer();
    // The composition as the subclasses draw into it; the lock guards it.
    QImage& Composition() { return m_imgMem; }
    yav::CriticalSection m_cs;
    // Alpha percent clamped and made a constant alpha (100 gives 254).
    static int BlendAlphaFor(int alphaPercent);
    int m_blendAlpha = 255;

private:
    QImage* m_pBkImage = nullptr;
    QImage m_imgMem;
    QImage m_imgSample;
};
