#pragma once
// A text tab: the selected tab shows a short coloured bar under its text; an unselected tab
// can carry an attention dot (skin image 860) right of its text.

#include <QImage>

#include "client/ui/CKroGdiBtn.h"

class CYavTabButtonGDI : public CKroGdiBtn {
public:
    static constexpr UINT kImageMark = 860;

    explicit CYavTabButtonGDI(QWidget* parent = nullptr);

    void Select();
    void Unselect();
    // Only an unselected tab takes the mark.
    void SetMark();
    bool IsSelected() const { return m_bSelected; }
    bool IsMarked() const { return m_bMarked; }

protected:
    void DrawItem(QPainter& painter) override;

private:
    bool m_bMarked = false;
    QImage* m_pMark = nullptr;
    bool m_bMarkLoaded = false;
    bool m_bSelected = false;
};
