#include "CDlgNetTip.h"

#include <QPainter>

#include "CDlgCallStatistics.h"
#include "ConfigManger.h"
#include "NetQualityEval.h"
#include "PanelHost.h"
#include "platform/window/Scaled.h"

namespace {

constexpr COLORREF kLabel = RGB(0x40, 0x40, 0x40);
constexpr COLORREF kPromptLabel = RGB(0x33, 0x33, 0x33);
constexpr COLORREF kLink = RGB(0x41, 0x69, 0xE1);
constexpr COLORREF kWhite = RGB(255, 255, 255);

}  // namespace

CDlgNetTip::CDlgNetTip(QWidget* parent)
    : yav::Dialog(IDD, parent),
      m_staticLevel(this),
      m_btnSmart(this),
      m_staticSmart(this),
      m_staticNote(this),
      m_btnPrompt(this),
      m_staticPrompt(this),
      m_btnClose(this),
      m_btnDetails(this) {
    m_staticLevel.SetDlgCtrlID(IDC_LEVEL);
    m_btnSmart.SetDlgCtrlID(IDC_SMART);
    m_staticSmart.SetDlgCtrlID(IDC_SMART_TEXT);
    m_staticNote.SetDlgCtrlID(IDC_SMART_NOTE);
    m_btnPrompt.SetDlgCtrlID(IDC_PROMPT);
    m_staticPrompt.SetDlgCtrlID(IDC_PROMPT_TEXT);
    m_btnClose.SetDlgCtrlID(IDC_CLOSE);
    m_btnDetails.SetDlgCtrlID(IDC_DETAILS);
    MapCommand(IDC_CLOSE, [this] { ShowWindow(SW_HIDE); });
    MapCommand(IDC_SMART, [this] { OnBtnSmart(); });
    MapCommand(IDC_PROMPT, [this] { OnBtnPrompt(); });
    MapCommand(IDC_DETAILS, [this] { OnBtnDetails(); });
}

CDlgNetTip::~CDlgNetTip() {
    DestroyWindow();
}

QString CDlgNetTip::LevelText(int level) {
    const int text = level == 0 ? 3268 : (level == 1 ? 3265 : 3262);
    return QStringLiteral("%1:%2").arg(LoadLangString(580), LoadLangString(text));
}

BOOL CDlgNetTip::OnInitDialog() {
    yav::Dialog::OnInitDialog();
    QImage* on = g_ConfigManager.LoadPNGScaled(1034);
    QImage* off = g_ConfigManager.LoadPNGScaled(1036);
    QImage* close = g_ConfigManager.LoadPNGScaled(1038);
    QImage* promptOn = g_ConfigManager.LoadPNG(736);
    QImage* promptOff = g_ConfigManager.LoadPNG(748);

    for (CTransparentStatic* label : {&m_staticLevel, &m_staticSmart, &m_staticNote}) {
        label->SetAlignLeft();
        label->SetTextColor(kLabel);
    }
    m_staticPrompt.SetAlignLeft();
    m_staticPrompt.SetTextColor(kPromptLabel);
    m_staticLevel.SetWindowText(LevelText(2));
    m_btnSmart.SetImages(off, off, off, nullptr, on, on, on);
    m_btnSmart.SetBkColor(kWhite);
    m_btnSmart.SetState(g_nSmartAdjust != 0 ? 1 : 0);
    m_btnPrompt.SetImages(promptOff, promptOff, promptOff, nullptr, promptOn, promptOn, promptOn);
    m_btnPrompt.SetBkColor(kWhite);
    m_btnPrompt.SetState(g_nNetAutoPrompt != 0 ? 1 : 0);
    m_btnClose.SetImages(close, close, close, nullptr, nullptr, nullptr, nullptr);
    m_btnClose.SetBkColor(kWhite);
    m_btnDetails.SetImages(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    m_btnDetails.SetBkColor(kWhite);
    m_btnDetails.SetTextStyle(1, 0);
    m_btnDetails.SetTextColors(kLink, kLink, kLink, kLink);
    ReloadTexts();

    m_staticLevel.MoveWindow(yav::ScaledRect(11, 11, 124, 20));
    m_btnSmart.MoveScaled(11, 34, 30, 16);
    m_staticSmart.MoveWindow(yav::ScaledRect(45, 33, 179, 20));
    m_staticNote.MoveWindow(yav::ScaledRect(11, 58, 196, 36));
    m_btnPrompt.MoveScaled(13, 97, 16, 16);
    m_staticPrompt.MoveWindow(yav::ScaledRect(31, 96, 157, 54));
    m_btnClose.MoveScaled(193, 6, 11, 11);
    m_btnDetails.MoveScaled(120, 9, 60, 20);
    // The status bar gives the tip its place and design size when it shows it.
    MoveWindow(0, 0, 215, 125);
    return 1;
}

void CDlgNetTip::SetLevel(int level) {
    m_nLevel = level;
    m_staticLevel.SetWindowText(LevelText(level));
}

void CDlgNetTip::ReloadTexts() {
    SetLevel(m_nLevel);
    m_staticSmart.SetWindowText(LoadLangString(2680));
    m_staticNote.SetWindowText(LoadLangString(2677));
    m_staticPrompt.SetWindowText(LoadLangString(2539));
    m_btnDetails.SetWindowText(LoadLangString(5492));
}

void CDlgNetTip::OnBtnSmart() {
    g_nSmartAdjust = g_nSmartAdjust == 0 ? 1 : 0;
    m_btnSmart.SetState(g_nSmartAdjust != 0 ? 1 : 0);
    if (IPanelHost* host = GetPanelHost()) {
        host->RefreshVideoWindows();
    }
}

void CDlgNetTip::OnBtnPrompt() {
    g_nNetAutoPrompt = g_nNetAutoPrompt == 0 ? 1 : 0;
    m_btnPrompt.SetState(g_nNetAutoPrompt != 0 ? 1 : 0);
}

void CDlgNetTip::OnBtnDetails() {
    if (m_pStatistics != nullptr) {
        m_pStatistics->SetLevel(m_nLevel);
        m_pStatistics->ShowOnMonitor();
    }
}

BOOL CDlgNetTip::OnEraseBkgnd(QPainter& painter) {
    const QRect client = GetClientRect();
    painter.fillRect(client, Qt::white);
    painter.setPen(QColor(0xDD, 0xDD, 0xDD));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(client.adjusted(1, 1, -2, -2));
    return 1;
}

BOOL CDlgNetTip::PreTranslateMessage(yav::Msg* msg) {
    if (msg->message == WM_KEYDOWN) {
        return 1;
    }
    return yav::Dialog::PreTranslateMessage(msg);
}
