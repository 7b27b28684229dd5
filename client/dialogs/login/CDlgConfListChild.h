#pragma once
// The child window of the conference list that holds one row per conference, scrolls them,
// filters them by the search text and, when a row's enter button is pressed, asks the
// conference road to enter that conference.

#include <QImage>
#include <QString>

#include <map>
#include <memory>

#include "CConfItemPanel.h"
#include "ConfListLayout.h"
#include "IJoinConfHander.h"
#include "platform/window/Dialog.h"

class CSkinScrollBar;

class CDlgConfListChild : public yav::Dialog {
public:
    static constexpr UINT IDD = 206;

    explicit CDlgConfListChild(QWidget* parent);
    ~CDlgConfListChild() override;

    void SetJoinHandler(IJoinConfHander* handler) { m_pJoinHandler = handler; }
    void SetSkinScrollBar(CSkinScrollBar* bar) { m_pSkinScrollBar = bar; }
    void LoadImages();
    // The row under index (replacing one held there); -1 for a negative index.
    int AddItem(int index, std::uint32_t confNumber, int countBefore, int countAfter,
                const QString& name);
    void ClearItems();
    void ShowAll();
    void Filter(const QString& text);

    // The scroll requests of the list's scroll bar (code as the bar sends it).
    void OnVScroll(int code);

    int GetItemCount() const { return static_cast<int>(m_mapItems.size()); }
    CConfItemPanel* GetItem(int index) const;
    // Rows placed and shown, in their order.
    std::vector<CConfItemPanel*> VisibleItems() const;
    const ConfListScroll& GetScroll() const { return m_scroll; }

protected:
    BOOL OnInitDialog() override;
    BOOL OnEraseBkgnd(QPainter& painter) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnDestroy() override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void OnItemCommand(int id);
    void PlaceRows(const std::vector<CConfItemPanel*>& placed);
    void ScrollTo(int pos);

    CSkinScrollBar* m_pSkinScrollBar = nullptr;
    QImage* m_pImgNumberIcon = nullptr;
    QImage* m_pImgCountIcon = nullptr;
    QImage* m_pImgEnterPressed = nullptr;
    QImage* m_pImgEnterNormal = nullptr;
    QImage* m_pImgSeparator = nullptr;
    std::map<int, std::unique_ptr<CConfItemPanel>> m_mapItems;
    IJoinConfHander* m_pJoinHandler = nullptr;
    ConfListScroll m_scroll;
};
