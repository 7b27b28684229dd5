#pragma once
// The tab at the top centre of the screen that slides the full-screen strip in and out: a
// press, or the cursor resting at the top edge beside it, slides both down; once the cursor
// has left the strip for a while both slide back up. The slide runs on the UI thread, one
// step per due interval of the panel clock, so a coarse timer cannot stretch it; it ends by
// posting the expand or collapse command to the tab.

#include <QPoint>

#include <functional>
#include <memory>
#include <vector>

#include "PanelRules.h"
#include "client/ui/CButtonCheck.h"
#include "client/ui/CYavDialogEx.h"

class CDlgFullDockX;

class CDlgExpand : public CYavDialogEx {
public:
    static constexpr UINT IDD = 218;
    static constexpr int IDC_EXPAND = 1388;
    static constexpr int IDC_COLLAPSE = 1389;
    static constexpr UINT kCollapseTimer = 109;
    static constexpr UINT kCornerTimer = 111;
    static constexpr UINT kHoverTimer = 3001;
    static constexpr UINT kSlideTimer = 113;
    static constexpr UINT kCornerMs = 250;
    static constexpr UINT kHoverMs = 1000;
    static constexpr UINT kSlideTickMs = 5;

    explicit CDlgExpand(QWidget* parent = nullptr);
    ~CDlgExpand() override;

    void SetStrip(CDlgFullDockX* strip) { m_pStrip = strip; }
    // Where the cursor is (tests give their own).
    void SetCursorSource(std::function<QPoint()> source) { m_cursor = std::move(source); }

    void ShowTab();
    void OnBtnExpand();
    void OnBtnCollapse();
    void ShowWindowGuarded(int nCmdShow);
    // Ends a running slide where it is (the room is released).
    void QuitThread();
    bool CanCollapse();
    void RequestExpand();

    void RedrawButtons(BOOL all) override;
    void LayoutControls() override {}

    int GetTabState() const { return m_nTabState; }
    int IsOut() const { return m_nOut; }
    // 0 none, 1 sliding down, 2 sliding up.
    int SlideDirection() const { return m_nSliding; }
    QWidget* CornerWindow() { return m_pCorner.get(); }
    CButtonCheck& Button(int id) { return id == IDC_EXPAND ? m_btnExpand : m_btnCollapse; }
    QRect Monitor();

protected:
    BOOL OnInitDialog() override;
    void OnTimer(UINT id) override;
    // Esc leaves full screen as on the strip.
    BOOL PreTranslateMessage(yav::Msg* msg) override;

private:
    void StartSlide(int direction);
    void SlideStep();
    void MoveTabTo(int offsetFromTop);

    int m_nOut = 0;
    CButtonCheck m_btnExpand;
    CButtonCheck m_btnCollapse;
    QImage* m_pExpandImage = nullptr;
    QImage* m_pCollapseImage = nullptr;
    int m_nTabState = 1;
    std::unique_ptr<yav::Window> m_pCorner;
    CDlgFullDockX* m_pStrip = nullptr;
    std::function<QPoint()> m_cursor;
    int m_nSliding = 0;
    std::vector<yav::panels::SlideStep> m_steps;
    std::uint32_t m_dwSlideStart = 0;
    int m_nStepMs = 0;
    size_t m_nNextStep = 0;
    QPoint m_tabOrigin;
    QPoint m_stripOrigin;
};
