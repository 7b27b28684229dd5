#pragma once
// The chair's manager of voice groups: a combo of the groups found among the participants,
// the ticked members of the selected group, the participants in no group, and buttons to
// make a group, add the ticked participants, remove the ticked members and dissolve it.
// Members are moved and groups dissolved through the room.

#include <QListWidget>

#include <cstdint>

#include "client/ui/CComboBoxXP.h"
#include "client/ui/CDlgCommon.h"
#include "client/ui/CTransparentStatic.h"
#include "client/ui/CYavPngButton.h"

class IChatHost;

class CDlgMgrChatGroup : public CDlgCommon {
public:
    static constexpr UINT IDD = 162;
    static constexpr int IDC_TITLE = 1016;
    static constexpr int IDC_CLOSE = 1029;
    static constexpr int IDC_GROUP = 1233;
    static constexpr int IDC_MEMBERS = 1234;
    static constexpr int IDC_OTHERS = 1235;
    static constexpr int IDC_REMOVE = 1236;
    static constexpr int IDC_ADD = 1237;
    static constexpr int IDC_DISSOLVE = 1238;
    static constexpr int IDC_LABEL_HIDDEN = 1239;
    static constexpr int IDC_NEW_GROUP = 1251;
    static constexpr int IDC_LABEL_GROUP = 1324;

    explicit CDlgMgrChatGroup(IChatHost* host, QWidget* parent = nullptr);
    ~CDlgMgrChatGroup() override;

    void ShowDialog();
    void RefreshLists();
    void InitMemberList();

    void OnNewGroup();
    void OnAddMembers();
    void OnRemoveMembers();
    void OnDissolve();
    void OnGroupSelected();

    CComboBoxXP& GetGroupCombo() { return m_comboGroup; }
    QListWidget& GetMemberList() { return m_listMembers; }
    QListWidget& GetOtherList() { return m_listOthers; }
    // Ticks the row of a user in a list (tests and keyboard).
    static bool TickUser(QListWidget& list, std::uint16_t userId, bool ticked = true);

protected:
    BOOL OnInitDialog() override;
    void OnSize(int cx, int cy) override;
    BOOL OnEraseBkgnd(QPainter& painter) override;

private:
    void LayoutControls();
    void FillMembers(std::uint32_t group);
    std::uint32_t SelectedGroup() const;
    void ShowBox(int textId);
    void AddRow(QListWidget& list, const QString& name, std::uint16_t userId);

    IChatHost* m_pHost;
    CTransparentStatic m_staticTitle;
    CTransparentStatic m_staticHidden;
    CTransparentStatic m_staticGroup;
    CComboBoxXP m_comboGroup;
    QListWidget m_listOthers;
    QListWidget m_listMembers;
    CYavPngButton m_btnClose;
    CYavPngButton m_btnRemove;
    CYavPngButton m_btnAdd;
    CYavPngButton m_btnNewGroup;
    CYavPngButton m_btnDissolve;
    int m_nGroupsFound = 0;
};
