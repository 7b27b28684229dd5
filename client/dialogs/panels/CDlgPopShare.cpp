#include "CDlgPopShare.h"

#include "ConfigManger.h"
#include "PanelHost.h"
#include "PanelPopups.h"
#include "PanelRules.h"
#include "client/Common/MessageIds.h"
#include "platform/window/Scaled.h"

namespace {

constexpr struct {
    int id;
    int text;
} kItems[] = {{CDlgPopShare::IDC_WHITEBOARD, 2908}, {CDlgPopShare::IDC_DISK, 2899},
              {CDlgPopShare::IDC_LOCAL, 2902},      {CDlgPopShare::IDC_MEDIA, 1408},
              {CDlgPopShare::IDC_SCREEN, 2905},     {CDlgPopShare::IDC_SWITCH, 2965}};

bool Presenter() {
    IPanelHost* host = GetPanelHost();
    return host != nullptr && host->IsMyRoleState2();
}

}  // namespace

CDlgPopShare::CDlgPopShare(QWidget* parent) : CTextItemPopup(IDD, parent) {
    m_bCentred = true;
    m_bCheckedIsHot = false;
    for (const auto& item : kItems) {
        AddItem({item.id, 14, 13, 0, 20});
    }
    const std::pair<int, void (IPanelHost::*)()> actions[] = {
        {IDC_DISK, &IPanelHost::ShowFileList},
        {IDC_LOCAL, &IPanelHost::ShareLocalFile},
        {IDC_MEDIA, &IPanelHost::StartShareMedia},
        {IDC_SCREEN, &IPanelHost::ShareDesktop},
        {IDC_WHITEBOARD, &IPanelHost::NewWhiteboard}};
    for (const auto& [id, action] : actions) {
        MapCommand(id, [action = action] {
            if (IPanelHost* host = GetPanelHost()) {
                (host->*action)();
            }
        });
    }
    MapCommand(IDC_SWITCH, [this] {
        if (m_pDocList != nullptr) {
            m_pDocList->ShowPopup(SW_SHOW);
        }
    });
    MapMessage(WM_BUTTONCHECK_HOVER,
               [this](WPARAM id, LPARAM value) { return OnButtonHover(id, value); });
}

CDlgPopShare::~CDlgPopShare() {
    m_pDocList.reset();
    DestroyWindow();
}

BOOL CDlgPopShare::OnInitDialog() {
    SetAutoHide(1);
    CTextItemPopup::OnInitDialog();
    if (m_pDocList == nullptr) {
        m_pDocList = yav::panels::MakeHiddenPopup<CDlgPopSwitch>(
            this, 500, [](CDlgPopSwitch& list) { list.SetAutoHideArmed(0); });
    }
    SetCompanion(m_pDocList.get());
    ReloadTexts();
    return 1;
}

void CDlgPopShare::ReloadTexts() {
    for (const auto& item : kItems) {
        Item(item.id)->SetWindowText(LoadLangString(item.text));
    }
    LayoutControls();
    UpdateLayer(1);
}

void CDlgPopShare::LayoutControls() {
    if (Item(IDC_DISK) == nullptr) {
        return;
    }
    const bool wide = g_ConfigManager.GetLanguageIndex() == 1;
    const int height = yav::Scaled(wide ? 25 : 20);
    const int width = GetClientRect().width();
    const std::pair<int, int> tops[] = {
        {IDC_DISK, 18}, {IDC_LOCAL, 57}, {IDC_MEDIA, 95}, {IDC_SCREEN, 133}, {IDC_WHITEBOARD, 171}};
    for (const auto& [id, top] : tops) {
        Item(id)->MoveWindow(yav::Scaled(14), yav::Scaled(top),
                             width - yav::Scaled(13) - yav::Scaled(14), height, 0);
    }
    const int left = yav::Scaled(wide ? 15 : 22);
    const int right = width - yav::Scaled(wide ? 28 : 24);
    Item(IDC_SWITCH)->MoveWindow(left, yav::Scaled(205), right - left, height, 0);
}

void CDlgPopShare::UpdateButtons() {
    if (GetPanelHost() != nullptr) {
        const BOOL enable = Presenter() ? 1 : 0;
        for (int id : {IDC_LOCAL, IDC_MEDIA, IDC_SCREEN, IDC_WHITEBOARD, IDC_SWITCH}) {
            Item(id)->EnableWindow(enable);
        }
    }
    UpdateLayer(1);
}

LRESULT CDlgPopShare::OnButtonHover(WPARAM wParam, LPARAM) {
    const int id = static_cast<int>(wParam);
    CButtonCheck* item = Item(id);
    if (item == nullptr) {
        return 1;
    }
    if (id != IDC_SWITCH && item->IsHover() != 0 && m_pDocList != nullptr) {
        m_pDocList->ShowWindow(SW_HIDE);
    }
    if (id == IDC_SWITCH && item->IsHover() != 0 && m_pDocList != nullptr) {
        const int n = m_pDocList->GetButtonCount();
        if (n > 0) {
            const QRect r = GetWindowRect();
            m_pDocList->MoveWindow(r.right() + 1 + yav::Scaled(2), r.top() + yav::Scaled(200),
                                   static_cast<int>(m_pDocList->m_fItemWidth),
                                   yav::Scaled(yav::panels::PopupListHeight(n)));
            if (!Presenter()) {
                m_pDocList->EnableAllButtons(0);
                IPanelHost* host = GetPanelHost();
                m_pDocList->EnableButton(host != nullptr ? host->GetActiveDocumentId() : 0, 1);
            }
            m_pDocList->ShowWindow(SW_SHOWNA);
            m_pDocList->UpdateLayer(1);
        }
    }
    RepaintItem(id);
    return 1;
}
