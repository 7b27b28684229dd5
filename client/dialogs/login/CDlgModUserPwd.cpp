#include "CDlgModUserPwd.h"

#include "ConfigManger.h"
#include "LoginUi.h"
#include "PasswordChangeCheck.h"
#include "SkinGlobals.h"
#include "UiFonts.h"
#include "platform/window/Placement.h"
#include "platform/window/Scaled.h"

namespace {

constexpr int kTextCancel = 7;
constexpr int kTextSubmit = 10;
constexpr int kTextTitle = 2056;
constexpr int kTextOld = 2059;
constexpr int kTextNew = 2062;
constexpr int kTextConfirm = 2065;

constexpr UINT kImageCloseHover = 160;
constexpr UINT kImageClose = 162;
constexpr UINT kImageOkHover = 176;
constexpr UINT kImageOk = 178;
constexpr UINT kImageCancel = 650;
constexpr UINT kImageCancelHover = 652;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kLabelGrey = 0x666666;
constexpr COLORREF kCancelGrey = 0x888888;

}  // namespace

CDlgModUserPwd::CDlgModUserPwd(QWidget* parent, ModifyPasswordFn modifyPassword)
    : CDlgCommon(IDD, parent),
      m_modifyPassword(std::move(modifyPassword)),
      m_staticTitle(this),
      m_btnClose(this),
      m_staticOld(this),
      m_editOld(this),
      m_staticNew(this),
      m_editNew(this),
      m_staticConfirm(this),
      m_editConfirm(this),
      m_btnOk(this),
      m_btnCancel(this) {
    m_staticTitle.SetDlgCtrlID(IDC_TITLE);
    m_btnClose.SetDlgCtrlID(IDC_CLOSE);
    m_staticOld.SetDlgCtrlID(IDC_OLD_LABEL);
    m_editOld.SetDlgCtrlID(IDC_OLD_PASSWORD);
    m_staticNew.SetDlgCtrlID(IDC_NEW_LABEL);
    m_editNew.SetDlgCtrlID(IDC_NEW_PASSWORD);
    m_staticConfirm.SetDlgCtrlID(IDC_CONFIRM_LABEL);
    m_editConfirm.SetDlgCtrlID(IDC_CONFIRM_PASSWORD);
    m_btnOk.SetDlgCtrlID(IDOK);
    m_btnCancel.SetDlgCtrlID(IDCANCEL);
    for (CEditXP* edit : {&m_editOld, &m_editNew, &m_editConfirm}) {
        edit->setEchoMode(QLineEdit::Password);
    }
    MapCommand(IDC_CLOSE, [this] { OnCancel(); });
}

CDlgModUserPwd::~CDlgModUserPwd() {
    DestroyWindow();
}

BOOL CDlgModUserPwd::OnInitDialog() {
    CDlgCommon::OnInitDialog();
    SetWindowPos(yav::ZOrder::Keep, 0, 0, yav::Scaled(304), yav::Scaled(207),
                 SWP_NOMOVE | SWP_NOZORDER);
    yav::CenterInWorkArea(this, yav::ScreenNearest(GetParentWnd()));

    m_pImgCloseNormal = LoadPNGIfEmpty(m_pImgCloseNormal, kImageClose);
    m_pImgCloseHover = LoadPNGIfEmpty(m_pImgCloseHover, kImageCloseHover);
    m_pImgOkNormal = LoadPNGIfEmpty(m_pImgOkNormal, kImageOk);
    m_pImgOkHover = LoadPNGIfEmpty(m_pImgOkHover, kImageOkHover);
    m_pImgCancelNormal = LoadPNGIfEmpty(m_pImgCancelNormal, kImageCancel);
    m_pImgCancelHover = LoadPNGIfEmpty(m_pImgCancelHover, kImageCancelHover);

    m_staticTitle.SetAlignLeft();
    m_staticTitle.SetTextColor(kWhite);
    m_staticTitle.SetWindowText(LoadLangString(kTextTitle));
    // No pressed picture of its own: pressed shows the hover one.
    login_ui::SetUpBandButton(m_btnClose, m_pImgCloseNormal, m_pImgCloseHover, m_pImgCloseHover,
                              g_clrCaption);
    const std::pair<CTransparentStatic*, int> labels[] = {
        {&m_staticOld, kTextOld}, {&m_staticNew, kTextNew}, {&m_staticConfirm, kTextConfirm}};
    for (const auto& [label, text] : labels) {
        label->SetAlignLeft();
        label->SetTextColor(kLabelGrey);
        label->SetWindowText(LoadLangString(text));
    }
    for (CEditXP* edit : {&m_editOld, &m_editNew, &m_editConfirm}) {
        edit->SetFrameColor(g_clrSkinLine);
        edit->setMaxLength(kPasswordLimitChars);
        edit->setFont(g_fontUI);
    }
    login_ui::SetUpCaptionButton(m_btnOk, m_pImgOkNormal, m_pImgOkHover,
                                 LoadLangString(kTextSubmit), kWhite);
    login_ui::SetUpCaptionButton(m_btnCancel, m_pImgCancelNormal, m_pImgCancelHover,
                                 LoadLangString(kTextCancel), kCancelGrey);

    m_staticTitle.MoveWindow(yav::ScaledRect(12, 7, 220, 17));
    m_btnClose.MoveScaled(275, 7, 16, 16);
    m_staticOld.MoveWindow(yav::ScaledRect(42, 62, 68, 17));
    m_staticNew.MoveWindow(yav::ScaledRect(42, 91, 68, 17));
    if (g_ConfigManager.GetLanguageIndex() == 1) {
        m_staticConfirm.MoveWindow(yav::ScaledRect(32, 120, 80, 17));
    } else {
        m_staticConfirm.MoveWindow(yav::ScaledRect(42, 120, 68, 17));
    }
    m_editOld.MoveWindow(yav::ScaledRect(110, 60, 147, 23));
    m_editNew.MoveWindow(yav::ScaledRect(110, 89, 147, 23));
    m_editConfirm.MoveWindow(yav::ScaledRect(110, 118, 147, 23));
    m_btnOk.MoveScaled(160, 160, 55, 24);
    m_btnCancel.MoveScaled(228, 160, 55, 24);
    return 1;
}

BOOL CDlgModUserPwd::PreTranslateMessage(yav::Msg* msg) {
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_SPACE && msg->hwnd == &m_btnOk) {
        return 1;
    }
    return CDlgCommon::PreTranslateMessage(msg);
}

void CDlgModUserPwd::OnOK() {
    const PasswordChangeResult checked =
        PasswordChangeCheck::Check(m_editOld.text(), m_editNew.text(), m_editConfirm.text());
    if (!checked.Passed()) {
        login_ui::ShowMessage(nullptr, checked.textId);
        return;
    }
    if (m_modifyPassword) {
        m_modifyPassword(checked.oldPassword, checked.newPassword, checked.confirmation);
    }
    EndDialog(IDOK);
}
