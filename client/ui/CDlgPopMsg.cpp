#include "CDlgPopMsg.h"

#include <QPainter>

#include "AppSettings.h"
#include "ConfigManger.h"
#include "SkinGlobals.h"
#include "UiFonts.h"
#include "UiMainFrame.h"
#include "platform/core/Profile.h"
#include "platform/window/GdipText.h"
#include "platform/window/Placement.h"
#include "platform/window/Scaled.h"
#include "platform/window/Shell.h"
#include "platform/window/WindowStyles.h"

namespace {

// Language texts of the box.
constexpr int kTextOk = 4;
constexpr int kTextCancel = 7;
constexpr int kTextClose = 13;
constexpr int kTextLeave = 241;
constexpr int kTextConfirm = 760;
constexpr int kTextDecline = 763;
constexpr int kTextYes = 766;
constexpr int kTextNo = 769;
constexpr int kTextGotIt = 973;
constexpr int kTextOpenFolder = 1261;
constexpr int kTextGetDecoder = 2461;
constexpr int kTextShareDocument = 2899;
constexpr int kTextNetworkSettings = 3187;
constexpr int kTextUploadAnyway = 3289;
constexpr int kTextInstallOffice = 3292;
constexpr int kTextShowUploads = 3298;
constexpr int kTextUpdateNow = 5414;

// Skin images of the buttons.
constexpr UINT kImageCloseHover = 160;
constexpr UINT kImageClose = 162;
constexpr UINT kImagePrimaryHover = 176;
constexpr UINT kImagePrimary = 178;
constexpr UINT kImageSecondary = 650;
constexpr UINT kImageSecondaryHover = 652;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kCancelGrey = 0x888888;

constexpr UINT kShowDelayMs = 10;
constexpr UINT kCountdownStepMs = 1000;
constexpr UINT kWatchPeriodMs = 100;
constexpr size_t kAddressLimit = 260;

// The maker's download page (type 6) and the office suite's site (default of "officialURL").
const QString kDownloadPage = QStringLiteral("https://www.example.com/yav/download");
const QString kOfficeSuiteSite = QStringLiteral("https://www.wps.cn");

}  // namespace

CDlgPopMsg::CDlgPopMsg(const QString& title, const QString& message, int countdown, int type,
                       QWidget* parent, BYTE topMost)
    : CDlgCommon(IDD, parent),
      m_staticTitle(this),
      m_staticMessage(this),
      m_btnOk(this),
      m_btnCancel(this),
      m_btnClose(this),
      m_bModal(1),
      m_nCountdown(countdown),
      m_nType(type),
      m_strTitle(title),
      m_strMessage(message),
      m_bTopMost(topMost) {
    SetUpControls();
}

// The main window's member box, filled later by SetParams.
CDlgPopMsg::CDlgPopMsg(QWidget* parent) : CDlgPopMsg(QString(), QString(), 0, 0, parent, 1) {}

CDlgPopMsg::~CDlgPopMsg() {
    DestroyWindow();
}

void CDlgPopMsg::SetUpControls() {
    m_staticTitle.SetDlgCtrlID(IDC_POPMSG_TITLE);
    m_staticMessage.SetDlgCtrlID(IDC_POPMSG_TEXT);
    m_btnOk.SetDlgCtrlID(IDOK);
    m_btnCancel.SetDlgCtrlID(IDCANCEL);
    m_btnClose.SetDlgCtrlID(IDC_POPMSG_CLOSE);
    m_btnClose.SetWindowText(QStringLiteral("X"));
    MapCommand(IDOK, [this] { OnOkButton(); });
    MapCommand(IDCANCEL, [this] { OnCancelButton(); });
    MapCommand(IDC_POPMSG_CLOSE, [this] { OnCancelButton(); });
}

void CDlgPopMsg::SetParams(const QString& title, const QString& message, int countdown, int type,
                           QWidget* /*parent*/, BYTE topMost) {
    m_strTitle = title;
    m_strMessage = message;
    m_nCountdown = countdown;
    m_nType = type;
    m_bTopMost = topMost;
    m_bModal = 0;
}

void CDlgPopMsg::SetRequestUser(DWORD userId) {
    m_nRequestUser = userId;
}

void CDlgPopMsg::SetExtraTexts(const QString& okText, const QString& cancelText) {
    m_strOkText = okText;
    m_strCancelText = cancelText;
}

BOOL CDlgPopMsg::OnInitDialog() {
    CDlgCommon::OnInitDialog();
    m_bShown = 0;
    // The request this window asks about; answered once, whatever way the window goes.
    m_nPendingUser = m_nType == 8 ? m_nRequestUser : 0;
    m_bAnswered = false;
    m_pImgCloseNormal = LoadPNGIfEmpty(m_pImgCloseNormal, kImageClose);
    m_pImgCloseHover = LoadPNGIfEmpty(m_pImgCloseHover, kImageCloseHover);
    m_pImgPrimaryNormal = LoadPNGIfEmpty(m_pImgPrimaryNormal, kImagePrimary);
    m_pImgPrimaryHover = LoadPNGIfEmpty(m_pImgPrimaryHover, kImagePrimaryHover);
    m_pImgSecondaryNormal = LoadPNGIfEmpty(m_pImgSecondaryNormal, kImageSecondary);
    m_pImgSecondaryHover = LoadPNGIfEmpty(m_pImgSecondaryHover, kImageSecondaryHover);

    // Buttons. A pressed button shows its hover picture rather than nothing.
    m_staticTitle.SetAlignLeft();
    m_staticTitle.SetTextColor(kWhite);
    m_staticMessage.SetTextColor(RGB(0, 0, 0));
    m_btnClose.SetImages(m_pImgCloseNormal, m_pImgCloseHover, m_pImgCloseHover, nullptr, nullptr,
                         nullptr, nullptr);
    m_btnClose.SetBkColor(g_clrCaption);
    m_btnOk.SetImages(m_pImgPrimaryNormal, m_pImgPrimaryHover, m_pImgPrimaryHover, nullptr, nullptr,
                      nullptr, nullptr);
    m_btnOk.SetShowText(1);
    m_btnOk.SetTextColors(kWhite, kWhite, kWhite, kWhite);
    m_btnOk.SetWindowText(LoadLangString(kTextOk));
    m_btnCancel.SetImages(m_pImgSecondaryNormal, m_pImgSecondaryHover, m_pImgSecondaryHover,
                          nullptr, nullptr, nullptr, nullptr);
    m_btnCancel.SetShowText(1);
    m_btnCancel.SetTextColors(kCancelGrey, kCancelGrey, kCancelGrey, kCancelGrey);
    m_btnCancel.SetWindowText(LoadLangString(kTextCancel));

    // Texts.
    m_staticTitle.SetWindowText(m_strTitle);
    m_staticMessage.SetWindowText(m_strMessage);
    m_staticMessage.SetAlignLeft();
    m_staticMessage.SetLineAlign(1);

    // Common layout.
    m_staticTitle.MoveWindow(yav::ScaledRect(16, 7, 210, 21));
    m_btnClose.MoveScaled(276, 9, 16, 15);
    m_staticMessage.MoveWindow(yav::ScaledRect(25, 32, 250, 73));
    m_btnOk.MoveScaled(145, 106, 60, 24);
    m_btnCancel.MoveScaled(215, 106, 60, 24);
    SetWindowPos(yav::ZOrder::Top, 0, 0, yav::Scaled(300), yav::Scaled(150), 0);

    SetTimer(kShowTimer, kShowDelayMs);
    if (m_nCountdown > 0) {
        SetTimer(kCountdownTimer, kCountdownStepMs);
    }
    ApplyType();

    if (m_bTopMost != 0) {
        SetWindowPos(yav::ZOrder::TopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        yav::BringToForeground(this);
        yav::CenterInWorkArea(this, yav::ScreenNearest(GetParentWnd()));
    }
    return 1;
}

namespace {

// A button of a type: its label (a language text, or one of the marks below) and, when the
// width is not 0, its place in design pixels.
constexpr int kKeepLabel = 0;
constexpr int kHidden = -1;
struct ButtonPlace {
    int text = kKeepLabel;
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
};

struct TypeLayout {
    int type;
    ButtonPlace ok;
    ButtonPlace cancel;
    bool primaryCancel = false;  // the Cancel button takes the primary look
    bool tallBox = false;        // 300 x 170 with a larger, taller message
    bool largerMessage = false;
};

// Types not listed label their buttons with texts 4 and 7.
constexpr TypeLayout kTypeLayouts[] = {
    {0, {kTextConfirm, 215, 106, 60, 24}, {kHidden}},
    {2, {kTextYes}, {kTextNo}},
    {3, {kTextOpenFolder, 131, 106, 74, 24}, {kTextClose}},
    {4, {kHidden}, {kHidden}},
    {6, {kKeepLabel}, {kKeepLabel}},
    {7, {kTextYes}, {kTextNo}},
    {8, {kTextYes}, {kTextNo}},
    {10, {kTextGotIt, 201, 106, 74, 24}, {kHidden}},
    {11, {kTextGetDecoder, 118, 106, 90, 24}, {kTextOk}},
    {12, {kTextNetworkSettings, 131, 106, 74, 24}, {kTextConfirm}},
    {13, {kTextGotIt, 201, 106, 74, 24}, {kHidden}, false, false, true},
    {14, {kTextInstallOffice, 45, 126, 80, 24}, {kTextUploadAnyway, 175, 126, 80, 24}, true, true},
    {15, {kTextLeave, 175, 106, 90, 24}, {kTextShowUploads, 45, 106, 90, 24}, true},
    {16, {kTextInstallOffice, 45, 126, 80, 24}, {kTextShareDocument, 175, 126, 80, 24}, true, true},
    {17, {kTextInstallOffice, 175, 126, 80, 24}, {kHidden}, false, true},
    {21, {kHidden}, {kTextShowUploads, 175, 106, 90, 24}, true},
    {22, {kTextUpdateNow, 175, 106, 90, 24}, {kHidden}},
};
constexpr TypeLayout kDefaultLayout = {-1, {kTextOk}, {kTextCancel}};

const TypeLayout& LayoutOf(int type) {
    for (const TypeLayout& layout : kTypeLayouts) {
        if (layout.type == type) {
            return layout;
        }
    }
    return kDefaultLayout;
}

void PlaceButton(CYavPngButton& button, const ButtonPlace& place) {
    if (place.text == kHidden) {
        button.ShowWindow(SW_HIDE);
        return;
    }
    if (place.text != kKeepLabel) {
        button.SetWindowText(LoadLangString(place.text));
    }
    if (place.cx != 0) {
        button.MoveScaled(place.x, place.y, place.cx, place.cy);
    }
}

}  // namespace

void CDlgPopMsg::ApplyType() {
    const TypeLayout& layout = LayoutOf(m_nType);
    PlaceButton(m_btnOk, layout.ok);
    PlaceButton(m_btnCancel, layout.cancel);
    if (layout.primaryCancel) {
        m_btnCancel.SetImages(m_pImgPrimaryNormal, m_pImgPrimaryHover, m_pImgPrimaryHover, nullptr,
                              nullptr, nullptr, nullptr);
        m_btnCancel.SetTextColors(kWhite, kWhite, kWhite, kWhite);
    }
    if (layout.tallBox) {
        SetWindowPos(yav::ZOrder::Top, 0, 0, yav::Scaled(300), yav::Scaled(170), 0);
        m_staticMessage.MoveWindow(yav::ScaledRect(25, 32, 250, 85));
    }
    if (layout.tallBox || layout.largerMessage) {
        m_staticMessage.SetFontSizeDelta(2);
    }
    switch (m_nType) {
        case 1:
            m_btnOk.SetWindowText(m_strOkText.isEmpty() ? LoadLangString(kTextConfirm)
                                                        : m_strOkText);
            m_btnCancel.SetWindowText(m_strCancelText.isEmpty() ? LoadLangString(kTextDecline)
                                                                : m_strCancelText);
            break;
        case 4:
            m_staticTitle.ShowWindow(SW_HIDE);
            m_staticMessage.ShowWindow(SW_HIDE);
            m_btnClose.ShowWindow(SW_HIDE);
            break;
        case 7:
            SetTimer(kStateWatchTimer, kWatchPeriodMs);
            break;
        case 8:
            SetTimer(kRequestWatchTimer, kWatchPeriodMs);
            break;
        case 14:
            // A running countdown shows on the (wider) Cancel button.
            if (m_nCountdown > 0) {
                ShowCountdownOnCancel();
                m_btnCancel.MoveScaled(175, 126, 88, 24);
            }
            break;
        default:
            break;
    }
}

void CDlgPopMsg::ShowCountdownOnCancel() {
    m_btnCancel.SetWindowText(QStringLiteral("%1(%2S)").arg(LoadLangString(kTextUploadAnyway),
                                                            QString::number(m_nCountdown)));
    m_btnCancel.Invalidate();
}

void CDlgPopMsg::OpenWebsiteSetting(const char* section, const char* key, const QString& fallback) {
    const std::string address =
        yav::profile::GetString(section, key, fallback.toStdString(), kAddressLimit,
                                g_ConfigManager.GetClientIniPath().toStdString());
    if (!address.empty()) {
        yav::shell::OpenUrl(QString::fromStdString(address));
    }
}

void CDlgPopMsg::OnOkButton() {
    KillTimer(kCountdownTimer);
    switch (m_nType) {
        case 3:
            yav::shell::OpenFolder(g_AppSettings.photopath);
            break;
        case 6:
            yav::shell::OpenUrl(kDownloadPage);
            break;
        case 8:
            if (m_nRequestUser != 0) {
                AnswerRequest(1);
            }
            break;
        case 11:
            OpenWebsiteSetting("feedback", "Decodeurl", QString());
            break;
        case 14:
        case 16:
        case 17:
            OpenWebsiteSetting("WPSwebsite", "officialURL", kOfficeSuiteSite);
            break;
        default:
            break;
    }
    if (m_bModal == 0) {
        DestroyWindow();
    } else {
        yav::Dialog::OnOK();
    }
}

void CDlgPopMsg::OnCancelButton() {
    KillTimer(kCountdownTimer);
    if (m_nType == 8 && m_nRequestUser != 0) {
        AnswerRequest(0);
    }
    if (m_bModal == 0) {
        DestroyWindow();
    } else {
        yav::Dialog::OnCancel();
    }
}

void CDlgPopMsg::AnswerRequest(BYTE accept) {
    if (m_bAnswered || m_nPendingUser == 0) {
        return;
    }
    m_bAnswered = true;
    if (g_pUiMainFrame != nullptr) {
        g_pUiMainFrame->AnswerControlRequest(accept, static_cast<WORD>(m_nPendingUser));
    }
}

void CDlgPopMsg::OnDestroy() {
    // A control request is answered exactly once: a box that goes without an answer (the
    // countdown, a newer request replacing it) refuses it.
    AnswerRequest(0);
    m_nPendingUser = 0;
    CDlgCommon::OnDestroy();
}

BOOL CDlgPopMsg::PreTranslateMessage(yav::Msg* msg) {
    if (msg->message == WM_KEYDOWN &&
        (msg->wParam == VK_ESCAPE || msg->wParam == VK_RETURN || msg->wParam == VK_SPACE)) {
        return 1;
    }
    return CDlgCommon::PreTranslateMessage(msg);
}

void CDlgPopMsg::OnShowWindow(BOOL show) {
    CDlgCommon::OnShowWindow(show);
    if (show != 0) {
        m_bShown = 1;
    }
}

void CDlgPopMsg::OnTimer(UINT id) {
    switch (id) {
        case kShowTimer:
            if (m_bShown == 0) {
                ShowWindow(SW_SHOWNORMAL);
                UpdateWindow();
                m_bShown = 1;
            } else {
                KillTimer(kShowTimer);
            }
            break;
        case kCountdownTimer:
            if (m_nCountdown > 0) {
                --m_nCountdown;
                if (m_nType == 14) {
                    ShowCountdownOnCancel();
                }
            }
            if (m_nCountdown <= 0) {
                KillTimer(kCountdownTimer);
                if (m_nType == 14) {
                    OnCancelButton();
                } else {
                    yav::Dialog::OnOK();
                }
            }
            break;
        case kStateWatchTimer:
            if (g_pUiMainFrame != nullptr && (g_pUiMainFrame->GetControlStateFirst() == 0 ||
                                              g_pUiMainFrame->GetControlStateSecond() == 1 ||
                                              g_pUiMainFrame->GetScreenControlState() != 0)) {
                KillTimer(kStateWatchTimer);
                yav::Dialog::OnCancel();
            }
            break;
        case kRequestWatchTimer:
            if (g_pUiMainFrame != nullptr &&
                (g_pUiMainFrame->IsConnectionLost() || g_pUiMainFrame->GetControlRequest() != 0 ||
                 g_pUiMainFrame->GetScreenControlState() != 0)) {
                KillTimer(kRequestWatchTimer);
                OnCancelButton();
            }
            break;
        default:
            break;
    }
    CDlgCommon::OnTimer(id);
}

BOOL CDlgPopMsg::OnEraseBkgnd(QPainter& painter) {
    CDlgCommon::OnEraseBkgnd(painter);
    if (m_nType != 4) {
        return 1;
    }
    // Type 4 has no controls: the background carries the caption and the message.
    yav::gdip::StringFormat format;
    format.noWrap = true;
    format.lineLimit = true;
    format.trimming = yav::gdip::Trimming::EllipsisWord;
    format.align = yav::gdip::Align::Near;
    format.lineAlign = yav::gdip::Align::Center;
    painter.setRenderHint(QPainter::TextAntialiasing);
    yav::gdip::DrawString(painter, m_strTitle, g_fontUI, QRectF(yav::ScaledRect(16, 7, 210, 21)),
                          format, yav::ColorFromArgb(g_argbWhite));
    yav::gdip::DrawString(painter, m_strMessage, g_fontUI, QRectF(yav::ScaledRect(25, 32, 250, 73)),
                          format, Qt::black);
    return 1;
}
