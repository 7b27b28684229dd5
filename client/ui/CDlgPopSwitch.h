#pragma once
// A layered pop-up list of text items, one check button per row: a drop-down menu of choices
// (plain items) or a list of open document pages (check items). It draws its background,
// separators, texts and check marks into the composed picture, hides itself after losing the
// activation or after a choice, and reports the choice to its owner. Other panels add and
// remove items while the pop-up may be drawing, so the item lists are locked.

#include <QColor>
#include <QFont>
#include <QPointer>

#include <map>
#include <vector>

#include "CButtonCheck.h"
#include "CYavDialogEx.h"
#include "platform/core/CriticalSection.h"

class CDlgPopSwitch : public CYavDialogEx {
public:
    static constexpr UINT IDD = 194;
    // Control ids of plain (choice) items and of check (document page) items.
    static constexpr int kPlainItemId = 65533;
    static constexpr int kCheckItemId = 65534;
    static constexpr UINT kTimedHideTimer = 201;
    static constexpr UINT kMeasureTimer = 202;
    static constexpr UINT kDeleteRemovedTimer = 203;
    static constexpr UINT kTimedHideMs = 1900;
    static constexpr UINT kMeasureDelayMs = 100;
    static constexpr UINT kDeleteDelayMs = 1000;

    explicit CDlgPopSwitch(QWidget* parent);
    ~CDlgPopSwitch() override;

    void SetOwner(QWidget* owner) { m_pOwner = owner; }
    // 3: a chosen plain item posts WM_COMMAND with its value to the owner; any other mode:
    // WM_POPSWITCH_SELECT (mode, value).
    void SetNotifyMode(int mode) { m_nMode = mode; }
    void SetTimedHide(BYTE on) { m_bTimedHide = on; }
    void AddButton(DWORD value, const QString& text);
    void AddCheckButton(DWORD value, const QString& text, BYTE check, BYTE pageItem);
    void RemoveButton(DWORD value);
    BOOL HasButton(DWORD value);
    void EnableButton(DWORD value, BOOL enable);
    void SetButtonCheck(DWORD value, BYTE check);
    void SetButtonText(DWORD value, const QString& text);
    void EnableAllButtons(BYTE enable);
    void RemoveAllButtons();
    void DeleteExtraItems();
    void UpdateLayout();
    void SetItemCount(int count);
    int GetButtonCount() const { return m_nItemCount; }
    void ShowPopup(int nCmdShow);
    void CalcButtonWidth();

    int UpdateLayered(BOOL redrawBackground, int alphaPercent) override;
    void RedrawButtons(BOOL all) override;
    void LayoutControls() override;

    // The item of a value (null when none) and the items in list order (tests, owners).
    CButtonCheck* GetButton(DWORD value);
    std::vector<CButtonCheck*> GetItems();
    size_t GetRemovedCount();

    int m_nItemCount = 0;
    int m_nMode = -1;
    BYTE m_bTimedHide = 0;
    float m_fItemWidth;

protected:
    BOOL OnInitDialog() override;
    void OnTimer(UINT id) override;

private:
    CButtonCheck* NewItem(DWORD value, const QString& text, int controlId);
    LRESULT OnButtonHover(WPARAM wParam, LPARAM lParam);
    LRESULT OnButtonClick(WPARAM wParam, LPARAM lParam);

    yav::CriticalSection m_lock;
    std::vector<CButtonCheck*> m_vecItems;
    std::vector<CButtonCheck*> m_vecRemoved;
    std::map<DWORD, CButtonCheck*> m_mapItems;
    QFont m_font;
    QColor m_clrText;
    QColor m_clrHot;
    QColor m_clrDisabled;
    QImage* m_pCheckImage = nullptr;
    QPointer<QWidget> m_pOwner;
};
