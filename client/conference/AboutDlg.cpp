#include "AboutDlg.h"

#include "client/dialogs/login/LoginUi.h"
#include "config/AppSettings.h"
#include "config/ConfigManger.h"
#include "platform/window/Scaled.h"

namespace {

constexpr int kTextTitle = 1;
constexpr int kTextOk = 4;
constexpr UINT kImageHover = 176;
constexpr UINT kImageNormal = 178;
constexpr COLORREF kWhite = RGB(255, 255, 255);

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent)
    : CDlgCommon(IDD, parent), m_staticTitle(this), m_staticVersion(this), m_btnOk(this) {
    m_staticTitle.SetDlgCtrlID(IDC_TITLE);
    m_staticVersion.SetDlgCtrlID(IDC_VERSION);
    m_btnOk.SetDlgCtrlID(IDOK);
}

BOOL CAboutDlg::OnInitDialog() {
    CDlgCommon::OnInitDialog();
    SetWindowPos(yav::ZOrder::Keep, 0, 0, yav::Scaled(300), yav::Scaled(150),
                 SWP_NOMOVE | SWP_NOZORDER);
    m_staticTitle.SetWindowText(LoadLangString(kTextTitle));
    m_staticTitle.SetAlignLeft();
    m_staticTitle.SetTextColor(kWhite);
    m_staticVersion.SetWindowText(LoadLangString(kTextTitle) + QStringLiteral(" ") +
                                  g_AppSettings.clientversion);
    m_staticVersion.SetAlignCenter();
    m_staticVersion.SetLineAlign(1);
    static QImage* normal = nullptr;
    static QImage* hover = nullptr;
    normal = LoadPNGIfEmpty(normal, kImageNormal);
    hover = LoadPNGIfEmpty(hover, kImageHover);
    login_ui::SetUpCaptionButton(m_btnOk, normal, hover, LoadLangString(kTextOk), kWhite);
    m_staticTitle.MoveWindow(yav::ScaledRect(16, 7, 210, 21));
    m_staticVersion.MoveWindow(yav::ScaledRect(25, 32, 250, 73));
    m_btnOk.MoveWindow(yav::Scaled(201), yav::Scaled(106), yav::Scaled(74), yav::Scaled(24));
    return 1;
}
