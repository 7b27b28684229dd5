#include "CDlgConfList.h"

#include <QPainter>

#include "AppSettings.h"
#include "ConfigManger.h"
#include "LoginRecords.h"
#include "LoginUi.h"
#include "SkinGlobals.h"
#include "UiFonts.h"
#include "platform/core/Log.h"
#include "platform/window/Placement.h"
#include "platform/window/Scaled.h"

namespace {

constexpr int kTextCaption = 1;
constexpr int kTextVersion = 3079;
constexpr int kTextLogout = 3082;
constexpr int kTextSearchHint = 3085;
constexpr int kTextEmpty = 3088;

constexpr UINT kBitmapScrollBar = 96;
constexpr UINT kImageCloseHover = 160;
constexpr UINT kImageClose = 162;
constexpr UINT kImageMinimizeHover = 170;
constexpr UINT kImageMinimize = 172;
constexpr UINT kImageHeader = 206;
constexpr UINT kImageLogoutHover = 212;
constexpr UINT kImageLogout = 214;
constexpr UINT kImageHead = 218;
constexpr UINT kImageLogo = 222;
constexpr UINT kImageEmpty = 224;
constexpr UINT kImageSearchFrame = 226;
// Design pixels the search edit keeps clear of the frame's right end (border and its inside).
constexpr int kSearchBorderGap = 3;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kUserNameColor = 0xFF0000;
constexpr COLORREF kLogoutGrey = 0x8D8D8D;
constexpr COLORREF kLogoutHover = 0xED8533;
constexpr COLORREF kEmptyGrey = 0x999999;

constexpr int kWindowWidth = 768;
constexpr int kWindowHeight = 521;
constexpr int kHeaderHeight = 87;
constexpr int kListTop = 117;
constexpr int kBarTop = 118;
constexpr int kBarWidth = 18;

}  // namespace

CDlgConfList::CDlgConfList(QWidget* parent)
    : CDlgCommon(IDD, parent),
      m_btnClose(this),
      m_imgLogo(this),
      m_staticVersion(this),
      m_btnMinimize(this),
      m_imgHead(this),
      m_staticUserName(this),
      m_btnLogout(this),
      m_btnSearch(this),
      m_editSearch(this),
      m_staticEmpty(this),
      m_imgEmpty(this),
      m_listChild(this),
      m_scrollBar(this, SBS_VERT) {
    m_btnClose.SetDlgCtrlID(IDC_CLOSE);
    m_imgLogo.SetDlgCtrlID(IDC_LOGO);
    m_staticVersion.SetDlgCtrlID(IDC_VERSION);
    m_btnMinimize.SetDlgCtrlID(IDC_MINIMIZE);
    m_imgHead.SetDlgCtrlID(IDC_HEAD);
    m_staticUserName.SetDlgCtrlID(IDC_USER_NAME);
    m_btnLogout.SetDlgCtrlID(IDC_LOGOUT);
    m_btnSearch.SetDlgCtrlID(IDC_SEARCH);
    m_editSearch.SetDlgCtrlID(IDC_SEARCH_EDIT);
    m_staticEmpty.SetDlgCtrlID(IDC_EMPTY_TEXT);
    m_imgEmpty.SetDlgCtrlID(IDC_EMPTY_IMAGE);
    m_scrollBar.SetDlgCtrlID(IDC_SCROLLBAR);
    MapCommand(IDC_CLOSE, [this] { OnBnClickedClose(); });
    MapCommand(IDC_MINIMIZE, [this] { ShowWindow(SW_MINIMIZE); });
    MapCommand(IDC_LOGOUT, [this] { OnBnClickedLogout(); });
    MapMessage(WM_VSCROLL,
               [this](WPARAM wParam, LPARAM lParam) { return OnVScroll(wParam, lParam); });
    QObject::connect(&m_editSearch, &QLineEdit::textChanged, &m_editSearch,
                     [this] { OnEnChangeSearch(); });
}

CDlgConfList::~CDlgConfList() {
    DestroyWindow();
}

void CDlgConfList::SetConfList(const ST_CONF_ITEM* records, int count, const QString& userName) {
    m_strUserName = userName;
    m_records.clear();
    if (records != nullptr && count > 0) {
        m_records.assign(records, records + count);
    }
    m_nCount = static_cast<int>(m_records.size());
}

void CDlgConfList::CancelDlg() {
    YLOG_DEBUG("CDlgConfList::CancelDlg return OnOK");
    EndDialog(IDOK);
}

BOOL CDlgConfList::OnInitDialog() {
    CDlgCommon::OnInitDialog();
    SetWindowPos(yav::ZOrder::Keep, 0, 0, yav::Scaled(kWindowWidth), yav::Scaled(kWindowHeight),
                 SWP_NOMOVE | SWP_NOZORDER);
    if (m_pOwner != nullptr && m_pOwner->GetMonitor() != nullptr) {
        yav::CenterInWorkArea(this, m_pOwner->GetMonitor());
    }
    LoadImages();
    m_listChild.LoadImages();

    // The skinned bar stands at the right edge, below the header.
    const int width = yav::Scaled(kWindowWidth);
    const int height = yav::Scaled(kWindowHeight);
    m_scrollBar.SetBitmap(LoadSkinBitmap(kBitmapScrollBar));
    m_scrollBar.MoveWindow(width - yav::Scaled(kBarWidth), yav::Scaled(kBarTop),
                           yav::Scaled(kBarWidth), height - yav::Scaled(kBarTop));
    SkinScrollInfo info;
    info.nMin = 0;
    info.nMax = height - yav::Scaled(kBarTop);
    info.nPage = info.nMax;
    info.nPos = 0;
    m_scrollBar.SetScrollInfo(info, 1);
    m_scrollBar.ShowWindow(SW_SHOW);

    SetUpControls();
    LayoutControls();
    FillList();
    SetWindowText(LoadLangString(kTextCaption));
    m_listChild.setFocus();
    return 1;
}

void CDlgConfList::LoadImages() {
    if (m_pImgLogo == nullptr) {
        if (g_ConfigManager.bIsSelfLog != 0) {
            if (m_ownLogo.load(QStringLiteral("%1logo/logo%2/logo2.png")
                                   .arg(g_ConfigManager.GetModuleDir(),
                                        QString::number(g_ConfigManager.nSkinIndex)))) {
                m_pImgLogo = &m_ownLogo;
            }
        } else {
            m_pImgLogo = g_ConfigManager.LoadPNG(kImageLogo);
        }
    }
    m_pImgHeader = LoadPNGIfEmpty(m_pImgHeader, kImageHeader);
    if (m_pImgMinimize == nullptr) {
        m_pImgMinimize = g_ConfigManager.LoadPNGScaled(kImageMinimize);
    }
    m_pImgMinimizeHover = LoadPNGIfEmpty(m_pImgMinimizeHover, kImageMinimizeHover);
    m_pImgClose = LoadPNGIfEmpty(m_pImgClose, kImageClose);
    m_pImgCloseHover = LoadPNGIfEmpty(m_pImgCloseHover, kImageCloseHover);
    m_pImgHead = LoadPNGIfEmpty(m_pImgHead, kImageHead);
    m_pImgLogout = LoadPNGIfEmpty(m_pImgLogout, kImageLogout);
    m_pImgLogoutHover = LoadPNGIfEmpty(m_pImgLogoutHover, kImageLogoutHover);
    m_pImgSearchFrame = LoadPNGIfEmpty(m_pImgSearchFrame, kImageSearchFrame);
    m_pImgEmpty = LoadPNGIfEmpty(m_pImgEmpty, kImageEmpty);
}

void CDlgConfList::SetUpControls() {
    m_imgLogo.SetImage(m_pImgLogo);
    m_imgLogo.SetBkColor(g_clrCaption);
    m_staticVersion.SetWindowText(
        QStringLiteral("%1%2").arg(LoadLangString(kTextVersion), g_AppSettings.clientversion));
    m_staticVersion.SetAlignLeft();
    m_staticVersion.SetTextColor(kWhite);
    login_ui::SetUpBandButton(m_btnMinimize, m_pImgMinimize, m_pImgMinimize, m_pImgMinimizeHover,
                              g_clrCaption);
    login_ui::SetUpBandButton(m_btnClose, m_pImgClose, m_pImgClose, m_pImgCloseHover, g_clrCaption);
    m_imgHead.SetImage(m_pImgHead);
    m_staticUserName.SetAlignLeft();
    m_staticUserName.SetTextColor(kUserNameColor);
    m_staticUserName.SetWindowText(m_strUserName);
    m_btnLogout.SetImages(m_pImgLogout, m_pImgLogout, m_pImgLogoutHover, nullptr, nullptr, nullptr,
                          nullptr);
    m_btnLogout.SetBkColor(kWhite);
    m_btnLogout.SetWindowText(LoadLangString(kTextLogout));
    m_btnLogout.SetShowText(1);
    m_btnLogout.SetTextPos(12, 0);  // design pixels: the button scales the offset
    m_btnLogout.SetTextColors(kLogoutGrey, kLogoutHover, kLogoutGrey, kLogoutGrey);
    m_btnSearch.SetImages(m_pImgSearchFrame, m_pImgSearchFrame, m_pImgSearchFrame,
                          m_pImgSearchFrame, nullptr, nullptr, nullptr);
    m_btnSearch.SetBkColor(kWhite);
    m_btnSearch.ShowWindow(SW_HIDE);
    m_editSearch.SetHintText(LoadLangString(kTextSearchHint));
    m_editSearch.SetFrameColor(kWhite);
    m_editSearch.setFont(g_fontUI);
    m_listChild.Create(CDlgConfListChild::IDD, this);
    m_listChild.SetJoinHandler(m_pOwner);
    m_listChild.SetSkinScrollBar(&m_scrollBar);
    m_staticEmpty.SetWindowText(LoadLangString(kTextEmpty));
    m_staticEmpty.SetAlignLeft();
    m_staticEmpty.SetTextColor(kEmptyGrey);
    m_staticEmpty.SetFontSizeDelta(20);
    m_imgEmpty.SetImage(m_pImgEmpty);
}

void CDlgConfList::LayoutControls() {
    const QRect client = GetClientRect();
    const int w = client.width();
    const int h = client.height();
    m_imgLogo.MoveWindow(yav::ScaledRect(12, 7, 20, 18));
    m_staticVersion.MoveWindow(yav::ScaledRect(39, 8, 276, 17));
    m_btnClose.MoveScaled(740, 7, 16, 16);
    m_btnMinimize.MoveScaled(708, 7, 16, 16);
    m_imgHead.MoveWindow(yav::ScaledRect(35, 52, 49, 49));
    m_staticUserName.MoveWindow(yav::ScaledRect(92, 56, 180, 23));
    m_btnLogout.MoveScaled(85, 74, 80, 31);
    m_btnSearch.MoveWindow(w - yav::Scaled(126), yav::Scaled(52), yav::Scaled(126),
                           yav::Scaled(48));
    // The edit stops short of the frame picture's right end, whose border it would paint over.
    m_editSearch.MoveWindow(w - yav::Scaled(96) - yav::Scaled(10), yav::Scaled(67),
                            yav::Scaled(96 - kSearchBorderGap), yav::Scaled(22));
    // The notice is centred with unscaled offsets.
    const int emptyX = (w - 214) / 2;
    m_imgEmpty.MoveWindow(emptyX, yav::Scaled(188), yav::Scaled(84), yav::Scaled(81));
    m_staticEmpty.MoveWindow(emptyX + 89, yav::Scaled(198), yav::Scaled(124), yav::Scaled(61));
    m_listChild.MoveWindow(0, yav::Scaled(kListTop), w - yav::Scaled(kBarWidth),
                           h - yav::Scaled(kListTop));
    const bool hasRows = m_nCount >= 1;
    m_listChild.ShowWindow(hasRows ? SW_SHOW : SW_HIDE);
    m_staticEmpty.ShowWindow(hasRows ? SW_HIDE : SW_SHOW);
    m_imgEmpty.ShowWindow(hasRows ? SW_HIDE : SW_SHOW);
}

void CDlgConfList::FillList() {
    if (!m_listChild.IsWindow()) {
        return;
    }
    m_listChild.ClearItems();
    for (int i = 0; i < m_nCount; ++i) {
        const ST_CONF_ITEM& record = m_records[static_cast<size_t>(i)];
        m_listChild.AddItem(i, record.confId, record.onlineCount, record.capacity,
                            login_records::ConfName(record));
    }
    m_listChild.ShowAll();
}

BOOL CDlgConfList::OnEraseBkgnd(QPainter& painter) {
    const QRect client = GetClientRect();
    const int captionHeight = g_nCaptionHeight;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.fillRect(QRect(0, 0, client.width(), captionHeight), yav::ColorFromRef(g_clrCaption));
    const int headerHeight = yav::Scaled(kHeaderHeight);
    if (m_pImgHeader != nullptr) {
        painter.drawImage(QRect(0, captionHeight, client.width(), headerHeight), *m_pImgHeader);
    }
    if (m_pImgSearchFrame != nullptr) {
        painter.drawImage(QRect(client.width() - yav::Scaled(136), yav::Scaled(52),
                                yav::Scaled(126), yav::Scaled(48)),
                          *m_pImgSearchFrame);
    }
    const int bodyTop = captionHeight + headerHeight;
    painter.fillRect(QRect(0, bodyTop, client.width(), client.height() - bodyTop),
                     yav::ColorFromArgb(g_argbWhite));
    return 1;
}

BOOL CDlgConfList::PreTranslateMessage(yav::Msg* msg) {
    if (msg->message == WM_KEYDOWN && (msg->wParam == VK_ESCAPE || msg->wParam == VK_RETURN)) {
        return 1;
    }
    return CDlgCommon::PreTranslateMessage(msg);
}

void CDlgConfList::OnEnChangeSearch() {
    const QString text = m_editSearch.text();
    if (text.isEmpty()) {
        m_listChild.ShowAll();
    } else {
        m_listChild.Filter(text);
    }
}

LRESULT CDlgConfList::OnVScroll(WPARAM wParam, LPARAM /*lParam*/) {
    if (m_listChild.IsWindow()) {
        m_listChild.OnVScroll(LOWORD(wParam));
    }
    return 0;
}

void CDlgConfList::OnBnClickedLogout() {
    if (m_pOwner != nullptr) {
        m_pOwner->SetMonitor(yav::ScreenNearest(this));
    }
    EndDialog(IDCANCEL);
}

void CDlgConfList::OnBnClickedClose() {
    // Only this instance ends, through the road's normal shut-down.
    EndDialog(IDOK);
    if (m_pOwner != nullptr) {
        m_pOwner->ExitApp();
    }
}

void CDlgConfList::OnCancel() {
    YLOG_DEBUG("CDlgConfList::OnClose 消息");
    OnBnClickedClose();
}

void CDlgConfList::OnDestroy() {
    YLOG_DEBUG("CDlgConfList::DestroyWindow");
    m_listChild.DestroyWindow();
    CDlgCommon::OnDestroy();
}
