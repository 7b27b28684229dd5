#include "CDlgVideoCycle.h"

#include "ICsUserManager.h"
#include "VideoCycleRules.h"
#include "client/Common/MessageIds.h"
#include "client/media/VideoCycle.h"
#include "client/ui/UiFonts.h"
#include "config/AppSettings.h"
#include "config/ConfigManger.h"
#include "config/SkinGlobals.h"
#include "platform/core/Profile.h"
#include "platform/window/Placement.h"
#include "platform/window/Scaled.h"

namespace {

constexpr int kTextOk = 4;
constexpr int kTextCancel = 7;
constexpr int kTextInterval = 787;
constexpr int kTextSettingsSuffix = 913;
constexpr int kTextAutoPage = 1417;
constexpr int kTextStart = 2641;
constexpr int kTextFilterTitle = 2776;
constexpr int kTextFilterLabel = 2779;
constexpr int kTextSelectAll = 2782;
constexpr int kTextStartCycle = 2923;
constexpr int kTextCycleTitle = 3055;
constexpr int kTextCycleCount = 3058;

constexpr UINT kImageCloseHover = 160;
constexpr UINT kImageClose = 162;
constexpr UINT kImageOkHover = 176;
constexpr UINT kImageOk = 178;
constexpr UINT kImageCancel = 650;
constexpr UINT kImageCancelHover = 652;
constexpr UINT kImageTicked = 158;
constexpr UINT kImageNotTicked = 192;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kCancelGrey = RGB(136, 136, 136);
constexpr COLORREF kLabelColour = RGB(51, 51, 51);
constexpr int kMaxCycleCount = 17;

void SetUpCaptionButton(CYavPngButton& button, UINT image, UINT hover, const QString& text,
                        COLORREF colour) {
    button.LoadImages(image, hover, hover, image, hover, hover, hover);
    button.SetTextStyle(1, 1);
    button.SetTextColors(colour, colour, colour, colour);
    button.SetFont(g_fontUI);
    button.SetWindowText(text);
}

void SetUpCloseButton(CYavPngButton& button) {
    button.LoadImages(kImageClose, kImageCloseHover, kImageCloseHover, kImageClose,
                      kImageCloseHover, kImageCloseHover, kImageCloseHover);
    button.SetBkColor(g_clrCaption);
}

void PostCommand(QWidget* target, int id) {
    if (target != nullptr) {
        yav::PostMessage(target, WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(id), 1), 0);
    }
}

void WriteAppInfo(const QString& path, const char* key, int value) {
    yav::profile::WriteString("appinfo", key, std::to_string(value), path.toStdString());
}

void Show(CDlgCommon& dialog, int width, int height) {
    dialog.SetWindowPos(yav::ZOrder::Keep, 0, 0, yav::Scaled(width), yav::Scaled(height),
                        SWP_NOMOVE | SWP_NOZORDER);
    yav::CenterInWorkArea(&dialog, yav::ScreenNearest(dialog.GetParentWnd()));
    dialog.ShowWindow(SW_SHOW);
}

}  // namespace

// --- CDlgCycleSet -----------------------------------------------------------------------------

CDlgCycleSet::CDlgCycleSet(QWidget* parent, IVideoCycleDialogHost* host)
    : CDlgCommon(IDD, parent),
      m_pHost(host),
      m_staticTitle(this),
      m_staticInterval(this),
      m_comboInterval(this),
      m_staticCount(this),
      m_comboCount(this),
      m_btnFilter(this),
      m_btnOk(this),
      m_btnClose(this) {
    m_staticTitle.SetDlgCtrlID(IDC_TITLE);
    m_staticInterval.SetDlgCtrlID(IDC_INTERVAL_LABEL);
    m_comboInterval.SetDlgCtrlID(IDC_INTERVAL);
    m_staticCount.SetDlgCtrlID(IDC_COUNT_LABEL);
    m_comboCount.SetDlgCtrlID(IDC_COUNT);
    m_btnFilter.SetDlgCtrlID(IDC_FILTER);
    m_btnOk.SetDlgCtrlID(IDOK);
    m_btnClose.SetDlgCtrlID(IDC_CLOSE);
    MapCommand(IDC_FILTER, [this] { OnFilter(); });
    MapCommand(IDC_CLOSE, [this] { ShowWindow(SW_HIDE); });
}

CDlgCycleSet::~CDlgCycleSet() {
    DestroyWindow();
}

BOOL CDlgCycleSet::OnInitDialog() {
    CDlgCommon::OnInitDialog();
    m_staticTitle.SetAlignLeft();
    m_staticTitle.SetTextColor(kWhite);
    m_staticInterval.SetTextColor(kLabelColour);
    m_staticCount.SetTextColor(kLabelColour);
    SetUpCloseButton(m_btnClose);
    SetUpCaptionButton(m_btnOk, kImageOk, kImageOkHover, QString(), kWhite);
    SetUpCaptionButton(m_btnFilter, kImageCancel, kImageCancelHover, QString(), kLabelColour);
    for (int count = 1; count <= kMaxCycleCount; ++count) {
        m_comboCount.addItem(QString::number(count));
    }
    m_staticTitle.MoveWindow(yav::ScaledRect(10, 8, 220, 16));
    m_btnClose.MoveScaled(276, 8, 16, 15);
    m_staticInterval.MoveWindow(yav::ScaledRect(20, 52, 92, 22));
    m_comboInterval.MoveWindow(yav::ScaledRect(116, 50, 160, 24));
    m_staticCount.MoveWindow(yav::ScaledRect(20, 82, 92, 22));
    m_comboCount.MoveWindow(yav::ScaledRect(116, 80, 160, 24));
    m_btnFilter.MoveScaled(20, 112, 74, 24);
    m_btnOk.MoveScaled(202, 112, 74, 24);
    // The number of windows per round is kept and stored, not offered.
    m_staticCount.ShowWindow(SW_HIDE);
    m_comboCount.ShowWindow(SW_HIDE);
    return 1;
}

void CDlgCycleSet::ReloadTexts() {
    m_staticInterval.SetWindowText(LoadLangString(kTextInterval));
    m_staticCount.SetWindowText(LoadLangString(kTextCycleCount));
    m_btnFilter.SetWindowText(LoadLangString(kTextFilterTitle));
    if (m_nMode == kModeCycle) {
        m_staticTitle.SetWindowText(LoadLangString(kTextCycleTitle));
        m_btnOk.SetWindowText(LoadLangString(kTextStartCycle));
    } else {
        m_staticTitle.SetWindowText(LoadLangString(kTextAutoPage) +
                                    LoadLangString(kTextSettingsSuffix));
        m_btnOk.SetWindowText(LoadLangString(kTextStart) + LoadLangString(kTextAutoPage));
    }
}

void CDlgCycleSet::ShowDlg(int mode) {
    m_nMode = mode;
    m_comboInterval.clear();
    if (mode == kModeCycle) {
        m_btnFilter.ShowWindow(SW_SHOW);
        m_comboInterval.addItems(yav::video::CycleIntervalItems());
        m_comboInterval.setCurrentIndex(yav::video::CycleIntervalItem(g_AppSettings.cycleinterval));
        m_comboCount.setCurrentIndex(
            std::clamp(static_cast<int>(g_AppSettings.cyclecount), 1, kMaxCycleCount) - 1);
    } else {
        m_btnFilter.ShowWindow(SW_HIDE);
        m_comboInterval.addItems(yav::video::PageTurnItems());
        m_comboInterval.setCurrentIndex(yav::video::PageTurnItem(g_AppSettings.bWatchAutoTime));
    }
    ReloadTexts();
    Show(*this, 300, 150);
}

QString CDlgCycleSet::IniPath() const {
    return g_ConfigManager.GetClientIniPath();
}

void CDlgCycleSet::OnOK() {
    ShowWindow(SW_HIDE);
    QWidget* target = m_pHost != nullptr ? m_pHost->GetCommandTarget() : nullptr;
    if (m_nMode == kModeCycle) {
        if (m_comboInterval.currentIndex() >= 0) {
            const int seconds = yav::video::LeadingNumber(m_comboInterval.currentText());
            g_AppSettings.cycleinterval = static_cast<std::uint32_t>(seconds);
            if (CVideoCycle* cycle = m_pHost != nullptr ? m_pHost->GetVideoCycle() : nullptr) {
                cycle->SetInterval(static_cast<std::uint32_t>(seconds) * 1000);
            }
            WriteAppInfo(IniPath(), "cycleinterval", seconds);
        }
        if (m_comboCount.currentIndex() >= 0) {
            const int count = yav::video::LeadingNumber(m_comboCount.currentText());
            g_AppSettings.cyclecount = static_cast<std::uint32_t>(count);
            WriteAppInfo(IniPath(), "cyclecount", count);
        }
        PostCommand(target, kCmdApplyCycle);
        return;
    }
    if (m_comboInterval.currentIndex() >= 0) {
        const int seconds = yav::video::LeadingNumber(m_comboInterval.currentText());
        g_AppSettings.bWatchAutoTime = static_cast<std::uint8_t>(seconds);
        WriteAppInfo(IniPath(), "bWatchAutoTime", seconds);
    }
    PostCommand(target, kCmdApplyAutoPage);
}

void CDlgCycleSet::OnFilter() {
    if (m_pHost != nullptr) {
        PostCommand(m_pHost->GetCommandTarget(), kCmdOpenFilter);
    }
}

// --- CDlgCycleFilter --------------------------------------------------------------------------

CDlgCycleFilter::CDlgCycleFilter(QWidget* parent, IVideoCycleDialogHost* host)
    : CDlgCommon(IDD, parent),
      m_pHost(host),
      m_staticTitle(this),
      m_staticLabel(this),
      m_tree(this),
      m_btnSelectAll(this),
      m_staticSelectAll(this),
      m_btnOk(this),
      m_btnCancel(this),
      m_btnClose(this) {
    m_staticTitle.SetDlgCtrlID(IDC_TITLE);
    m_staticLabel.SetDlgCtrlID(IDC_LABEL);
    // The tree tells this dialog of every check mark it changes (WM_SELECTUSER_CHANGED).
    m_tree.SetDlgCtrlID(IDC_TREE);
    m_btnSelectAll.SetDlgCtrlID(IDC_SELECT_ALL);
    m_staticSelectAll.SetDlgCtrlID(IDC_SELECT_ALL_LABEL);
    m_btnOk.SetDlgCtrlID(IDC_OK_BUTTON);
    m_btnCancel.SetDlgCtrlID(IDC_CANCEL_BUTTON);
    m_btnClose.SetDlgCtrlID(IDC_CLOSE);
    MapCommand(IDC_SELECT_ALL, [this] { OnSelectAll(); });
    MapCommand(IDC_OK_BUTTON, [this] { OnConfirm(); });
    MapCommand(IDC_CANCEL_BUTTON, [this] { ShowWindow(SW_HIDE); });
    MapCommand(IDC_CLOSE, [this] { ShowWindow(SW_HIDE); });
    MapMessage(WM_SELECTUSER_CHANGED, [this](WPARAM all, LPARAM) -> LRESULT {
        if (static_cast<int>(all) != m_bAllSelected) {
            m_bAllSelected = all != 0 ? 1 : 0;
            ShowAllMark();
        }
        return 0;
    });
    // Enter, Escape and Space do not close the filter.
    m_bNoKeyClose = 1;
}

CDlgCycleFilter::~CDlgCycleFilter() {
    DestroyWindow();
}

BOOL CDlgCycleFilter::OnInitDialog() {
    CDlgCommon::OnInitDialog();
    m_staticTitle.SetAlignLeft();
    m_staticTitle.SetTextColor(kWhite);
    m_staticLabel.SetAlignLeft();
    m_staticLabel.SetTextColor(kLabelColour);
    m_staticSelectAll.SetAlignLeft();
    m_staticSelectAll.SetTextColor(kLabelColour);
    SetUpCloseButton(m_btnClose);
    SetUpCaptionButton(m_btnOk, kImageOk, kImageOkHover, QString(), kWhite);
    SetUpCaptionButton(m_btnCancel, kImageCancel, kImageCancelHover, QString(), kCancelGrey);
    m_btnSelectAll.LoadImages(kImageNotTicked, kImageNotTicked, kImageNotTicked, kImageNotTicked,
                              kImageTicked, kImageTicked, kImageTicked);
    m_tree.setFont(g_fontUI);
    m_staticTitle.MoveWindow(yav::ScaledRect(10, 8, 260, 16));
    m_btnClose.MoveScaled(306, 8, 16, 15);
    m_staticLabel.MoveWindow(yav::ScaledRect(15, 40, 300, 20));
    m_tree.setGeometry(yav::ScaledRect(15, 62, 300, 288));
    m_btnSelectAll.MoveWindow(yav::ScaledRect(15, 362, 16, 16));
    m_staticSelectAll.MoveWindow(yav::ScaledRect(36, 360, 120, 20));
    m_btnOk.MoveScaled(150, 386, 74, 24);
    m_btnCancel.MoveScaled(236, 386, 74, 24);
    ReloadTexts();
    return 1;
}

void CDlgCycleFilter::ReloadTexts() {
    m_staticTitle.SetWindowText(LoadLangString(kTextFilterTitle));
    m_staticLabel.SetWindowText(LoadLangString(kTextFilterLabel));
    m_staticSelectAll.SetWindowText(LoadLangString(kTextSelectAll));
    m_btnOk.SetWindowText(LoadLangString(kTextOk));
    m_btnCancel.SetWindowText(LoadLangString(kTextCancel));
}

void CDlgCycleFilter::FillUsers() {
    m_tree.DeleteAllItems();
    ICsUserManager* users = m_pHost != nullptr ? m_pHost->GetUserSource() : nullptr;
    CVideoCycle* cycle = m_pHost != nullptr ? m_pHost->GetVideoCycle() : nullptr;
    int all = 1;
    if (users == nullptr || users->GetUserCount() < 1) {
        all = 0;
    }
    if (users != nullptr) {
        users->ForEachUser([&](ST_USER_ITEM_DEPT* user) {
            for (const yav::video::CycleFilterEntry& entry :
                 yav::video::CycleFilterEntries(*user)) {
                const bool checked = cycle != nullptr && cycle->HasFilterUser(entry.key);
                if (!checked) {
                    all = 0;
                }
                m_tree.AddUser(entry.key, entry.name, checked ? 1 : 0);
            }
        });
    }
    m_bAllSelected = all;
}

void CDlgCycleFilter::ShowDlg() {
    FillUsers();
    ShowAllMark();
    Show(*this, 330, 420);
}

void CDlgCycleFilter::ShowAllMark() {
    m_btnSelectAll.SetState(m_bAllSelected != 0 ? 1 : 0);
    m_btnSelectAll.update();
}

void CDlgCycleFilter::OnSelectAll() {
    m_bAllSelected = m_bAllSelected != 0 ? 0 : 1;
    ShowAllMark();
    m_tree.SetAllChecked(static_cast<std::uint32_t>(m_bAllSelected));
}

void CDlgCycleFilter::OnConfirm() {
    ShowWindow(SW_HIDE);
    std::vector<yav::users::SelectUserEntry> checked;
    std::vector<yav::users::SelectUserEntry> unchecked;
    m_tree.GetCheckedUsers(checked, unchecked);
    CVideoCycle* cycle = m_pHost != nullptr ? m_pHost->GetVideoCycle() : nullptr;
    if (cycle == nullptr) {
        return;
    }
    for (const yav::users::SelectUserEntry& entry : checked) {
        cycle->AddFilterUser(static_cast<std::uint16_t>(entry.key));
    }
    for (const yav::users::SelectUserEntry& entry : unchecked) {
        cycle->RemoveFilterUser(static_cast<std::uint16_t>(entry.key));
    }
    // With every entry checked the cycle does not filter.
    cycle->SetUseFilter(!unchecked.empty());
}
