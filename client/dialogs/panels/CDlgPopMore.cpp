#include "CDlgPopMore.h"

#include <QCursor>

#include "ConfigManger.h"
#include "PanelHost.h"
#include "PanelPopups.h"
#include "PanelRules.h"
#include "client/Common/MessageIds.h"
#include "platform/window/Scaled.h"

namespace {

bool Admin() {
    IPanelHost* host = GetPanelHost();
    return host != nullptr && host->IsMyRoleState0or5();
}

}  // namespace

CDlgPopMeetMng::CDlgPopMeetMng(QWidget* parent) : CTextItemPopup(IDD, parent) {
    AddItem({IDC_ADMIN, 14, 13, 11, 20});
    AddItem({IDC_CAPTION, 14, 13, 49, 20});
    AddItem({IDC_CONF_SET, 14, 13, 87, 20});
    AddItem({IDC_ROLLCALL, 14, 13, 123, 20});
    AddItem({IDC_DISSOLVE, 14, 13, 161, 20});
    MapCommand(IDC_ADMIN, [] {
        IPanelHost* host = GetPanelHost();
        if (host == nullptr) {
            return;
        }
        if (host->IsMyRoleState0or5()) {
            host->GiveUpChair();
        } else {
            host->ApplyAdmin();
        }
    });
    const std::pair<int, void (IPanelHost::*)()> actions[] = {
        {IDC_CAPTION, &IPanelHost::ShowHouselampDlg},
        {IDC_CONF_SET, &IPanelHost::ShowConfSetDlg},
        {IDC_ROLLCALL, &IPanelHost::ShowRollcallDlg},
        {IDC_DISSOLVE, &IPanelHost::DissolveConference}};
    for (const auto& [id, action] : actions) {
        MapCommand(id, [action = action] {
            IPanelHost* host = GetPanelHost();
            if (host != nullptr && host->IsMyRoleState0or5()) {
                (host->*action)();
            }
        });
    }
    MapMessage(WM_BUTTONCHECK_HOVER, [this](WPARAM id, LPARAM) -> LRESULT {
        RepaintItem(static_cast<int>(id));
        return 1;
    });
}

BOOL CDlgPopMeetMng::OnInitDialog() {
    SetAutoHide(1);
    SetAutoHideArmed(0);
    CTextItemPopup::OnInitDialog();
    ReloadTexts();
    return 1;
}

void CDlgPopMeetMng::ReloadTexts() {
    Item(IDC_DISSOLVE)->SetWindowText(LoadLangString(1042));
    Item(IDC_ROLLCALL)->SetWindowText(LoadLangString(2371));
    Item(IDC_CAPTION)->SetWindowText(LoadLangString(940));
    Item(IDC_CONF_SET)->SetWindowText(LoadLangString(2929));
    LayoutControls();
    UpdateLayer(1);
}

void CDlgPopMeetMng::RedrawButtons(BOOL all) {
    if (GetPanelHost() != nullptr) {
        const bool admin = Admin();
        Item(IDC_ADMIN)->SetWindowText(LoadLangString(admin ? 1051 : 1048));
        for (int id : {IDC_CAPTION, IDC_CONF_SET, IDC_ROLLCALL, IDC_DISSOLVE}) {
            Item(id)->EnableWindow(admin ? 1 : 0);
        }
    }
    CTextItemPopup::RedrawButtons(all);
}

CDlgPopMore::CDlgPopMore(QWidget* parent) : CTextItemPopup(IDD, parent) {
    AddItem({IDC_MEETING, 20, 7, 18, 20});
    AddItem({IDC_RECORD, 14, 13, 57, 20});
    AddItem({IDC_SETTINGS, 14, 13, 95, 20});
    AddItem({IDC_LEAVE, 14, 13, 133, 20});
    MapCommand(IDC_MEETING, [this] {
        RefreshButtonHighlights();
        ShowMeetingPopup(SW_SHOW);
    });
    MapCommand(IDC_RECORD, [this] {
        RefreshButtonHighlights();
        ShowWindow(SW_HIDE);
        if (IPanelHost* host = GetPanelHost()) {
            yav::PostMessage(host->GetRoomWindow(), WM_COMMAND, MAKEWPARAM(32783, 1), 0);
        }
    });
    MapCommand(IDC_SETTINGS, [this] {
        RefreshButtonHighlights();
        if (IPanelHost* host = GetPanelHost()) {
            host->ShowSettings();
        }
    });
    MapCommand(IDC_LEAVE, [this] {
        RefreshButtonHighlights();
        ShowWindow(SW_HIDE);
        if (IPanelHost* host = GetPanelHost()) {
            yav::PostMessage(host->GetRoomWindow(), WM_PANEL_CLOSE, 0, 0);
        }
    });
    MapMessage(WM_BUTTONCHECK_HOVER,
               [this](WPARAM id, LPARAM value) { return OnButtonCheckHover(id, value); });
}

CDlgPopMore::~CDlgPopMore() {
    m_pMeetMng.reset();
    DestroyWindow();
}

BOOL CDlgPopMore::OnInitDialog() {
    SetAutoHide(1);
    CTextItemPopup::OnInitDialog();
    m_pMeetMng = yav::panels::MakeHiddenPopup<CDlgPopMeetMng>(this, 478);
    SetCompanion(m_pMeetMng.get());
    ReloadTexts();
    return 1;
}

void CDlgPopMore::ReloadTexts() {
    Item(IDC_LEAVE)->SetWindowText(LoadLangString(2968));
    Item(IDC_SETTINGS)->SetWindowText(LoadLangString(775));
    Item(IDC_MEETING)->SetWindowText(LoadLangString(2728));
    UpdateRecordButton();
    if (m_pMeetMng != nullptr) {
        m_pMeetMng->ReloadTexts();
    }
    LayoutControls();
    UpdateLayer(1);
}

void CDlgPopMore::UpdateRecordButton() {
    IPanelHost* host = GetPanelHost();
    yav::panels::MeetingMenuInput input;
    if (host != nullptr) {
        input.admin = host->IsMyRoleState0or5();
        input.flagBit2 = host->IsMyFlagBit2();
        input.recordMode = host->GetRecordMode();
        input.recordState = host->GetRecordState();
    }
    CButtonCheck* record = Item(IDC_RECORD);
    record->SetWindowText(
        LoadLangString(yav::panels::RecordItemText(input.recordMode, input.recordState)));
    record->EnableWindow(input.admin || (input.recordMode == 0 && input.flagBit2) ? 1 : 0);
    RepaintItem(IDC_RECORD);
}

void CDlgPopMore::ShowMeetingPopup(int nCmdShow) {
    if (m_pMeetMng == nullptr) {
        return;
    }
    if (nCmdShow == SW_HIDE) {
        m_pMeetMng->ShowWindow(SW_HIDE);
        return;
    }
    const QRect r = GetWindowRect();
    m_pMeetMng->MoveWindow(r.right() + 1 + 2, r.top() + 8, yav::Scaled(109), yav::Scaled(194));
    m_pMeetMng->LayoutControls();
    m_pMeetMng->ShowWindow(nCmdShow);
    m_pMeetMng->RepaintItem(CDlgPopMeetMng::IDC_ADMIN);
}

LRESULT CDlgPopMore::OnButtonCheckHover(WPARAM id, LPARAM) {
    CButtonCheck* item = Item(static_cast<int>(id));
    if (item == nullptr) {
        return 1;
    }
    if (item->IsHover() != 0) {
        ShowMeetingPopup(static_cast<int>(id) == IDC_MEETING ? SW_SHOWNA : SW_HIDE);
    }
    RepaintItem(static_cast<int>(id));
    return 1;
}

void CDlgPopMore::RefreshButtonHighlights() {
    const QPoint cursor = QCursor::pos();
    for (int id : {IDC_MEETING, IDC_RECORD, IDC_SETTINGS, IDC_LEAVE}) {
        CButtonCheck* item = Item(id);
        const QRect inner = item->GetWindowRect().adjusted(1, 1, -1, -1);
        item->m_bRedraw = inner.contains(cursor) ? 1 : 0;
    }
    UpdateLayer(1);
}

void CDlgPopMore::OnShowWindow(BOOL show) {
    CTextItemPopup::OnShowWindow(show);
    if (show != 0) {
        UpdateLayer(1);
    }
}
