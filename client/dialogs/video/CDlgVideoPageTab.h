#pragma once
// The strip under the video area: four layout buttons (1, 4, 9, 16 windows), the current page
// and the page total, previous and next, and automatic page turning. When more videos are
// received than the layout shows, they are shown page by page; the pager posts the layout
// commands to the main window and asks the room to lay out a page.
//
// Visible only while this client keeps its own layout (the layout-sync flag).

#include <QImage>
#include <QString>

#include <array>

#include "client/ui/CEditXP.h"
#include "client/ui/CTransparentStatic.h"
#include "client/ui/CYavPngButton.h"
#include "platform/window/Dialog.h"

// What the pager reads and asks of the room.
class IVideoPagerHost {
public:
    // Number of received media ids (the room's received-video list).
    virtual int GetReceivedCount() = 0;
    // The layout manager's windows per page.
    virtual int GetWindowsPerPage() = 0;
    virtual int GetUsedWndCount() = 0;
    // Frees the windows of the shown page.
    virtual void ApplyVideoWindows() = 0;
    // Fills the windows with one page of received ids from `start`.
    virtual int LayoutVideoWindows(int start, int count) = 0;
    // The main window the commands go to.
    virtual QWidget* GetCommandTarget() = 0;

protected:
    ~IVideoPagerHost() = default;
};

class CDlgVideoPageTab : public yav::Dialog {
public:
    static constexpr UINT IDD = 186;
    static constexpr int IDC_LAYOUT_1 = 1318;
    static constexpr int IDC_LAYOUT_4 = 1319;
    static constexpr int IDC_LAYOUT_9 = 1320;
    static constexpr int IDC_LAYOUT_16 = 1321;
    static constexpr int IDC_AUTO_PAGE = 1253;
    static constexpr int IDC_PREVIOUS = 1251;
    static constexpr int IDC_NEXT = 1322;
    static constexpr int IDC_PAGE = 1312;
    static constexpr int IDC_TOTAL = 1323;
    static constexpr UINT TIMER_AUTO_PAGE = 2;
    // Commands posted to the main window.
    static constexpr int kCmdOneWindow = 32855;
    static constexpr int kCmdFourWindows = 32857;
    static constexpr int kCmdNineWindows = 32858;
    static constexpr int kCmdSixteenWindows = 32859;
    static constexpr int kCmdCycleSettings = 32788;
    // Design size of the strip.
    static constexpr int kDesignWidth = 690;
    static constexpr int kDesignHeight = 30;

    CDlgVideoPageTab(QWidget* parent, IVideoPagerHost* host);
    ~CDlgVideoPageTab() override;

    void SetCurrentPage(int page);
    int GetCurrentPage() const { return m_nCurrentPage; }
    int GetPageTotal() const { return m_nPageTotal; }
    void UpdatePager();
    void SetAutoPage(int on);
    int IsAutoPage() const { return m_bAutoPage; }
    // Checks the button of layout mode n (1, 3, 4, 5); other modes leave all four unchecked.
    void SelectLayoutButton(int n);
    void ReloadTexts();

    void NextPage();
    void PreviousPage();

    BOOL OnInitDialog() override;

protected:
    void OnTimer(UINT id) override;
    BOOL OnEraseBkgnd(QPainter& painter) override;

private:
    void OnLayoutButton(int buttonId);
    void OnAutoPageButton();
    void PostCommand(int id);
    void ShowPage();
    void TurnTo(int page);

    IVideoPagerHost* m_pHost;
    CYavPngButton m_btnLayout1;
    CYavPngButton m_btnLayout4;
    CYavPngButton m_btnLayout9;
    CYavPngButton m_btnLayout16;
    CYavPngButton m_btnAutoPage;
    CYavPngButton m_btnPrevious;
    CYavPngButton m_btnNext;
    CEditXP m_editPage;
    CTransparentStatic m_staticTotal;
    int m_nCurrentPage = 0;
    int m_nPageTotal = 0;
    int m_bAutoPage = 0;
};
