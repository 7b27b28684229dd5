#pragma once
// The layout pickers of the control bar: the conference-layout pop-up (data, video, mixed
// layout and video cycling) and, to its right, the six video layouts. Both stay open while
// the activation moves between them; activating any other window closes both.

#include <memory>

#include "CTextItemPopup.h"

class CDlgLayout : public CTextItemPopup {
public:
    static constexpr UINT IDD = 189;
    static constexpr int IDC_AUTO = 1316;
    static constexpr int IDC_SINGLE = 1318;
    static constexpr int IDC_PIP = 1315;
    static constexpr int IDC_FOUR = 1319;
    static constexpr int IDC_NINE = 1320;
    static constexpr int IDC_SIXTEEN = 1321;

    explicit CDlgLayout(QWidget* parent);
    // Checks the item of the layout mode when the view kind is 0.
    void SelectItem(int viewKind, int layoutMode);
    void ReloadTexts();
    // The room command of an item (32853, 32855..32859).
    static int CommandOf(int itemId);

protected:
    BOOL OnInitDialog() override;

private:
    void OnItem(int itemId);
};

class CDlgConfLayout : public CTextItemPopup {
public:
    static constexpr UINT IDD = 213;
    static constexpr int IDC_CYCLE = 1238;
    static constexpr int IDC_DATA = 1251;
    static constexpr int IDC_MIXED = 1253;
    static constexpr int IDC_VIDEO = 1310;

    explicit CDlgConfLayout(QWidget* parent);
    ~CDlgConfLayout() override;

    void SetCurrentMode(int viewKind);
    void ReloadTexts();
    // Opens the video layouts to the right of this pop-up.
    void OpenVideoLayouts();
    CDlgLayout* VideoLayouts() { return m_pLayout.get(); }

protected:
    BOOL OnInitDialog() override;

private:
    LRESULT OnButtonCheckHover(WPARAM id, LPARAM value);
    void OnBtnVideoCycle();

    std::unique_ptr<CDlgLayout> m_pLayout;
    int m_nViewKind = 0;
};
