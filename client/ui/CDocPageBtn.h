#pragma once
// One tab of the document view's page-tab strip: an image button that carries the number of
// the shared document or whiteboard it stands for, draws its caption on a light grey ground,
// shows the full caption as a tooltip when it does not fit, and tells the page-tab window to
// activate its page, or to close it through the close box of the selected tab. The selected
// tab is the button in the checked state.

#include "client/ui/CYavPngButton.h"
#include "client/ui/DocPageBtnRules.h"

class CDocPageBtn : public CYavPngButton {
public:
    explicit CDocPageBtn(QWidget* parent = nullptr);

    // Stores the page (-1: none) and measures the current caption for the tooltip rule.
    void SetPageNo(int page);
    int GetPageNo() const { return m_nPageNo; }
    void SetState(std::uint32_t state) { CYavPngButton::SetState(state); }
    // Checked exactly when `page` is this tab's page.
    void SelectIfPage(int page);

    int GetCaptionWidth() const { return m_nCaptionWidth; }
    bool IsTooltipShown() const { return m_bTipShown; }
    // Image and caption colour the next paint uses.
    DocPageLook CurrentLook() const;

protected:
    void DrawItem(QPainter& painter) override;
    void DrawCaption(QPainter& painter, COLORREF color) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Send(int answer);
    bool IsSelected() const { return GetState() != 0; }

    int m_nPageNo = -1;
    int m_nCaptionWidth = 0;
    QString m_strCaption;
    bool m_bTipShown = false;
};
