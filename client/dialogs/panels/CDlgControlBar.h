#pragma once
// The strip across the top of the room window: logo, caption with the conference name and
// number, meeting time, lock indicator and window buttons on a dark band; full screen,
// conference layout, layout synchronisation and meeting management on the light band, with
// the video pager and, in the document views, the document tab strip. Every action is the
// room's: the bar shows state, asks the user and forwards.

#include <memory>

#include "CDlgConfLayout.h"
#include "PanelNeighbours.h"
#include "PanelRules.h"
#include "client/ui/CDlgPopSwitch.h"
#include "client/ui/CStaticImage.h"
#include "client/ui/CTransparentStatic.h"
#include "client/ui/CYavPngButton.h"
#include "platform/window/Dialog.h"

class CDlgControlBar : public yav::Dialog {
public:
    static constexpr UINT IDD = 134;
    static constexpr int IDC_MAXIMIZE = 1040;
    static constexpr int IDC_LOGO = 1241;
    static constexpr int IDC_TITLE = 1037;
    static constexpr int IDC_DURATION = 1291;
    static constexpr int IDC_HIDDEN = 1292;
    static constexpr int IDC_LOCK = 1339;
    static constexpr int IDC_VIDEO_LABEL = 1363;
    static constexpr int IDC_SETTINGS = 1041;
    static constexpr int IDC_MINIMIZE = 1039;
    static constexpr int IDC_CLOSE = 1036;
    static constexpr int IDC_FULLSCREEN = 1034;
    static constexpr int IDC_HOTLINE = 1251;
    static constexpr int IDC_CONF_LAYOUT = 1305;
    static constexpr int IDC_SYNC_LAYOUT = 1051;
    static constexpr int IDC_MEETING = 1035;
    static constexpr UINT kDurationTimer = 1;
    static constexpr UINT kDurationMs = 60000;
    static constexpr UINT kCreatePopupsTimer = 2010;
    static constexpr UINT kCreatePopupsMs = 2000;
    // The top band's bound for dragging and double-clicks, in client pixels at any scale.
    static constexpr int kDragBandHeight = 31;

    explicit CDlgControlBar(QWidget* parent = nullptr);
    ~CDlgControlBar() override;

    void ReloadTexts();
    void SetConfTitle(const QString& confName, std::uint32_t confId);
    void StartDurationTimer();
    void SetBarMode(std::uint8_t mode);
    int GetBarMode() const { return m_nBarMode; }
    void LayoutButtons(int unused, int divisor);
    void LayoutCenterPane();
    bool IsActiveViewIdOne();
    bool AddDocTab(const QString& name, std::uint32_t viewId);
    bool RemoveDocTab(std::uint32_t viewId, int flag);
    void RemoveAllDocTabs();
    void SetVideoPageCount(int count);
    void SetVideoAutoPage(bool on);
    bool IsVideoAutoPage() const;
    void UpdateVideoPager();
    void ShowStateLabel(BOOL show);
    void RefreshRoleButtons();
    void RebuildMeetingMenu();
    void UpdateSyncLayoutButton();

    // Button actions.
    void OnBtnSyncLayout();
    void OnBtnMaximize();
    void OnBtnMinimize();
    void OnBtnFullScreen();
    void OnBtnMeetingMenu();
    void OnBtnConfLayout();
    void OnBtnHotline();
    // A press or double-click at a client point.
    void OnLButtonDown(const QPoint& point);
    void OnLButtonDblClk(const QPoint& point);

    // Runs the lazily made pop-ups at once (the 2 s timer does it otherwise).
    void CreatePopups();
    CDlgPopSwitch* MeetingMenu() { return m_pMeetingMenu.get(); }
    CDlgConfLayout* ConfLayout() { return m_pConfLayout.get(); }
    CYavPngButton& Button(int id);
    CTransparentStatic& Label(int id);
    IDocPageTab* DocTab() { return m_pDocTab.get(); }

protected:
    BOOL OnInitDialog() override;
    void OnTimer(UINT id) override;
    void OnSize(int cx, int cy) override;
    BOOL OnEraseBkgnd(QPainter& painter) override;
    BOOL PreTranslateMessage(yav::Msg* msg) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void InitControls();
    void LayoutAll();
    void LayoutTitleRow(int lockOffset);
    void UpdateRecordItem();
    yav::panels::MeetingMenuInput MenuInput();

    CYavPngButton m_btnMaximize;
    std::unique_ptr<IDocPageTab> m_pDocTab;
    std::unique_ptr<IBullBoardStand> m_pBulletin;
    CStaticImage m_logo;
    CTransparentStatic m_staticTitle;
    CTransparentStatic m_staticDuration;
    CTransparentStatic m_staticHidden;
    CTransparentStatic m_staticLock;
    CTransparentStatic m_staticVideoLabel;
    CYavPngButton m_btnSettings;
    CYavPngButton m_btnMinimize;
    CYavPngButton m_btnClose;
    CYavPngButton m_btnFullScreen;
    CYavPngButton m_btnHotline;
    CYavPngButton m_btnConfLayout;
    CYavPngButton m_btnSyncLayout;
    CYavPngButton m_btnMeeting;
    std::unique_ptr<IVideoPageTab> m_pPager;
    std::unique_ptr<CDlgConfLayout> m_pConfLayout;
    std::unique_ptr<CDlgPopSwitch> m_pMeetingMenu;
    QString m_strCaption;
    int m_nBarMode = -1;
    std::uint32_t m_nConfId = 0;
    QString m_strConfName;
    std::uint32_t m_dwStartTick = 0;
    int m_nShownHours = -1;
    int m_nShownMinutes = -1;
};
