#pragma once
// The participant panel of the room: docked beside the main window or floating, with a chat
// page (hosting the chat window) and a members page (the stage list, the online counter, the
// search bar and the participant tree or the search results). It receives the conference
// core's user events and keeps its three trees consistent through UserListModel.

#include <QPointer>

#include <cstdint>
#include <memory>
#include <set>

#include "CMyTreeCtrl.h"
#include "IUserListRoom.h"
#include "RoomChildWindow.h"
#include "UserListModel.h"
#include "client/roomapi/RoomChildren.h"
#include "platform/window/Dialog.h"

class QLineEdit;
class CDlgFindCase;
class CKroGdiBtn;
class CKroGdiBtnImage;
class CTransparentStatic;
class CYavPngButton;
class CYavTabButtonGDI;

class ChatRoomWindows;

class CDlgUserList : public yav::Dialog,
                     public yav::users::RoomChildWindow<IUserList>,
                     public yav::users::IUserListHost,
                     public ITreeViewHost {
public:
    static constexpr UINT IDD = 136;
    // Controls.
    static constexpr int IDC_TAB_CHAT = 1038;
    static constexpr int IDC_TAB_MEMBERS = 1039;
    static constexpr int IDC_SEARCH_TOGGLE = 1041;
    static constexpr int IDC_ONLINE_COUNT = 1042;
    static constexpr int IDC_STAGE_CAPTION = 1043;
    static constexpr int IDC_STAGE_TOGGLE = 1046;
    static constexpr int IDC_USER_TREE = 1055;
    static constexpr int IDC_STAGE_LIST = 1056;
    static constexpr int IDC_RESULT_TREE = 1057;
    static constexpr int IDC_SEARCH_CLEAR = 1251;
    static constexpr int IDC_SEARCH_EDIT = 1312;
    static constexpr int IDC_SEARCH_LABEL = 1313;
    // Timers.
    static constexpr UINT kSearchTimer = 13;
    static constexpr UINT kSearchDelayMs = 250;
    static constexpr UINT kFindCaseTimer = 2010;
    static constexpr UINT kFindCaseDelayMs = 2000;
    // Pages.
    static constexpr int kPageChat = 1;
    static constexpr int kPageMembers = 2;

    explicit CDlgUserList(QWidget* parent);
    ~CDlgUserList() override;

    // The room this panel works for (its requests, preview window, strip and the windows that
    // follow the presenter); until one is given the panel acts on nothing.
    void SetRoom(std::unique_ptr<yav::users::IUserListRoom> room);
    // Replaces the way requests go out (tests); null restores the room's.
    void SetActionHost(yav::users::ITreeActionHost* host);
    // The chat window hosted on the chat page (null until there is one).
    void SetChatWindow(IChat* chat, QWidget* chatWidget);
    // The chat windows of this room, kept with the panel: their chat window is the chat page.
    void AttachChat(std::unique_ptr<ChatRoomWindows> chat);
    // The full-screen strip told of the page while floating, when there is no room (tests).
    void SetStrip(IFullDockX* strip) { m_pStrip = strip; }

    yav::users::UserListModel& Model() { return m_model; }
    CMyTreeCtrl& GetUserTree() { return *m_pUserTree; }
    CMyTreeCtrl& GetStageList() { return *m_pStageList; }
    CMyTreeCtrl& GetResultTree() { return *m_pResultTree; }
    QLineEdit& GetSearchEdit() { return *m_pSearchEdit; }
    CDlgFindCase* GetFindCase() const { return m_pFindCase; }
    int GetCurrentPage() const { return m_nCurPage; }
    bool IsStageShown() const { return m_bStageShown; }
    bool IsSearchBarShown() const { return m_bSearchBarShown; }
    QString GetOnlineCountText() const;
    void SelectChatTab() override;
    void SelectMembersTab() override;

    // --- IRoomChild ---
    void ShowChildWindow(int nCmdShow) override { yav::Dialog::ShowWindow(nCmdShow); }
    bool IsWindow() const override { return yav::Dialog::IsWindow(); }
    void DestroyWindow() override { yav::Dialog::DestroyWindow(); }
    // --- IUserList ---
    void ShowDlg(int nCmdShow) override;
    void ResetSearch() override;
    void ClearLocalUser() override;
    void SetOnlineCountText(int count) override;
    void SetLocalUser(std::uint16_t myUserId) override;
    void SetMyDeviceState(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d,
                          std::uint8_t e, std::uint8_t f) override;
    IChat* GetChatWindow() override { return m_pChat; }
    void ToggleUserPreview(std::uint16_t wMediaId) override;
    // The chat page's sound pop-up, through the chat window it hosts.
    IPopClap* GetPopClap() override { return m_pChat != nullptr ? m_pChat->GetPopClap() : nullptr; }
    int AddUser(const ST_USER_ITEM_DEPT* record) override;
    void OnUserLeave(std::uint16_t userId, std::uint32_t departmentId) override;
    void OnUserUpdate(const ST_USER_ITEM_DEPT* record) override;
    void OnLeadingStatus(std::uint16_t userId, std::uint8_t presenterState) override;
    void OnUserAudioState(std::uint16_t userId, std::uint8_t speakState) override;
    void OnUserKindChanged(std::uint16_t userId, std::uint32_t departmentId,
                           std::uint8_t kind) override;
    void SetBroadcastState(std::uint16_t mediaId, std::uint8_t on) override;
    void RefreshUserItem(std::uint16_t userId, std::uint32_t departmentKey) override;
    void AddDepartment(const ST_TREE_DEPT* dept, std::uint32_t parentKey) override;
    void AddRootDepartment(const ST_TREE_DEPT* dept) override;
    bool FindDeptItem(std::uint32_t departmentKey) const override;
    void OnVideoReceived(std::uint16_t mediaId, std::uint8_t on) override;
    int GetSpeakerCount() const override;
    void GetBroadcastMediaIds(std::vector<std::uint16_t>& out) const override;
    int GetBroadcastCount() const override;
    bool IsBroadcasting(std::uint16_t mediaId) const override;
    void AddScreenControlUser(std::uint16_t userId) override;
    void RemoveScreenControlUser(std::uint16_t userId) override;
    void ClearScreenControlUsers() override;
    const ST_TREE_USER* FindUserItemByName(const QString& name) const override;
    void ResetAll() override;
    void SetFloat(bool floating) override;
    bool IsFloat() const override { return m_bFloat; }
    bool IsVisible() const override { return isVisible(); }
    void MoveTo(const QRect& rect) override { yav::Dialog::MoveWindow(rect); }
    bool IsMembersPage() const override { return m_nCurPage == kPageMembers; }
    void ReloadTexts() override;
    void FlashChatTab() override;
    void FlashMembersTab() override;
    bool IsChatInputHovered() const override;

    // --- IUserListHost ---
    void AddChatRecipient(const ST_USER_ITEM_DEPT& record) override;
    void RemoveChatRecipient(std::uint16_t userId) override;
    void OnPresenterJoined(std::uint16_t userId, bool isMe) override;
    void SetSpeakIndicator(std::uint16_t mediaId, bool on) override;
    // --- ITreeViewHost ---
    yav::users::LocalRole GetLocalRole() const override;
    void PlacePreviewWindow(const QRect& rowOnScreen) override;
    const yav::users::TreeUser* FindUserRecord(std::uint16_t mediaId) const override;

    void LayoutControls();

protected:
    BOOL OnInitDialog() override;
    // The panel is never ended: Enter is not its OK and goes on as a key, Esc and Space are
    // swallowed (a typed space still reaches a text box), and the window manager's close does
    // nothing. Only the room shows and hides it.
    BOOL PreTranslateMessage(yav::Msg* msg) override;
    void OnOK() override {}
    void OnCancel() override {}
    // While floating, the panel's own surface is its caption: it drags the window.
    int OnNcHitTest(const QPoint& screenPoint) override;
    void OnTimer(UINT id) override;
    BOOL OnEraseBkgnd(QPainter& painter) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void OnSearchTextChanged(const QString& text);
    void OnSearchClear();
    void OnSearchToggle();
    void OnStageToggle();
    LRESULT OnFindCaseChoice(WPARAM choice);
    void ShowMembersPage(bool show);
    void TellStripThePage();
    void StopPreview();
    void UpdateTips();
    // The trees act through the test's host, else the room, else nothing.
    void ApplyActionHost();

    yav::users::UserListModel m_model;
    std::unique_ptr<yav::users::IUserListRoom> m_pRoom;
    yav::users::ITreeActionHost* m_pTestHost = nullptr;
    yav::users::ITreeActionHost* m_actionHost;
    CDlgFindCase* m_pFindCase = nullptr;
    IChat* m_pChat = nullptr;
    std::unique_ptr<ChatRoomWindows> m_pChatWindows;
    IFullDockX* m_pStrip = nullptr;
    QPointer<QWidget> m_pChatWidget;
    CMyTreeCtrl* m_pUserTree = nullptr;
    CMyTreeCtrl* m_pResultTree = nullptr;
    CMyTreeCtrl* m_pStageList = nullptr;
    CYavTabButtonGDI* m_pTabMembers = nullptr;
    CYavTabButtonGDI* m_pTabChat = nullptr;
    CKroGdiBtn* m_pStageCaption = nullptr;
    CYavPngButton* m_pStageToggle = nullptr;
    CKroGdiBtn* m_pOnlineCount = nullptr;
    CTransparentStatic* m_pSearchLabel = nullptr;
    QLineEdit* m_pSearchEdit = nullptr;
    CKroGdiBtnImage* m_pSearchClear = nullptr;
    CYavPngButton* m_pSearchToggle = nullptr;
    QString m_strSearch;
    std::uint16_t m_wMyUserId = 0;
    int m_nOnlineCount = 0;
    int m_nCurPage = kPageMembers;
    bool m_bStageShown = true;
    bool m_bSearchBarShown = false;
    bool m_bFloat = false;
};
