#include "CDlgTransSvr.h"

#include <QPainter>

#include "ConfigManger.h"
#include "LoginRecords.h"
#include "LoginUi.h"
#include "SkinGlobals.h"
#include "platform/window/Placement.h"

namespace {

constexpr int kTextName = 37;
constexpr int kTextAddress = 40;
constexpr int kTextPort = 88;
constexpr int kTextNext = 667;
constexpr int kTextBack = 670;
constexpr int kTextVersion = 3079;

constexpr UINT kImageCloseHover = 160;
constexpr UINT kImageClose = 162;
constexpr UINT kImageMinimizeHover = 170;
constexpr UINT kImageMinimize = 172;
constexpr UINT kImageStepHover = 176;
constexpr UINT kImageStep = 178;
constexpr UINT kImageLogo = 222;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr int kColumnCentred = 2;

// This window keeps its pixel size at every display scale.
constexpr int kWindowWidth = 412;
constexpr int kWindowHeight = 299;

}  // namespace

CDlgTransSvr::CDlgTransSvr(QWidget* parent)
    : yav::Dialog(IDD, parent),
      m_listServers(this),
      m_btnBack(this),
      m_btnNext(this),
      m_imgLogo(this),
      m_staticVersion(this),
      m_btnMinimize(this),
      m_btnClose(this) {
    m_listServers.SetDlgCtrlID(IDC_SERVER_LIST);
    m_btnBack.SetDlgCtrlID(IDC_BACK);
    m_btnNext.SetDlgCtrlID(IDC_NEXT);
    m_imgLogo.SetDlgCtrlID(IDC_LOGO);
    m_staticVersion.SetDlgCtrlID(IDC_VERSION);
    m_btnMinimize.SetDlgCtrlID(IDC_MINIMIZE);
    m_btnClose.SetDlgCtrlID(IDC_CLOSE);
    MapCommand(IDC_NEXT, [this] { OnNext(); });
    MapCommand(IDC_BACK, [this] { OnBack(); });
    MapCommand(IDC_MINIMIZE, [this] { ShowWindow(SW_MINIMIZE); });
    MapCommand(IDC_CLOSE, [this] { OnClose(); });
    QObject::connect(&m_listServers, &QTreeWidget::itemDoubleClicked, &m_listServers,
                     [this] { OnNext(); });
}

CDlgTransSvr::~CDlgTransSvr() {
    DestroyWindow();
}

void CDlgTransSvr::SetServerList(const ST_CS_SERVER* table, int count) {
    m_pServers = table;
    m_nServerCount = table != nullptr && count > 0 ? count : 0;
}

int CDlgTransSvr::GetChosenServer() const {
    const int selected = m_listServers.GetSelectionMark();
    return selected >= 0 ? selected : 0;
}

BOOL CDlgTransSvr::OnInitDialog() {
    yav::Dialog::OnInitDialog();
    SetWindowPos(yav::ZOrder::Keep, 0, 0, kWindowWidth, kWindowHeight, SWP_NOMOVE | SWP_NOZORDER);
    yav::CenterInWorkArea(this, yav::ScreenNearest(GetParentWnd()));

    m_pImgLogo = LoadPNGIfEmpty(m_pImgLogo, kImageLogo);
    if (m_pImgMinimize == nullptr) {
        m_pImgMinimize = g_ConfigManager.LoadPNGScaled(kImageMinimize);
    }
    m_pImgMinimizeHover = LoadPNGIfEmpty(m_pImgMinimizeHover, kImageMinimizeHover);
    m_pImgClose = LoadPNGIfEmpty(m_pImgClose, kImageClose);
    m_pImgCloseHover = LoadPNGIfEmpty(m_pImgCloseHover, kImageCloseHover);
    m_pImgStep = LoadPNGIfEmpty(m_pImgStep, kImageStep);
    m_pImgStepHover = LoadPNGIfEmpty(m_pImgStepHover, kImageStepHover);

    m_imgLogo.SetImage(m_pImgLogo);
    m_imgLogo.SetBkColor(g_clrCaption);
    m_staticVersion.SetWindowText(
        QStringLiteral("%1%2").arg(LoadLangString(kTextVersion), QStringLiteral("1.2.1")));
    m_staticVersion.SetAlignLeft();
    m_staticVersion.SetTextColor(kWhite);
    login_ui::SetUpBandButton(m_btnMinimize, m_pImgMinimize, m_pImgMinimize, m_pImgMinimizeHover,
                              g_clrCaption);
    login_ui::SetUpBandButton(m_btnClose, m_pImgClose, m_pImgClose, m_pImgCloseHover, g_clrCaption);
    login_ui::SetUpCaptionButton(m_btnBack, m_pImgStep, m_pImgStepHover, LoadLangString(kTextBack),
                                 kWhite);
    login_ui::SetUpCaptionButton(m_btnNext, m_pImgStep, m_pImgStepHover, LoadLangString(kTextNext),
                                 kWhite);
    m_listServers.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    m_listServers.InsertColumn(0, LoadLangString(kTextName), kColumnCentred, 193);
    m_listServers.InsertColumn(1, LoadLangString(kTextAddress), kColumnCentred, 87);
    m_listServers.InsertColumn(2, LoadLangString(kTextPort), kColumnCentred, 87);
    m_listServers.SetHeaderBkColor(255, 255, 255, 0);
    m_listServers.SetHeaderFontSize(13, 0);
    m_listServers.SetBkColor(kWhite);
    FillRows();

    m_imgLogo.MoveWindow(12, 7, 20, 18);
    m_staticVersion.MoveWindow(39, 8, 276, 17);
    m_btnClose.MoveWindow(379, 7, 16, 16);
    m_btnMinimize.MoveWindow(351, 7, 16, 16);
    m_listServers.MoveWindow(22, 51, 369, 193);
    m_btnBack.MoveWindow(256, 259, 60, 24);
    m_btnNext.MoveWindow(331, 259, 60, 24);
    m_btnNext.setFocus();
    return 1;
}

void CDlgTransSvr::FillRows() {
    m_listServers.DeleteAllItems();
    std::vector<QString> addresses;
    for (int i = 0; i < m_nServerCount; ++i) {
        const login_records::CsServerColumns row = login_records::CsServerRow(m_pServers[i]);
        m_listServers.InsertItem(i, row.name);
        // Latency and loss follow once the probes had their time.
        m_listServers.SetItemText(i, 1, QStringLiteral("..."));
        m_listServers.SetItemText(i, 2, QStringLiteral("..."));
        addresses.push_back(row.address);
    }
    if (m_nServerCount > 0) {
        m_listServers.SetSelectionMark(0);
    }
    m_pProbe = std::make_unique<CsServerProbe>();
    m_pProbe->Start(addresses, m_nProbePort, m_nProbeWaitMs, [this] { ShowProbeResults(); });
}

void CDlgTransSvr::ShowProbeResults() {
    const std::vector<CsServerProbe::Result>& results = m_pProbe->Results();
    for (int i = 0; i < m_nServerCount && i < static_cast<int>(results.size()); ++i) {
        m_listServers.SetItemText(i, 1, CsServerProbe::LatencyText(results[i]));
        m_listServers.SetItemText(i, 2, CsServerProbe::LossText(results[i]));
    }
}

void CDlgTransSvr::OnDestroy() {
    m_pProbe.reset();
    yav::Dialog::OnDestroy();
}

BOOL CDlgTransSvr::OnEraseBkgnd(QPainter& painter) {
    const QRect client = GetClientRect();
    painter.fillRect(QRect(0, 0, client.width(), g_nCaptionHeight),
                     yav::ColorFromRef(g_clrCaption));
    painter.fillRect(QRect(0, g_nCaptionHeight, client.width(), client.height() - g_nCaptionHeight),
                     yav::ColorFromArgb(g_argbWhite));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(yav::ColorFromArgb(g_argbBorder), 0.5));
    painter.drawRect(QRectF(0.5, 0.5, client.width() - 1, client.height() - 1));
    return 1;
}

int CDlgTransSvr::OnNcHitTest(const QPoint& screenPoint) {
    if (GetWindowRect().contains(screenPoint)) {
        return HTCAPTION;
    }
    return yav::Dialog::OnNcHitTest(screenPoint);
}

BOOL CDlgTransSvr::PreTranslateMessage(yav::Msg* msg) {
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE) {
        return 1;
    }
    return yav::Dialog::PreTranslateMessage(msg);
}

void CDlgTransSvr::OnOK() {
    OnNext();
}

void CDlgTransSvr::OnCancel() {
    OnClose();
}

void CDlgTransSvr::EndBeforeTheRoad(int result) {
    // The road's next windows open before this dialog's loop returns: leave the screen now.
    EndDialog(result);
    ShowWindow(SW_HIDE);
}

void CDlgTransSvr::OnNext() {
    const int chosen = GetChosenServer();
    EndBeforeTheRoad(IDOK);
    if (m_pOwner != nullptr && m_nServerCount > 0) {
        m_pOwner->LoginChosenCsServer(chosen);
    }
}

void CDlgTransSvr::OnBack() {
    EndBeforeTheRoad(IDCANCEL);
    if (m_pOwner != nullptr) {
        m_pOwner->ShowConfListDlg();
    }
}

void CDlgTransSvr::OnClose() {
    EndBeforeTheRoad(IDCANCEL);
    if (m_pOwner != nullptr) {
        m_pOwner->ExitApp();
    }
}
