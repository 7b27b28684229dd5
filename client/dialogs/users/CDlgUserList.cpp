#include "CDlgUserList.h"

#include "client/dialogs/chat/ChatRoomWindows.h"

#include <algorithm>

#include <QCursor>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextEdit>

#include "CDlgFindCase.h"
#include "CKroGdiBtn.h"
#include "CKroGdiBtnImage.h"
#include "CTransparentStatic.h"
#include "CYavPngButton.h"
#include "CYavTabButtonGDI.h"
#include "Common/MessageIds.h"
#include "IPreviewWindow.h"
#include "config/ConfigManger.h"
#include "config/LangFormat.h"
#include "platform/core/Log.h"
#include "platform/core/Scale.h"
#include "ui/UiFonts.h"

using namespace yav::users;
using yav::Scaled;

namespace {

enum : int {
    kTextMembers = 481,
    kTextChat = 493,
    kTextPlaceholder = 487,
    kTextChairKeyword = 511,
    kTextPresenterKeyword = 2812,
    kTextOnline = 2821,
    kTextSpeakingKeyword = 2824,
    kTextSearch = 2827,
    kTextMe = 2842,
    kTextHideStage = 3163,
    kTextShowStage = 3166,
    kTextStageCaption = 3226,
};

constexpr int kTabWidth = 61;
constexpr int kTabHeight = 36;
constexpr int kTreeLeft = 20;
constexpr int kStageListHeight = 144;
constexpr int kCounterHeight = 35;
// The search bar's band below the counter: the label, the edit and the clear button.
constexpr int kSearchBarRows = 35;
constexpr int kMinTreeRows = 2;
// The click area of the stage toggle's caption band.
const QRect kStageToggleArea(QPoint(112, 40), QPoint(204, 70));

// The trees' host while the panel has no room: no role, nothing counted, nothing sent.
class NoRoomActions final : public ITreeActionHost {
public:
    bool IsMyRoleState0or5() const override { return false; }
    bool IsMyRoleState2() const override { return false; }
    std::uint16_t GetMyUserId() const override { return 0; }
    int GetSpeakerCount() const override { return 0; }
    int GetOwnBroadcastCount() const override { return 0; }
    ConfLimits GetLimits() const override { return {}; }
    RemoteAssistState GetRemoteAssistState() const override { return {}; }
    void AwardSpeek(std::uint16_t, std::uint8_t) override {}
    void SetPresenter(std::uint16_t, std::uint8_t) override {}
    void ApplyPresenter() override {}
    void SetTempAdmin(std::uint16_t, std::uint8_t) override {}
    void KickUser(std::uint16_t, std::uint16_t) override {}
    void RequestUserVideo(std::uint16_t, std::uint8_t) override {}
    void BroadcastVideo(std::uint16_t, std::uint8_t) override {}
    void GrantScreenControl(std::uint16_t, std::uint8_t) override {}
    void RequestRemoteAssist(std::uint16_t, int) override {}
    void OpenDeviceDialog(std::uint16_t) override {}
    bool HasDeviceDialog() const override { return false; }
    bool HasRemoteAssist() const override { return false; }
    std::uint16_t GetPreviewMediaId() const override { return 0; }
    bool HasPreviewWindow() const override { return false; }
    void ReceiveVideo(std::uint16_t, std::uint8_t) override {}
    bool IsInLayout(std::uint16_t) const override { return false; }
    bool IsOwnLayout() const override { return false; }
    void ShowNotice(int, int) override {}
    bool Confirm(int, int) override { return false; }
};

ITreeActionHost& NoRoomHost() {
    static NoRoomActions host;
    return host;
}

}  // namespace

CDlgUserList::CDlgUserList(QWidget* parent)
    : yav::Dialog(IDD, parent, Style::Child), m_actionHost(&NoRoomHost()) {
    m_model.SetHost(this);
    m_pUserTree = new CMyTreeCtrl(m_model.Members(), m_model.Members(), *m_actionHost, *this, this);
    m_pUserTree->SetDlgCtrlID(IDC_USER_TREE);
    m_pResultTree =
        new CMyTreeCtrl(m_model.Results(), m_model.Members(), *m_actionHost, *this, this);
    m_pResultTree->SetDlgCtrlID(IDC_RESULT_TREE);
    m_pStageList = new CMyTreeCtrl(m_model.Stage(), m_model.Members(), *m_actionHost, *this, this);
    m_pStageList->SetDlgCtrlID(IDC_STAGE_LIST);

    m_pTabMembers = new CYavTabButtonGDI(this);
    m_pTabMembers->SetDlgCtrlID(IDC_TAB_MEMBERS);
    m_pTabChat = new CYavTabButtonGDI(this);
    m_pTabChat->SetDlgCtrlID(IDC_TAB_CHAT);
    for (CYavTabButtonGDI* tab : {m_pTabMembers, m_pTabChat}) {
        tab->SetTextColors(RGB(0x4A, 0x4A, 0x4A), RGB(0x33, 0x85, 0xED));
        tab->SetFontSize(Scaled(12));
    }
    m_pStageCaption = new CKroGdiBtn(this);
    m_pStageCaption->SetDlgCtrlID(IDC_STAGE_CAPTION);
    m_pStageCaption->EnableWindow(0);
    m_pStageToggle = new CYavPngButton(this);
    m_pStageToggle->SetDlgCtrlID(IDC_STAGE_TOGGLE);
    m_pStageToggle->LoadImages(996, 996, 998, 996, 1000, 1000, 1002);
    m_pOnlineCount = new CKroGdiBtn(this);
    m_pOnlineCount->SetDlgCtrlID(IDC_ONLINE_COUNT);
    m_pOnlineCount->EnableWindow(0);
    m_pSearchToggle = new CYavPngButton(this);
    m_pSearchToggle->SetDlgCtrlID(IDC_SEARCH_TOGGLE);
    m_pSearchToggle->LoadImages(880, 880, 880, 880, 880, 880, 880);
    m_pSearchLabel = new CTransparentStatic(this);
    m_pSearchLabel->SetDlgCtrlID(IDC_SEARCH_LABEL);
    m_pSearchLabel->SetAlignCenter();
    m_pSearchLabel->SetLineAlign(1);
    m_pSearchLabel->SetTextColor(RGB(0xC9, 0xC9, 0xC9));
    m_pSearchEdit = new QLineEdit(this);
    yav::SetControlId(m_pSearchEdit, IDC_SEARCH_EDIT);
    m_pSearchEdit->setFont(g_fontUI);
    m_pSearchClear = new CKroGdiBtnImage(this);
    m_pSearchClear->SetDlgCtrlID(IDC_SEARCH_CLEAR);
    m_pSearchClear->SetImages(850, 854, 0, RGB(0xF3, 0xF3, 0xF3));

    QObject::connect(m_pSearchEdit, &QLineEdit::textChanged, this,
                     [this](const QString& text) { OnSearchTextChanged(text); });
    MapCommand(IDC_TAB_CHAT, [this] { SelectChatTab(); });
    MapCommand(IDC_TAB_MEMBERS, [this] { SelectMembersTab(); });
    MapCommand(IDC_SEARCH_TOGGLE, [this] { OnSearchToggle(); });
    MapCommand(IDC_STAGE_CAPTION, [] {});
    MapCommand(IDC_STAGE_TOGGLE, [this] { OnStageToggle(); });
    MapCommand(IDC_SEARCH_CLEAR, [this] { OnSearchClear(); });
    MapMessage(WM_FINDCASE_CHOICE, [this](WPARAM w, LPARAM) { return OnFindCaseChoice(w); });

    m_model.SetSearchTexts({LoadLangString(kTextPresenterKeyword),
                            LoadLangString(kTextChairKeyword), LoadLangString(kTextSpeakingKeyword),
                            LoadLangString(kTextPlaceholder)});
}

CDlgUserList::~CDlgUserList() {
    delete m_pFindCase;
}

void CDlgUserList::SetRoom(std::unique_ptr<IUserListRoom> room) {
    m_pRoom = std::move(room);
    ApplyActionHost();
}

void CDlgUserList::SetActionHost(ITreeActionHost* host) {
    m_pTestHost = host;
    ApplyActionHost();
}

void CDlgUserList::ApplyActionHost() {
    m_actionHost = m_pTestHost != nullptr ? m_pTestHost
                   : m_pRoom != nullptr   ? m_pRoom.get()
                                          : &NoRoomHost();
    // The trees act through the host they were made with: remake their actions' host.
    for (CMyTreeCtrl* tree : {m_pUserTree, m_pResultTree, m_pStageList}) {
        tree->Actions().SetHost(*m_actionHost);
    }
}

void CDlgUserList::AttachChat(std::unique_ptr<ChatRoomWindows> chat) {
    m_pChatWindows = std::move(chat);
    if (m_pChatWindows != nullptr) {
        SetChatWindow(&m_pChatWindows->Chat(), &m_pChatWindows->Chat());
    }
}

void CDlgUserList::SetChatWindow(IChat* chat, QWidget* chatWidget) {
    m_pChat = chat;
    m_pChatWidget = chatWidget;
    if (chatWidget != nullptr) {
        chatWidget->setParent(this);
        LayoutControls();
        chatWidget->setVisible(m_nCurPage == kPageChat);
    }
}

BOOL CDlgUserList::OnInitDialog() {
    yav::Dialog::OnInitDialog();
    m_pStageToggle->SetState(m_bStageShown ? 1 : 0);
    ReloadTexts();
    m_pTabMembers->Select();
    m_pTabChat->Unselect();
    ShowMembersPage(true);
    LayoutControls();
    SetTimer(kFindCaseTimer, kFindCaseDelayMs);
    return 1;
}

BOOL CDlgUserList::PreTranslateMessage(yav::Msg* msg) {
    if (msg->message != WM_KEYDOWN) {
        return yav::Dialog::PreTranslateMessage(msg);
    }
    if (msg->wParam == VK_RETURN) {
        return 0;
    }
    if (msg->wParam == VK_ESCAPE) {
        return 1;
    }
    if (msg->wParam == VK_SPACE) {
        const bool typing = qobject_cast<QLineEdit*>(msg->hwnd) != nullptr ||
                            qobject_cast<QTextEdit*>(msg->hwnd) != nullptr ||
                            qobject_cast<QPlainTextEdit*>(msg->hwnd) != nullptr;
        return typing ? 0 : 1;
    }
    return yav::Dialog::PreTranslateMessage(msg);
}

int CDlgUserList::OnNcHitTest(const QPoint& screenPoint) {
    return m_bFloat ? HTCAPTION : yav::Dialog::OnNcHitTest(screenPoint);
}

void CDlgUserList::OnTimer(UINT id) {
    if (id == kSearchTimer) {
        KillTimer(kSearchTimer);
        YLOG_DEBUG("<CDlgUserList::OnTimerSouTreeUser 1>");
        m_model.RunSearch(m_strSearch);
        m_pSearchClear->SetUseAlternate(true);
        LayoutControls();
        YLOG_DEBUG("<CDlgUserList::OnTimerSouTreeUser 2>");
        return;
    }
    if (id == kFindCaseTimer) {
        KillTimer(kFindCaseTimer);
        if (m_pFindCase == nullptr) {
            m_pFindCase = new CDlgFindCase(this);
            m_pFindCase->SetOwner(this);
            m_pFindCase->SetBackgroundImage(CDlgFindCase::kImageBackground, 0);
            m_pFindCase->Create(CDlgFindCase::IDD, this);
        }
        return;
    }
    yav::Dialog::OnTimer(id);
}

void CDlgUserList::OnSearchTextChanged(const QString& text) {
    if (m_pFindCase != nullptr) {
        m_pFindCase->ShowWindow(SW_HIDE);
    }
    if (text.isEmpty()) {
        KillTimer(kSearchTimer);
        m_model.ClearSearch();
        m_pSearchClear->SetUseAlternate(false);
        LayoutControls();
        return;
    }
    m_strSearch = text;
    // Each change restarts the wait: typing runs one search, after the last key.
    SetTimer(kSearchTimer, kSearchDelayMs);
}

void CDlgUserList::OnSearchClear() {
    if (m_model.IsSearchActive()) {
        m_model.ClearSearch();
        m_pSearchClear->SetUseAlternate(false);
        m_pSearchEdit->clear();
        LayoutControls();
        return;
    }
    if (m_pFindCase != nullptr) {
        const QRect button = m_pSearchClear->GetWindowRect();
        m_pFindCase->MoveWindow(button.left(), button.bottom() + 1, m_pFindCase->width(),
                                m_pFindCase->height());
        m_pFindCase->SetWindowPos(yav::ZOrder::TopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        m_pFindCase->ShowWindow(SW_SHOW);
    }
}

LRESULT CDlgUserList::OnFindCaseChoice(WPARAM choice) {
    // The keywords are the pop-up's own captions.
    if (choice >= 1 && choice <= 3) {
        m_pSearchEdit->setText(LoadLangString(CDlgFindCase::kTextChoices[choice - 1]));
    }
    return 1;
}

void CDlgUserList::OnSearchToggle() {
    m_bSearchBarShown = !m_bSearchBarShown;
    if (!m_bSearchBarShown) {
        m_model.ClearSearch();
        m_pSearchEdit->clear();
    }
    ShowMembersPage(m_nCurPage == kPageMembers);
    LayoutControls();
}

void CDlgUserList::OnStageToggle() {
    const bool shown = !m_bStageShown;
    m_pStageToggle->SetState(shown ? 1 : 0);
    if (shown != m_bStageShown) {
        m_bStageShown = shown;
        ShowMembersPage(m_nCurPage == kPageMembers);
        LayoutControls();
    }
    UpdateTips();
}

void CDlgUserList::UpdateTips() {
    m_pSearchToggle->SetTooltip(LoadLangString(kTextSearch), 0);
    m_pStageToggle->SetTooltip(LoadLangString(m_bStageShown ? kTextShowStage : kTextHideStage), 0);
}

void CDlgUserList::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const QRect area(Scaled(kStageToggleArea.left()), Scaled(kStageToggleArea.top()),
                     Scaled(kStageToggleArea.width()), Scaled(kStageToggleArea.height()));
    if (event->button() == Qt::LeftButton && m_nCurPage == kPageMembers && area.contains(at)) {
        OnStageToggle();
        return;
    }
    yav::Dialog::mousePressEvent(event);
}

void CDlgUserList::SelectChatTab() {
    if (m_nCurPage == kPageChat) {
        return;
    }
    m_nCurPage = kPageChat;
    m_pTabChat->Select();
    m_pTabMembers->Unselect();
    ShowMembersPage(false);
    TellStripThePage();
    StopPreview();
    for (CMyTreeCtrl* tree : {m_pUserTree, m_pResultTree}) {
        tree->HidePopups();
    }
    LayoutControls();
}

void CDlgUserList::SelectMembersTab() {
    if (m_nCurPage == kPageMembers) {
        return;
    }
    m_nCurPage = kPageMembers;
    m_pTabMembers->Select();
    m_pTabChat->Unselect();
    ShowMembersPage(true);
    TellStripThePage();
    for (CMyTreeCtrl* tree : {m_pUserTree, m_pResultTree}) {
        tree->HidePopups();
    }
    LayoutControls();
}

void CDlgUserList::TellStripThePage() {
    if (!m_bFloat) {
        return;
    }
    IFullDockX* strip = m_pRoom != nullptr ? m_pRoom->GetFullDock() : m_pStrip;
    if (strip != nullptr) {
        strip->SetUserListPage(m_nCurPage == kPageChat ? 1 : 0);
    }
}

void CDlgUserList::ShowMembersPage(bool show) {
    const bool searching = m_model.IsSearchActive();
    m_pUserTree->setVisible(show && !searching);
    m_pResultTree->setVisible(show && searching);
    m_pStageList->setVisible(show && m_bStageShown);
    for (QWidget* bar :
         std::initializer_list<QWidget*>{m_pSearchLabel, m_pSearchEdit, m_pSearchClear}) {
        bar->setVisible(show && m_bSearchBarShown);
    }
    for (QWidget* always : std::initializer_list<QWidget*>{m_pOnlineCount, m_pSearchToggle,
                                                           m_pStageToggle, m_pStageCaption}) {
        always->setVisible(show);
    }
    if (m_pChatWidget != nullptr) {
        m_pChatWidget->setVisible(!show);
    }
}

void CDlgUserList::LayoutControls() {
    const int width = this->width();
    const int height = this->height();
    const int tabWidth = Scaled(kTabWidth);
    const int tabHeight = Scaled(kTabHeight);
    const int tabsLeft = (width - 2 * tabWidth) / 2;
    m_pTabChat->setGeometry(tabsLeft, 0, tabWidth, tabHeight);
    m_pTabMembers->setGeometry(tabsLeft + tabWidth, 0, tabWidth, tabHeight);
    if (m_pChatWidget != nullptr) {
        const int top = tabHeight + static_cast<int>(3 * 0.8 * g_fExchangePW);
        m_pChatWidget->setGeometry(0, top, width, std::max(0, height - top));
    }
    // The members page, from the top down.
    int y = tabHeight + Scaled(4);
    m_pStageCaption->setGeometry(Scaled(kTreeLeft), y, Scaled(100), Scaled(20));
    m_pStageToggle->setGeometry(width - Scaled(40), y, Scaled(22), Scaled(22));
    y += Scaled(24);
    if (m_bStageShown) {
        // A short panel (floating on a small monitor) gives up stage rows first: the counter,
        // the search bar and two rows of the participant tree stay inside it.
        const int below = Scaled(kCounterHeight) +
                          (m_bSearchBarShown ? Scaled(kSearchBarRows) : 0) +
                          Scaled(kMinTreeRows * CMyTreeCtrl::kItemHeightDesign);
        const int stageHeight = std::clamp(height - y - below, 0, Scaled(kStageListHeight));
        m_pStageList->setGeometry(Scaled(kTreeLeft), y, width - Scaled(kTreeLeft), stageHeight);
        y += stageHeight;
    }
    m_pOnlineCount->setGeometry(Scaled(kTreeLeft), y, Scaled(150), Scaled(kCounterHeight));
    m_pSearchToggle->setGeometry(width - Scaled(40), y + Scaled(9), Scaled(16), Scaled(17));
    y += Scaled(kCounterHeight);
    if (m_bSearchBarShown) {
        const int barTop = y + Scaled(10);
        m_pSearchLabel->setGeometry(Scaled(kTreeLeft), barTop, Scaled(47), Scaled(20));
        m_pSearchEdit->setGeometry(Scaled(kTreeLeft) + Scaled(50), barTop + Scaled(1),
                                   width - Scaled(kTreeLeft) - Scaled(50) - Scaled(30), Scaled(18));
        m_pSearchClear->setGeometry(width - Scaled(27), barTop - Scaled(2), Scaled(23), Scaled(23));
        y += Scaled(kSearchBarRows);
    }
    const QRect trees(Scaled(kTreeLeft), y, width - Scaled(kTreeLeft), std::max(0, height - y));
    m_pUserTree->setGeometry(trees);
    m_pResultTree->setGeometry(trees);
    if (m_nCurPage == kPageMembers) {
        ShowMembersPage(true);
    }
    update();
}

void CDlgUserList::resizeEvent(QResizeEvent* event) {
    yav::Dialog::resizeEvent(event);
    LayoutControls();
    if (width() == 0) {
        StopPreview();
    }
}

BOOL CDlgUserList::OnEraseBkgnd(QPainter& painter) {
    const QRect client = GetClientRect();
    painter.fillRect(client, QColor(0xF3, 0xF3, 0xF3));
    painter.fillRect(QRect(0, 0, client.width(), Scaled(kTabHeight)), QColor(0xF0, 0xF0, 0xF0));
    if (m_nCurPage == kPageMembers) {
        const int bandTop = Scaled(kTabHeight);
        painter.fillRect(QRect(0, bandTop, client.width(), Scaled(24)), QColor(0xE8, 0xE8, 0xE8));
    }
    painter.setPen(QColor(0xE8, 0xE8, 0xE8));
    painter.drawLine(0, Scaled(kTabHeight), client.width(), Scaled(kTabHeight));
    if (m_bFloat) {
        painter.drawRect(client.adjusted(0, 0, -1, -1));
    }
    return 1;
}

void CDlgUserList::StopPreview() {
    if (const std::uint16_t shown = m_actionHost->GetPreviewMediaId(); shown != 0) {
        m_pUserTree->Actions().ToggleUserPreview(shown);
    }
}

void CDlgUserList::ToggleUserPreview(std::uint16_t wMediaId) {
    m_pUserTree->Actions().ToggleUserPreview(wMediaId);
}

// --- IUserList ---

void CDlgUserList::ShowDlg(int nCmdShow) {
    if (nCmdShow == SW_HIDE) {
        StopPreview();
    }
    yav::Dialog::ShowWindow(nCmdShow);
}

void CDlgUserList::ResetSearch() {
    if (m_model.IsSearchActive()) {
        m_model.ClearSearch();
        m_pSearchClear->SetUseAlternate(false);
        m_pSearchEdit->clear();
        LayoutControls();
    }
}

void CDlgUserList::ClearLocalUser() {
    if (m_wMyUserId == 0) {
        return;
    }
    m_wMyUserId = 0;
    m_model.ClearLocalUser();
}

void CDlgUserList::SetOnlineCountText(int count) {
    m_nOnlineCount = count;
    m_pOnlineCount->SetWindowTextRefresh(GetOnlineCountText());
}

QString CDlgUserList::GetOnlineCountText() const {
    return QStringLiteral("%1(%2)").arg(LoadLangString(kTextOnline),
                                        QString::number(m_nOnlineCount));
}

void CDlgUserList::SetLocalUser(std::uint16_t myUserId) {
    if (m_wMyUserId != 0) {
        return;
    }
    m_wMyUserId = myUserId;
    m_model.SetLocalUser(myUserId);
}

void CDlgUserList::SetMyDeviceState(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d,
                                    std::uint8_t e, std::uint8_t f) {
    const std::uint8_t state[6] = {a, b, c, d, e, f};
    m_model.SetMyDeviceState(state);
}

int CDlgUserList::AddUser(const ST_USER_ITEM_DEPT* record) {
    return record != nullptr && m_model.AddUser(*record) ? 1 : 0;
}

void CDlgUserList::OnUserLeave(std::uint16_t userId, std::uint32_t departmentId) {
    m_model.OnUserLeave(userId, departmentId);
}

void CDlgUserList::OnUserUpdate(const ST_USER_ITEM_DEPT* record) {
    if (record != nullptr) {
        m_model.OnUserUpdate(*record);
    }
}

void CDlgUserList::OnLeadingStatus(std::uint16_t userId, std::uint8_t presenterState) {
    m_model.OnLeadingStatus(userId, presenterState);
}

void CDlgUserList::OnUserAudioState(std::uint16_t userId, std::uint8_t speakState) {
    m_model.OnUserAudioState(userId, speakState);
    FlashMembersTab();
}

void CDlgUserList::OnUserKindChanged(std::uint16_t userId, std::uint32_t departmentId,
                                     std::uint8_t kind) {
    m_model.OnUserKindChanged(userId, departmentId, kind);
}

void CDlgUserList::SetBroadcastState(std::uint16_t mediaId, std::uint8_t on) {
    m_model.SetBroadcastState(mediaId, on != 0);
}

void CDlgUserList::RefreshUserItem(std::uint16_t, std::uint32_t) {
    m_pUserTree->viewport()->update();
    m_pStageList->viewport()->update();
}

void CDlgUserList::AddDepartment(const ST_TREE_DEPT* dept, std::uint32_t parentKey) {
    if (dept != nullptr) {
        ST_TREE_DEPT copy = *dept;
        copy.parentKey = parentKey;
        m_model.AddDepartment(copy);
    }
}

void CDlgUserList::AddRootDepartment(const ST_TREE_DEPT* dept) {
    if (dept != nullptr) {
        ST_TREE_DEPT copy = *dept;
        copy.parentKey = kTopLevelParentKey;
        m_model.AddDepartment(copy);
    }
}

bool CDlgUserList::FindDeptItem(std::uint32_t departmentKey) const {
    return m_model.Members().FindDeptItem(departmentKey) != nullptr;
}

void CDlgUserList::OnVideoReceived(std::uint16_t mediaId, std::uint8_t on) {
    m_model.OnVideoReceived(mediaId, on != 0);
}

int CDlgUserList::GetSpeakerCount() const {
    return m_model.Members().GetSpeakerCount();
}

void CDlgUserList::GetBroadcastMediaIds(std::vector<std::uint16_t>& out) const {
    m_model.Members().GetBroadcastMediaIds(out);
}

int CDlgUserList::GetBroadcastCount() const {
    return m_model.Members().GetBroadcastCount() + m_actionHost->GetOwnBroadcastCount();
}

bool CDlgUserList::IsBroadcasting(std::uint16_t mediaId) const {
    return m_model.Members().IsBroadcasting(mediaId);
}

void CDlgUserList::AddScreenControlUser(std::uint16_t userId) {
    m_model.Members().AddScreenControlUser(userId);
}

void CDlgUserList::RemoveScreenControlUser(std::uint16_t userId) {
    m_model.Members().RemoveScreenControlUser(userId);
}

void CDlgUserList::ClearScreenControlUsers() {
    m_model.Members().ClearScreenControlUsers();
}

const ST_TREE_USER* CDlgUserList::FindUserItemByName(const QString& name) const {
    return m_model.Members().FindUserByName(name);
}

void CDlgUserList::ResetAll() {
    ResetSearch();
    m_model.ResetAll();
    LayoutControls();
}

void CDlgUserList::SetFloat(bool floating) {
    m_bFloat = floating;
    if (floating) {
        const QRect onScreen = GetWindowRect();
        setParent(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        move(onScreen.topLeft());
        show();
    } else {
        setParent(GetParentWnd(), Qt::Widget);
        show();
    }
    update();
}

void CDlgUserList::ReloadTexts() {
    m_pTabMembers->SetWindowTextRefresh(LoadLangString(kTextMembers));
    m_pTabChat->SetWindowTextRefresh(LoadLangString(kTextChat));
    m_pStageCaption->SetWindowTextRefresh(LoadLangString(kTextStageCaption));
    m_pOnlineCount->SetWindowTextRefresh(GetOnlineCountText());
    m_pSearchLabel->SetWindowText(LoadLangString(kTextSearch));
    UpdateTips();
    m_model.SetSearchTexts({LoadLangString(kTextPresenterKeyword),
                            LoadLangString(kTextChairKeyword), LoadLangString(kTextSpeakingKeyword),
                            LoadLangString(kTextPlaceholder)});
    for (CMyTreeCtrl* tree : {m_pUserTree, m_pResultTree, m_pStageList}) {
        tree->SetMeText(LoadLangString(kTextMe));
    }
    if (m_pFindCase != nullptr) {
        m_pFindCase->ReloadTexts();
    }
    if (m_pChat != nullptr) {
        m_pChat->UpdateTips();
    }
}

void CDlgUserList::FlashChatTab() {
    if (m_nCurPage != kPageChat) {
        m_pTabChat->SetMark();
    }
}

void CDlgUserList::FlashMembersTab() {
    if (m_nCurPage == kPageChat) {
        m_pTabMembers->SetMark();
    }
}

bool CDlgUserList::IsChatInputHovered() const {
    return m_nCurPage == kPageChat && m_pChat != nullptr && m_pChat->IsCursorOverInput();
}

// --- IUserListHost ---

void CDlgUserList::AddChatRecipient(const ST_USER_ITEM_DEPT& record) {
    if (m_pChat != nullptr) {
        m_pChat->AddRecipient(&record);
    }
}

void CDlgUserList::RemoveChatRecipient(std::uint16_t userId) {
    if (m_pChat != nullptr) {
        m_pChat->RemoveRecipient(userId);
    }
}

void CDlgUserList::OnPresenterJoined(std::uint16_t userId, bool isMe) {
    YLOG_DEBUG("presenter in the participant list user=%u me=%d", userId, isMe ? 1 : 0);
    if (isMe || m_pRoom == nullptr) {
        return;
    }
    // Someone else presents: the tool bar and the document window follow.
    m_pRoom->OnOtherPresenter();
}

void CDlgUserList::SetSpeakIndicator(std::uint16_t mediaId, bool on) {
    // The video windows showing the channel mark its broadcast.
    if (m_pRoom != nullptr) {
        m_pRoom->SetVideoSpeakIndicator(mediaId, on);
    }
}

// --- ITreeViewHost ---

LocalRole CDlgUserList::GetLocalRole() const {
    LocalRole role;
    role.admin = m_actionHost->IsMyRoleState0or5();
    role.chair = role.admin || m_actionHost->IsMyRoleState2();
    if (m_pRoom != nullptr) {
        role.voiceGroup = m_pRoom->GetMyVoiceGroup();
    } else if (const TreeUser* me = m_model.Members().FindUserRecord(m_wMyUserId); me != nullptr) {
        role.voiceGroup = VoiceGroupOf(*me);
    }
    return role;
}

void CDlgUserList::PlacePreviewWindow(const QRect& rowOnScreen) {
    IPreviewWindow* preview = m_pRoom != nullptr ? m_pRoom->GetPreviewWindow() : nullptr;
    if (preview == nullptr || preview->GetMediaId() == 0) {
        return;
    }
    const QScreen* screen = this->screen();
    const QRect monitor = screen != nullptr ? screen->geometry() : QRect();
    preview->PlaceAt(PreviewPlacement(rowOnScreen, rowOnScreen.height(), preview->GetSize(),
                                      monitor, m_bFloat, GetWindowRect()));
}

const TreeUser* CDlgUserList::FindUserRecord(std::uint16_t mediaId) const {
    return m_model.FindUserRecord(mediaId);
}
