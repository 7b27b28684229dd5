#include "CDlgConfLayout.h"

#include "ConfigManger.h"
#include "PanelHost.h"
#include "PanelPopups.h"
#include "PanelRules.h"
#include "client/Common/MessageIds.h"
#include "platform/window/Scaled.h"

namespace {

QWidget* Room() {
    IPanelHost* host = GetPanelHost();
    return host != nullptr ? host->GetRoomWindow() : nullptr;
}

void PostToRoom(int command) {
    yav::PostMessage(Room(), WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(command), 1), 0);
}

constexpr struct {
    int id;
    int text;
    int command;
} kLayouts[] = {{CDlgLayout::IDC_AUTO, 1159, 32853}, {CDlgLayout::IDC_SINGLE, 1138, 32855},
                {CDlgLayout::IDC_PIP, 2404, 32856},  {CDlgLayout::IDC_FOUR, 682, 32857},
                {CDlgLayout::IDC_NINE, 703, 32858},  {CDlgLayout::IDC_SIXTEEN, 706, 32859}};

}  // namespace

CDlgLayout::CDlgLayout(QWidget* parent) : CTextItemPopup(IDD, parent) {
    int top = 11;
    for (const auto& layout : kLayouts) {
        AddItem({layout.id, 14, 13, top, 20});
        top += 38;
        const int id = layout.id;
        MapCommand(id, [this, id] { OnItem(id); });
    }
    MapMessage(WM_BUTTONCHECK_HOVER, [this](WPARAM id, LPARAM) -> LRESULT {
        RepaintItem(static_cast<int>(id));
        return 1;
    });
}

int CDlgLayout::CommandOf(int itemId) {
    for (const auto& layout : kLayouts) {
        if (layout.id == itemId) {
            return layout.command;
        }
    }
    return 0;
}

BOOL CDlgLayout::OnInitDialog() {
    SetAutoHide(1);
    SetAutoHideArmed(0);
    CTextItemPopup::OnInitDialog();
    MoveWindow(0, 0, yav::Scaled(167), yav::Scaled(353));
    ReloadTexts();
    LayoutControls();
    UpdateLayer(1);
    return 1;
}

void CDlgLayout::ReloadTexts() {
    for (const auto& layout : kLayouts) {
        Item(layout.id)->SetWindowText(LoadLangString(layout.text));
    }
}

void CDlgLayout::SelectItem(int viewKind, int layoutMode) {
    for (const auto& layout : kLayouts) {
        Item(layout.id)->SetCheck(0);
    }
    if (viewKind == 0) {
        Item(yav::panels::LayoutItemForMode(layoutMode))->SetCheck(1);
    }
    UpdateLayer(1);
}

void CDlgLayout::OnItem(int itemId) {
    PostToRoom(CommandOf(itemId));
    ShowWindow(SW_HIDE);
    if (auto* parent = dynamic_cast<CDlgConfLayout*>(GetParentWnd())) {
        parent->ShowWindow(SW_HIDE);
    }
}

CDlgConfLayout::CDlgConfLayout(QWidget* parent) : CTextItemPopup(IDD, parent) {
    AddItem({IDC_VIDEO, 20, 7, 18, 20});
    AddItem({IDC_DATA, 14, 13, 57, 20});
    AddItem({IDC_MIXED, 14, 13, 95, 20});
    AddItem({IDC_CYCLE, 14, 13, 133, 20});
    MapCommand(IDC_VIDEO, [this] { OpenVideoLayouts(); });
    MapCommand(IDC_DATA, [this] {
        ShowWindow(SW_HIDE);
        if (IPanelHost* host = GetPanelHost()) {
            host->SetShareLayout(1);
        }
    });
    MapCommand(IDC_MIXED, [this] {
        ShowWindow(SW_HIDE);
        if (IPanelHost* host = GetPanelHost()) {
            host->SetShareLayout(2);
        }
    });
    MapCommand(IDC_CYCLE, [this] { OnBtnVideoCycle(); });
    MapMessage(WM_BUTTONCHECK_HOVER,
               [this](WPARAM id, LPARAM value) { return OnButtonCheckHover(id, value); });
}

CDlgConfLayout::~CDlgConfLayout() {
    m_pLayout.reset();
    DestroyWindow();
}

BOOL CDlgConfLayout::OnInitDialog() {
    SetAutoHide(1);
    CTextItemPopup::OnInitDialog();
    m_pLayout = yav::panels::MakeHiddenPopup<CDlgLayout>(this, 922);
    SetCompanion(m_pLayout.get());
    ReloadTexts();
    SetCurrentMode(m_nViewKind);
    return 1;
}

void CDlgConfLayout::ReloadTexts() {
    Item(IDC_VIDEO)->SetWindowText(LoadLangString(1108));
    Item(IDC_MIXED)->SetWindowText(LoadLangString(1114));
    Item(IDC_DATA)->SetWindowText(LoadLangString(1117));
    if (m_pLayout != nullptr) {
        m_pLayout->ReloadTexts();
    }
    LayoutControls();
    UpdateLayer(1);
}

void CDlgConfLayout::SetCurrentMode(int viewKind) {
    m_nViewKind = viewKind;
    Item(IDC_DATA)->SetCheck(viewKind == 1 ? 1 : 0);
    Item(IDC_MIXED)->SetCheck(viewKind == 2 ? 1 : 0);
    Item(IDC_VIDEO)->SetCheck(viewKind != 1 && viewKind != 2 ? 1 : 0);
    IPanelHost* host = GetPanelHost();
    const bool cycling = host != nullptr && host->IsVideoCycleOn();
    Item(IDC_CYCLE)->SetWindowText(LoadLangString(cycling ? 2926 : 1387));
    LayoutControls();
    UpdateLayer(1);
}

void CDlgConfLayout::OpenVideoLayouts() {
    if (m_pLayout == nullptr) {
        return;
    }
    const QRect r = GetWindowRect();
    m_pLayout->MoveWindow(r.right() + 1 + 2, r.top() + 8, yav::Scaled(109), yav::Scaled(230));
    m_pLayout->LayoutControls();
    m_pLayout->ShowWindow(SW_SHOW);
    IPanelHost* host = GetPanelHost();
    m_pLayout->SelectItem(m_nViewKind, host != nullptr ? host->GetLayoutMode() : 8);
    RepaintItem(IDC_VIDEO);
}

LRESULT CDlgConfLayout::OnButtonCheckHover(WPARAM id, LPARAM) {
    CButtonCheck* item = Item(static_cast<int>(id));
    if (item == nullptr) {
        return 1;
    }
    if (item->IsHover() != 0) {
        if (static_cast<int>(id) == IDC_VIDEO) {
            OpenVideoLayouts();
        } else if (m_pLayout != nullptr) {
            m_pLayout->ShowWindow(SW_HIDE);
        }
    }
    RepaintItem(static_cast<int>(id));
    return 1;
}

void CDlgConfLayout::OnBtnVideoCycle() {
    ShowWindow(SW_HIDE);
    IPanelHost* host = GetPanelHost();
    if (host != nullptr && host->IsVideoCycleOn()) {
        host->CloseAllVideo();
        return;
    }
    PostToRoom(32785);
}
