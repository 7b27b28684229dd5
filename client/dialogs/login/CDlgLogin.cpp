#include "CDlgLogin.h"

#include <QPainter>

#include "AppSettings.h"
#include "CDlgLoginInput.h"
#include "CDlgNetSet.h"
#include "ConfigManger.h"
#include "LoginUi.h"
#include "platform/window/Placement.h"
#include "platform/window/Scaled.h"

namespace {

constexpr int kTextCaption = 1;
constexpr int kTextConferenceLink = 70;
constexpr int kTextHotline = 451;
constexpr int kTextAccountLink = 3073;

constexpr UINT kImageBackground = 576;
constexpr UINT kImageLinkHover = 578;
constexpr UINT kImageLink = 580;
constexpr UINT kImageClose = 944;
constexpr UINT kImageCloseHover = 946;
constexpr UINT kImageMinimize = 948;
constexpr UINT kImageMinimizeHover = 950;
constexpr UINT kImageNetSet = 952;
constexpr UINT kImageNetSetHover = 954;

constexpr COLORREF kCaptionButtonBk = 0xFAF5F0;
constexpr COLORREF kLinkOrange = 0xEF8F42;
constexpr COLORREF kLinkGrey = 0x6F6F6E;
constexpr COLORREF kHotlineColor = 0xF3C6A1;

constexpr int kWindowWidth = 680;
constexpr int kWindowHeight = 500;

}  // namespace

CDlgLogin::CDlgLogin(QWidget* parent)
    : yav::Dialog(IDD, parent),
      m_btnConference(this),
      m_btnAccount(this),
      m_btnNetSet(this),
      m_btnMinimize(this),
      m_btnClose(this),
      m_staticHotline(this) {
    m_btnConference.SetDlgCtrlID(IDC_CONFERENCE_LINK);
    m_btnAccount.SetDlgCtrlID(IDC_ACCOUNT_LINK);
    m_btnNetSet.SetDlgCtrlID(IDC_NETSET);
    m_btnMinimize.SetDlgCtrlID(IDC_MINIMIZE);
    m_btnClose.SetDlgCtrlID(IDC_CLOSE);
    m_staticHotline.SetDlgCtrlID(IDC_HOTLINE);
    MapCommand(IDC_CONFERENCE_LINK, [this] { OnSwitchToConference(); });
    MapCommand(IDC_ACCOUNT_LINK, [this] { OnSwitchToAccount(); });
    MapCommand(IDC_NETSET, [this] { OnNetSet(); });
    MapCommand(IDC_MINIMIZE, [this] { ShowWindow(SW_MINIMIZE); });
    MapCommand(IDC_CLOSE, [this] { OnBnClickedClose(); });
}

CDlgLogin::~CDlgLogin() {
    DestroyWindow();
    m_pInput.reset();
    m_pNetSet.reset();
}

void CDlgLogin::SetParentDlg(IJoinConfHander* handler) {
    m_pJoinHandler = handler;
    if (m_pInput) {
        m_pInput->SetJoinHandler(handler);
    }
}

BOOL CDlgLogin::OnInitDialog() {
    yav::Dialog::OnInitDialog();
    if (!m_pNetSet) {
        CreateNetSet();
    }
    m_pInput.reset();
    m_pInput = std::make_unique<CDlgLoginInput>(this);
    m_pInput->Create(CDlgLoginInput::IDD, this);
    m_pInput->ShowWindow(SW_SHOW);
    m_pInput->SetNetSet(m_pNetSet.get());
    m_pInput->SetJoinHandler(m_pJoinHandler);

    SetWindowPos(yav::ZOrder::Keep, 0, 0, yav::Scaled(kWindowWidth), yav::Scaled(kWindowHeight),
                 SWP_NOMOVE | SWP_NOZORDER);
    QScreen* remembered = m_pJoinHandler != nullptr ? m_pJoinHandler->GetMonitor() : nullptr;
    yav::CenterInWorkArea(this,
                          remembered != nullptr ? remembered : yav::ScreenNearest(GetParentWnd()));

    if (m_pImgBackground == nullptr) {
        if (g_ConfigManager.bIsSelfLog != 0 &&
            m_ownBackground.load(QStringLiteral("%1logo/logo%2/bg.png")
                                     .arg(g_ConfigManager.GetModuleDir(),
                                          QString::number(g_ConfigManager.nSkinIndex)))) {
            m_pImgBackground = &m_ownBackground;
        } else if (g_ConfigManager.bIsSelfLog == 0) {
            m_pImgBackground = g_ConfigManager.LoadPNG(kImageBackground);
        }
    }
    m_pImgNetSet = LoadPNGIfEmpty(m_pImgNetSet, kImageNetSet);
    m_pImgNetSetHover = LoadPNGIfEmpty(m_pImgNetSetHover, kImageNetSetHover);
    m_pImgMinimize = LoadPNGIfEmpty(m_pImgMinimize, kImageMinimize);
    m_pImgMinimizeHover = LoadPNGIfEmpty(m_pImgMinimizeHover, kImageMinimizeHover);
    m_pImgClose = LoadPNGIfEmpty(m_pImgClose, kImageClose);
    m_pImgCloseHover = LoadPNGIfEmpty(m_pImgCloseHover, kImageCloseHover);
    m_pImgLink = LoadPNGIfEmpty(m_pImgLink, kImageLink);
    m_pImgLinkHover = LoadPNGIfEmpty(m_pImgLinkHover, kImageLinkHover);

    SetUpControls();
    LayoutControls();
    SetWindowText(LoadLangString(kTextCaption));
    return 1;
}

void CDlgLogin::SetUpControls() {
    const std::tuple<CYavPngButton*, QImage*, QImage*> captionButtons[] = {
        {&m_btnNetSet, m_pImgNetSet, m_pImgNetSetHover},
        {&m_btnMinimize, m_pImgMinimize, m_pImgMinimizeHover},
        {&m_btnClose, m_pImgClose, m_pImgCloseHover}};
    for (const auto& [button, normal, hover] : captionButtons) {
        button->SetImages(normal, normal, hover, nullptr, nullptr, nullptr, nullptr);
        button->SetBkColor(kCaptionButtonBk);
    }
    const QFont fontB = login_ui::CaptionFontB();
    m_btnConference.SetWindowText(LoadLangString(kTextConferenceLink));
    m_btnAccount.SetWindowText(LoadLangString(kTextAccountLink));
    for (CYavPngButton* link : {&m_btnConference, &m_btnAccount}) {
        link->SetImages(m_pImgLink, m_pImgLinkHover, m_pImgLinkHover, nullptr, nullptr, nullptr,
                        nullptr);
        link->SetFont(fontB);
        link->SetShowText(1);
        link->SetTextColors(kLinkOrange, kLinkGrey, kLinkOrange, kLinkOrange);
    }
    m_staticHotline.SetAlignLeft();
    m_staticHotline.SetTextColor(kHotlineColor);
    if (g_AppSettings.hotLine.isEmpty()) {
        m_staticHotline.ShowWindow(SW_HIDE);
    } else {
        m_staticHotline.SetWindowText(
            QStringLiteral("%1：%2").arg(LoadLangString(kTextHotline), g_AppSettings.hotLine));
        m_staticHotline.ShowWindow(SW_SHOW);
    }
}

void CDlgLogin::LayoutControls() {
    m_btnClose.MoveScaled(653, 7, 20, 20);
    m_btnMinimize.MoveScaled(623, 7, 20, 20);
    m_btnNetSet.MoveScaled(586, 7, 20, 20);
    m_staticHotline.MoveWindow(yav::ScaledRect(23, 459, 220, 20));
    if (m_pInput) {
        m_pInput->MoveWindow(yav::ScaledRect(331, 97, 302, 290));
    }
    const bool wide = g_ConfigManager.GetLanguageIndex() == 1;
    m_btnConference.MoveScaled(wide ? 422 : 432, 406, wide ? 120 : 100, 21);
    m_btnAccount.MoveScaled(wide ? 417 : 437, 406, wide ? 120 : 80, 21);
    SetMode(m_nMode);
}

void CDlgLogin::SetMode(int mode) {
    m_nMode = mode;
    const bool trial = mode == 5;
    const bool conference = mode == 1 || mode == 2;
    m_btnConference.setVisible(!trial && !conference);
    m_btnAccount.setVisible(!trial && conference);
}

BOOL CDlgLogin::OnEraseBkgnd(QPainter& painter) {
    if (m_pImgBackground != nullptr) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(GetClientRect(), *m_pImgBackground);
    }
    return 1;
}

int CDlgLogin::OnNcHitTest(const QPoint& screenPoint) {
    if (GetWindowRect().contains(screenPoint)) {
        return HTCAPTION;
    }
    return yav::Dialog::OnNcHitTest(screenPoint);
}

BOOL CDlgLogin::PreTranslateMessage(yav::Msg* msg) {
    if (msg->message == WM_KEYDOWN) {
        if (msg->wParam == VK_ESCAPE) {
            return 1;
        }
        if (msg->wParam == VK_RETURN) {
            SetTimer(kLoginTimer, kKeyDelayMs);
            return 1;
        }
    }
    return yav::Dialog::PreTranslateMessage(msg);
}

void CDlgLogin::OnTimer(UINT id) {
    if (id == kLoginTimer) {
        KillTimer(kLoginTimer);
        if (m_pInput) {
            m_pInput->LoginByMode();
        }
        return;
    }
    yav::Dialog::OnTimer(id);
}

void CDlgLogin::OnSize(int cx, int cy) {
    yav::Dialog::OnSize(cx, cy);
    if (m_pInput) {
        LayoutControls();
    }
}

void CDlgLogin::OnMove(int x, int y) {
    yav::Dialog::OnMove(x, y);
    if (m_pInput) {
        LayoutControls();
    }
}

void CDlgLogin::OnSwitchToConference() {
    if (m_pInput) {
        m_pInput->SwitchToConference();
    }
}

void CDlgLogin::OnSwitchToAccount() {
    if (m_pInput) {
        m_pInput->OnBack();
    }
}

void CDlgLogin::OnNetSet() {
    if (m_pNetSet) {
        m_pNetSet->ShowDialog(yav::ScreenNearest(this));
        return;
    }
    CreateNetSet();
}

void CDlgLogin::CreateNetSet() {
    // A window of its own that belongs to this one: while this window runs modally, a window
    // without such an owner would take no input at all.
    m_pNetSet = std::make_unique<CDlgNetSet>(nullptr);
    m_pNetSet->Create(CDlgNetSet::IDD, this);
}

void CDlgLogin::OnBnClickedClose() {
    // Only this instance ends, through the road's normal shut-down.
    EndDialog(IDCANCEL);
    if (m_pJoinHandler != nullptr) {
        m_pJoinHandler->ExitApp();
    }
}

void CDlgLogin::OnCancel() {
    OnBnClickedClose();
}

void CDlgLogin::OnDestroy() {
    if (m_pInput) {
        m_pInput->SetNetSet(nullptr);
    }
    if (m_pNetSet) {
        m_pNetSet->DestroyWindow();
        m_pNetSet.reset();
    }
    yav::Dialog::OnDestroy();
}
