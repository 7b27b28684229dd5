#include "CDlgMgrChatGroup.h"

#include <QPainter>
#include <QPointer>

#include "ChatGroupRules.h"
#include "ChatRules.h"
#include "IChatHost.h"
#include "client/config/AppSettings.h"
#include "client/config/ConfigManger.h"
#include "client/config/LangFormat.h"
#include "client/ui/UiFonts.h"
#include "components/protocol/SubCommands.h"
#include "platform/window/Placement.h"
#include "platform/window/Scaled.h"

namespace {

constexpr int kTextTitle = 2536;
constexpr int kTextHiddenLabel = 2185;
constexpr int kTextGroupLabel = 2821;
constexpr int kTextGroupName = 2494;
constexpr int kTextOthersColumn = 2194;
constexpr int kTextMembersColumn = 2191;
constexpr int kTextNewGroup = 2155;
constexpr int kTextDissolve = 3052;
constexpr int kTextNobodyToRemove = 2197;
constexpr int kTextConfirmDissolveRemove = 2200;
constexpr int kTextConfirmDissolve = 2209;
constexpr int kConfirmBox = 1;

// The new-group counter lives as long as the process.
std::uint16_t g_wNewGroupCounter = 1;

std::vector<ST_USER_ITEM_DEPT> Users(IChatHost* host) {
    return host != nullptr ? host->GetAllUsers() : std::vector<ST_USER_ITEM_DEPT>{};
}

QString GroupName(int number) {
    return LoadLangString(kTextGroupName) + QString::number(number);
}

std::vector<std::uint16_t> TickedIds(const QListWidget& list) {
    std::vector<std::uint16_t> ids;
    for (int i = 0; i < list.count(); ++i) {
        const QListWidgetItem* item = list.item(i);
        if (item->checkState() == Qt::Checked) {
            ids.push_back(static_cast<std::uint16_t>(item->data(Qt::UserRole).toUInt()));
        }
    }
    return ids;
}

}  // namespace

CDlgMgrChatGroup::CDlgMgrChatGroup(IChatHost* host, QWidget* parent)
    : CDlgCommon(IDD, parent),
      m_pHost(host),
      m_staticTitle(this),
      m_staticHidden(this),
      m_staticGroup(this),
      m_comboGroup(this),
      m_listOthers(this),
      m_listMembers(this),
      m_btnClose(this),
      m_btnRemove(this),
      m_btnAdd(this),
      m_btnNewGroup(this),
      m_btnDissolve(this) {
    m_staticTitle.SetDlgCtrlID(IDC_TITLE);
    m_staticHidden.SetDlgCtrlID(IDC_LABEL_HIDDEN);
    m_staticGroup.SetDlgCtrlID(IDC_LABEL_GROUP);
    m_comboGroup.SetDlgCtrlID(IDC_GROUP);
    yav::SetControlId(&m_listOthers, IDC_OTHERS);
    yav::SetControlId(&m_listMembers, IDC_MEMBERS);
    m_btnClose.SetDlgCtrlID(IDC_CLOSE);
    m_btnRemove.SetDlgCtrlID(IDC_REMOVE);
    m_btnAdd.SetDlgCtrlID(IDC_ADD);
    m_btnNewGroup.SetDlgCtrlID(IDC_NEW_GROUP);
    m_btnDissolve.SetDlgCtrlID(IDC_DISSOLVE);
    MapCommand(IDC_REMOVE, [this] { OnRemoveMembers(); });
    MapCommand(IDC_ADD, [this] { OnAddMembers(); });
    MapCommand(IDC_DISSOLVE, [this] { OnDissolve(); });
    MapCommand(IDC_NEW_GROUP, [this] { OnNewGroup(); });
    MapCommand(IDC_CLOSE, [this] { OnCancel(); });
    QObject::connect(&m_comboGroup, QOverload<int>::of(&QComboBox::activated), this,
                     [this](int) { OnGroupSelected(); });
}

CDlgMgrChatGroup::~CDlgMgrChatGroup() {
    DestroyWindow();
}

BOOL CDlgMgrChatGroup::OnInitDialog() {
    CDlgCommon::OnInitDialog();
    SetWindowPos(yav::ZOrder::Keep, 0, 0, yav::Scaled(542), yav::Scaled(494),
                 SWP_NOMOVE | SWP_NOZORDER);
    m_staticTitle.SetAlignLeft();
    m_staticTitle.SetTextColor(RGB(255, 255, 255));
    m_staticHidden.ShowWindow(SW_HIDE);
    m_btnClose.LoadImages(162, 162, 160, 0, 0, 0, 0);
    m_btnRemove.LoadImages(168, 168, 168, 168, 0, 0, 0);
    m_btnAdd.LoadImages(184, 184, 184, 184, 0, 0, 0);
    m_btnNewGroup.LoadImages(178, 178, 176, 0, 0, 0, 0);
    m_btnNewGroup.SetTextColors(RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
                                RGB(255, 255, 255));
    m_btnDissolve.LoadImages(650, 650, 652, 0, 0, 0, 0);
    m_btnDissolve.SetTextColors(0x888888, 0x888888, 0x888888, 0x888888);
    m_btnNewGroup.SetShowText(1);
    m_btnDissolve.SetShowText(1);
    m_comboGroup.setFont(g_fontUI);
    m_listOthers.setFont(g_fontUI);
    m_listMembers.setFont(g_fontUI);
    InitMemberList();
    LayoutControls();
    return 1;
}

void CDlgMgrChatGroup::InitMemberList() {
    m_staticTitle.SetWindowText(LoadLangString(kTextTitle));
    m_staticHidden.SetWindowText(LoadLangString(kTextHiddenLabel));
    m_staticGroup.SetWindowText(LoadLangString(kTextGroupLabel));
    m_btnNewGroup.SetWindowText(LoadLangString(kTextNewGroup));
    m_btnDissolve.SetWindowText(LoadLangString(kTextDissolve));
    m_listOthers.setToolTip(LoadLangString(kTextOthersColumn));
    m_listMembers.setToolTip(LoadLangString(kTextMembersColumn));
}

void CDlgMgrChatGroup::OnSize(int cx, int cy) {
    CDlgCommon::OnSize(cx, cy);
    LayoutControls();
}

void CDlgMgrChatGroup::LayoutControls() {
    m_staticTitle.MoveWindow(yav::ScaledRect(12, 7, 220, 17));
    m_btnClose.MoveWindow(yav::ScaledRect(518, 7, 16, 16));
    m_staticGroup.MoveWindow(yav::ScaledRect(33, 53, 83, 25));
    m_staticHidden.MoveWindow(yav::ScaledRect(170, 53, 103, 25));
    m_comboGroup.MoveWindow(yav::ScaledRect(284, 50, 112, 23));
    m_listOthers.setGeometry(yav::ScaledRect(33, 93, 225, 335));
    m_listMembers.setGeometry(yav::ScaledRect(284, 93, 225, 335));
    m_btnAdd.MoveWindow(yav::ScaledRect(267, 234, 9, 15));
    m_btnRemove.MoveWindow(yav::ScaledRect(267, 273, 9, 15));
    m_btnNewGroup.MoveWindow(yav::ScaledRect(299, 448, 100, 24));
    m_btnDissolve.MoveWindow(yav::ScaledRect(409, 448, 100, 24));
}

BOOL CDlgMgrChatGroup::OnEraseBkgnd(QPainter& painter) {
    CDlgCommon::OnEraseBkgnd(painter);
    painter.setPen(QColor(0xE5, 0xE5, 0xE5));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(m_listOthers.geometry().adjusted(-1, -1, 0, 0));
    painter.drawRect(m_listMembers.geometry().adjusted(-1, -1, 0, 0));
    return 1;
}

void CDlgMgrChatGroup::ShowDialog() {
    ShowWindow(SW_SHOW);
    RefreshLists();
    SetWindowPos(yav::ZOrder::TopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    yav::CenterInWorkArea(this,
                          yav::ScreenNearest(GetParentWnd() != nullptr ? GetParentWnd() : this));
}

void CDlgMgrChatGroup::AddRow(QListWidget& list, const QString& name, std::uint16_t userId) {
    auto* item = new QListWidgetItem(name, &list);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
    item->setCheckState(Qt::Unchecked);
    item->setData(Qt::UserRole, QVariant::fromValue<uint>(userId));
}

bool CDlgMgrChatGroup::TickUser(QListWidget& list, std::uint16_t userId, bool ticked) {
    for (int i = 0; i < list.count(); ++i) {
        if (list.item(i)->data(Qt::UserRole).toUInt() == userId) {
            list.item(i)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
            return true;
        }
    }
    return false;
}

void CDlgMgrChatGroup::RefreshLists() {
    m_comboGroup.clear();
    m_listMembers.clear();
    m_listOthers.clear();
    const std::vector<ST_USER_ITEM_DEPT> users = Users(m_pHost);
    const std::vector<std::uint32_t> groups = yav::chat::DistinctGroups(users);
    m_nGroupsFound = static_cast<int>(groups.size());
    for (std::size_t k = 0; k < groups.size(); ++k) {
        m_comboGroup.addItem(GroupName(static_cast<int>(k) + 1),
                             QVariant::fromValue<uint>(groups[k]));
    }
    if (!groups.empty()) {
        m_comboGroup.setCurrentIndex(0);
        FillMembers(groups.front());
    }
    for (const ST_USER_ITEM_DEPT& user : users) {
        if (user.privateData.groupValue == 0) {
            AddRow(m_listOthers, yav::chat::UserName(user), user.userId);
        }
    }
}

void CDlgMgrChatGroup::FillMembers(std::uint32_t group) {
    m_listMembers.clear();
    for (const ST_USER_ITEM_DEPT& user : Users(m_pHost)) {
        if (group != 0 && user.privateData.groupValue == group) {
            AddRow(m_listMembers, yav::chat::UserName(user), user.userId);
        }
    }
}

std::uint32_t CDlgMgrChatGroup::SelectedGroup() const {
    const int index = m_comboGroup.currentIndex();
    return index < 0 ? 0 : m_comboGroup.itemData(index).toUInt();
}

void CDlgMgrChatGroup::OnGroupSelected() {
    FillMembers(SelectedGroup());
}

void CDlgMgrChatGroup::ShowBox(int textId) {
    if (m_pHost != nullptr) {
        m_pHost->ShowMessageBox(LoadLangString(textId), 0, {});
    }
}

void CDlgMgrChatGroup::OnNewGroup() {
    const int found = static_cast<int>(yav::chat::DistinctGroups(Users(m_pHost)).size());
    // Only one new, still empty group at a time.
    if (found != m_comboGroup.count() || m_pHost == nullptr) {
        return;
    }
    const std::uint32_t id = yav::chat::MakeGroupId(m_pHost->GetMyUserId(), g_wNewGroupCounter);
    m_comboGroup.addItem(GroupName(found + 1), QVariant::fromValue<uint>(id));
    m_comboGroup.setCurrentIndex(m_comboGroup.count() - 1);
    m_listMembers.clear();
}

void CDlgMgrChatGroup::OnAddMembers() {
    if (m_pHost == nullptr) {
        return;
    }
    const std::vector<std::uint16_t> ticked = TickedIds(m_listOthers);
    std::vector<std::uint8_t> states;
    for (const std::uint16_t id : ticked) {
        const auto user = m_pHost->GetUserById(id);
        states.push_back(user != nullptr ? user->speakState : 0);
    }
    const int limit = g_AppSettings.wSpeakerLimit;
    const yav::chat::AddRefusal refusal =
        yav::chat::CheckAddMembers(m_comboGroup.currentIndex() >= 0, m_listMembers.count(), states,
                                   m_pHost->GetSpeakerCount(), limit);
    if (refusal == yav::chat::AddRefusal::SpeakerLimit) {
        // The text is a printf format with the limit.
        m_pHost->ShowMessageBox(yav::SafeFormat(LoadLangString(static_cast<int>(refusal)), {limit}),
                                0, {});
        return;
    }
    if (refusal != yav::chat::AddRefusal::None) {
        ShowBox(static_cast<int>(refusal));
        return;
    }
    const std::uint32_t group = SelectedGroup();
    for (const std::uint16_t id : ticked) {
        m_pHost->MoveUserToAudioGroup(id, group);
    }
    RefreshLists();
}

void CDlgMgrChatGroup::OnRemoveMembers() {
    if (m_pHost == nullptr) {
        return;
    }
    const std::vector<std::uint16_t> ticked = TickedIds(m_listMembers);
    switch (yav::chat::ChooseRemoveAction(m_listMembers.count(), static_cast<int>(ticked.size()))) {
        case yav::chat::RemoveAction::NobodyTicked:
            ShowBox(kTextNobodyToRemove);
            return;
        case yav::chat::RemoveAction::SendLeave:
            for (const std::uint16_t id : ticked) {
                m_pHost->Transmit(id, yav::proto::kSubCommandGroupLeave, nullptr, 0);
            }
            return;
        case yav::chat::RemoveAction::ConfirmDissolve: {
            const std::uint32_t group = SelectedGroup();
            m_pHost->ShowMessageBox(LoadLangString(kTextConfirmDissolveRemove), kConfirmBox,
                                    [this, self = QPointer<QWidget>(this), group](int answer) {
                                        if (self != nullptr && answer == IChatHost::kIdOk) {
                                            m_pHost->DissolveAudioGroup(group);
                                        }
                                    });
            return;
        }
    }
}

void CDlgMgrChatGroup::OnDissolve() {
    if (m_pHost == nullptr) {
        return;
    }
    const int index = m_comboGroup.currentIndex();
    if (index < 0) {
        ShowBox(static_cast<int>(yav::chat::AddRefusal::NoGroup));
        return;
    }
    const std::uint32_t group = SelectedGroup();
    m_pHost->ShowMessageBox(LoadLangString(kTextConfirmDissolve), kConfirmBox,
                            [this, self = QPointer<QWidget>(this), index, group](int answer) {
                                if (self == nullptr || answer != IChatHost::kIdOk) {
                                    return;
                                }
                                if (m_listMembers.count() == 0) {
                                    // A group made here without members lives only in the combo.
                                    m_comboGroup.removeItem(index);
                                    m_comboGroup.setCurrentIndex(std::max(0, index - 1));
                                } else {
                                    m_pHost->DissolveAudioGroup(group);
                                }
                                FillMembers(SelectedGroup());
                            });
}
