#pragma once
// The control strip floating at the top of the screen in full screen, while this client
// shares or views a shared screen, and while a video window is open on its own: exit, share,
// speak, chat, members, more and my-view buttons, the share and more pop-ups, the floating
// participant panel and the screen annotation board (whose commands come back through a
// callback on the board's thread).

#include <QFont>

#include <functional>
#include <memory>

#include "CDlgPopMore.h"
#include "CDlgPopShare.h"
#include "client/ui/CButtonCheck.h"
#include "client/ui/CYavDialogEx.h"

class CDlgExpand;

// The screen annotation board as the strip drives it.
class IScreenBoard {
public:
    virtual ~IScreenBoard() = default;
    virtual void Show(BOOL show) = 0;
    virtual BYTE IsShown() = 0;
    // A reference rectangle on the screen, index 1 to 4.
    virtual void SetRect(const QRect& screenRect, int index) = 0;
};
// Makes the board from a command callback, the display scale, the language index and the
// font; null when there is no board. No board until the screen-share subsystem supplies one.
using ScreenBoardFactory = std::function<std::unique_ptr<IScreenBoard>(
    void (*callback)(signed char), float scale, int language, const QFont& font)>;

class CDlgFullDockX : public CYavDialogEx {
public:
    static constexpr UINT IDD = 182;
    static constexpr int IDC_EXIT = 1291;
    static constexpr int IDC_MORE = 1292;
    static constexpr int IDC_MEMBERS = 1294;
    static constexpr int IDC_CHAT = 1295;
    static constexpr int IDC_SPEAK = 1296;
    static constexpr int IDC_SHARE = 1297;
    static constexpr int IDC_MYVIEW = 1251;
    static constexpr UINT kWatchTimer = 112;
    static constexpr UINT kWatchMs = 100;
    // Board command 5 arrives here on the UI thread.
    static constexpr UINT WM_BOARD_SYNC = WM_USER + 0x612;

    explicit CDlgFullDockX(QWidget* parent = nullptr);
    ~CDlgFullDockX() override;

    static void SetBoardFactory(ScreenBoardFactory factory);
    // Where board commands 1 and 2 go (the slide tab registers itself).
    static void SetTabHandle(const yav::WindowHandle& tab);
    // The board's command callback: any thread; everything is posted to the UI thread.
    static void OnBoardCommand(signed char code);

    void SetExpand(CDlgExpand* tab) { m_pExpand = tab; }
    void ReloadTexts();
    void UpdateButtons();
    void SetCommandText(int code);
    void ShowBar();
    void ShowBarForced();
    void ShowWindowGuarded(int nCmdShow);
    void DockUserList();
    void ClearPanelButtons();
    void SetUserListPage(BOOL chat);
    void SyncBoardButton();
    // Esc while the room is in full screen: leaves it as the exit button does (the panel
    // docked). False when the room is not in full screen.
    bool LeaveFullScreenByKey();

    void OnBtnExit();
    void OnBtnShare();
    void OnBtnMore();
    void OnBtnSpeak();
    void OnBtnChat();
    void OnBtnMembers();
    void OnBtnMyView();

    void RedrawButtons(BOOL all) override;
    void LayoutControls() override;

    CButtonCheck& Button(int id);
    CDlgPopShare* SharePopup() { return m_pShare.get(); }
    CDlgPopMore* MorePopup() { return m_pMore.get(); }
    IScreenBoard* Board() { return m_pBoard.get(); }
    int GetSpeakState() const { return m_nSpeakState; }
    // The skin image a button shows now (0: none).
    UINT ButtonImage(int id) const;

protected:
    BOOL OnInitDialog() override;
    void OnTimer(UINT id) override;
    BOOL PreTranslateMessage(yav::Msg* msg) override;

private:
    void OnPanelButton(bool chat);
    void DrawIconButton(CButtonCheck& button, UINT image, bool active, double scale);
    bool StripWanted();
    void KeepAboveRoom();

    std::unique_ptr<IScreenBoard> m_pBoard;
    std::unique_ptr<CDlgPopMore> m_pMore;
    std::unique_ptr<CDlgPopShare> m_pShare;
    CButtonCheck m_btnMore;
    CButtonCheck m_btnChat;
    CButtonCheck m_btnShare;
    CButtonCheck m_btnSpeak;
    CButtonCheck m_btnMembers;
    CButtonCheck m_btnExit;
    CButtonCheck m_btnMyView;
    int m_nSpeakState = 0;
    CDlgExpand* m_pExpand = nullptr;
};
