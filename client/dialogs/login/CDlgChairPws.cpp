#include "CDlgChairPws.h"

#include "ConfigManger.h"
#include "LoginUi.h"
#include "SkinGlobals.h"
#include "UiFonts.h"
#include "platform/window/Placement.h"
#include "platform/window/Scaled.h"

namespace {

constexpr int kTextOk = 4;
constexpr int kTextCancel = 7;
constexpr int kTextEmpty = 1753;
constexpr int kTextTooLong = 1756;

constexpr UINT kImageCloseHover = 160;
constexpr UINT kImageClose = 162;
constexpr UINT kImageOkHover = 176;
constexpr UINT kImageOk = 178;
constexpr UINT kImageCancel = 652;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kCancelGrey = RGB(136, 136, 136);

}  // namespace

CDlgChairPws::CDlgChairPws(const QString& prompt, const QString& title, QWidget* parent)
    : CDlgCommon(IDD, parent),
      m_strTitle(title),
      m_strPrompt(prompt),
      m_staticTitle(this),
      m_staticPrompt(this),
      m_editPassword(this),
      m_btnClose(this),
      m_btnOk(this),
      m_btnCancel(this) {
    m_staticTitle.SetDlgCtrlID(IDC_TITLE);
    m_staticPrompt.SetDlgCtrlID(IDC_PROMPT);
    m_editPassword.SetDlgCtrlID(IDC_PASSWORD);
    m_editPassword.setEchoMode(QLineEdit::Password);
    m_btnClose.SetDlgCtrlID(IDC_CLOSE);
    m_btnOk.SetDlgCtrlID(IDC_OK_BUTTON);
    m_btnCancel.SetDlgCtrlID(IDC_CANCEL_BUTTON);
    MapCommand(IDC_OK_BUTTON, [this] { OnBnClickedOk(); });
    MapCommand(IDC_CANCEL_BUTTON, [this] { EndDialog(IDCANCEL); });
    MapCommand(IDC_CLOSE, [this] { EndDialog(IDCANCEL); });
}

CDlgChairPws::~CDlgChairPws() {
    DestroyWindow();
}

int CDlgChairPws::CheckPassword(const QString& password) {
    if (password.isEmpty()) {
        return kTextEmpty;
    }
    return password.size() > kMaxPasswordChars ? kTextTooLong : 0;
}

BOOL CDlgChairPws::OnInitDialog() {
    CDlgCommon::OnInitDialog();
    m_pImgCloseNormal = LoadPNGIfEmpty(m_pImgCloseNormal, kImageClose);
    m_pImgCloseHover = LoadPNGIfEmpty(m_pImgCloseHover, kImageCloseHover);
    m_pImgOkNormal = LoadPNGIfEmpty(m_pImgOkNormal, kImageOk);
    m_pImgOkHover = LoadPNGIfEmpty(m_pImgOkHover, kImageOkHover);
    m_pImgCancelNormal = LoadPNGIfEmpty(m_pImgCancelNormal, kImageCancel);
    m_pImgCancelHover = LoadPNGIfEmpty(m_pImgCancelHover, kImageCancel);

    m_staticTitle.SetAlignLeft();
    m_staticTitle.SetTextColor(kWhite);
    m_staticTitle.SetWindowText(m_strTitle);
    m_staticPrompt.SetAlignCenter();
    m_staticPrompt.SetWindowText(m_strPrompt.trimmed());

    m_editPassword.setFont(g_fontUI);
    m_editPassword.SetFrameColor(g_clrSkinLine);

    // No pressed picture of its own: pressed shows the hover one.
    login_ui::SetUpBandButton(m_btnClose, m_pImgCloseNormal, m_pImgCloseHover, m_pImgCloseHover,
                              g_clrCaption);
    login_ui::SetUpCaptionButton(m_btnOk, m_pImgOkNormal, m_pImgOkHover, LoadLangString(kTextOk),
                                 kWhite);
    login_ui::SetUpCaptionButton(m_btnCancel, m_pImgCancelNormal, m_pImgCancelHover,
                                 LoadLangString(kTextCancel), kCancelGrey);

    const bool wide = g_ConfigManager.GetLanguageIndex() == 1;
    SetWindowPos(yav::ZOrder::Keep, 0, 0, yav::Scaled(332), yav::Scaled(122),
                 SWP_NOMOVE | SWP_NOZORDER);
    // The prompt may come without a parent (entering a conference): it stands in the middle
    // of its parent's screen (the primary one), never where the window system drops it.
    yav::CenterInWorkArea(this, yav::ScreenNearest(GetParentWnd()));
    m_staticTitle.MoveWindow(yav::ScaledRect(7, 8, 175, 21));
    m_staticPrompt.MoveWindow(yav::ScaledRect(4, 51, wide ? 125 : 120, 21));
    m_editPassword.MoveWindow(yav::ScaledRect(wide ? 130 : 124, 47, 150, 21));
    m_btnOk.MoveScaled(176, 86, 55, 22);
    m_btnCancel.MoveScaled(251, 86, 55, 22);
    m_btnClose.MoveScaled(308, 9, 16, 15);
    m_editPassword.setFocus();
    return 1;
}

void CDlgChairPws::OnOK() {
    OnBnClickedOk();
}

void CDlgChairPws::OnBnClickedOk() {
    // The message box is modal to the whole program, so this dialog takes no input meanwhile.
    m_strPassword = m_editPassword.text();
    const int refusal = CheckPassword(m_strPassword);
    if (refusal != 0) {
        login_ui::ShowMessage(this, refusal);
        return;
    }
    EndDialog(IDOK);
}
