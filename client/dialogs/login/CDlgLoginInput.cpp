#include "CDlgLoginInput.h"

#include <QDir>
#include <QFile>
#include <QPainter>

#include <vector>

#include "CDlgLogin.h"
#include "CDlgNetSet.h"
#include "ConfigManger.h"
#include "LoginUi.h"
#include "StartParam.h"
#include "UiFonts.h"
#include "client/ui/CDlgPopMsg.h"
#include "platform/core/Log.h"
#include "platform/window/Placement.h"
#include "platform/window/Scaled.h"

namespace {

constexpr int kTextConfNumberHint = 79;
constexpr int kTextLogin = 91;
constexpr int kTextTrial = 34;
constexpr int kTextRemember = 643;
constexpr int kTextLoggingIn = 991;
constexpr int kTextJoining = 994;
constexpr int kTextConnectFailed = 1864;
constexpr int kTextUserHint = 3061;
constexpr int kTextPasswordHint = 3064;
constexpr int kTextNickHint = 3067;
constexpr int kTextBack = 3070;
constexpr int kTextJoin = 3076;

constexpr UINT kImageTicked = 582;
constexpr UINT kImageUnticked = 584;
constexpr UINT kImageNumberIcon = 588;
constexpr UINT kImageBkAccount = 594;
constexpr UINT kImageButtonHover = 596;
constexpr UINT kImageButton = 598;
constexpr UINT kImageLogo = 600;
constexpr UINT kImagePasswordIcon = 604;
constexpr UINT kImageUserIcon = 608;
constexpr UINT kImageBkTrial = 912;
constexpr UINT kImageBkConference = 914;
constexpr UINT kImageLogoEnglish = 1006;
constexpr UINT kImageLogoTraditional = 1008;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kLinkGrey = 0x6F6F6E;
constexpr COLORREF kLinkOrange = 0xEF8F42;

constexpr int kUserLimitChars = 31;
constexpr int kPasswordLimitChars = 18;
constexpr int kNickLimitChars = 31;
constexpr int kNumberLimitChars = 12;

constexpr int kFailureBoxType = 12;

// The page's design size and where its background is cut from the background images.
constexpr int kPageWidth = 302;
constexpr int kPageHeight = 290;
constexpr int kBackgroundMargin = 10;

// Leftovers of an update that was not finished, in the data folder and the program folder.
const char* const kUpgradeLeftovers[] = {"Update/Language.rcc", "Update/upgrade",
                                         "Update/Skins.rcc"};

struct Placement {
    QWidget* control;
    QRect rect;  // design pixels
};

}  // namespace

CDlgLoginInput::CDlgLoginInput(CDlgLogin* login)
    : yav::Dialog(IDD, login, Style::Child),
      m_pLogin(login),
      m_imgAccount(this),
      m_editUser(this),
      m_imgPassword(this),
      m_editPassword(this),
      m_imgNick(this),
      m_editNick(this),
      m_imgNumber(this),
      m_editConfNumber(this),
      m_editConfPassword(this),
      m_imgLogo(this),
      m_btnRemember(this),
      m_staticRemember(this),
      m_btnAutoLogin(this),
      m_staticAutoLogin(this),
      m_btnLogin(this),
      m_btnJoin(this),
      m_btnTrial(this),
      m_btnBack(this) {
    m_imgAccount.SetDlgCtrlID(IDC_ACCOUNT_ICON);
    m_editUser.SetDlgCtrlID(kIdcUserName);
    m_imgPassword.SetDlgCtrlID(IDC_PASSWORD_ICON);
    m_editPassword.SetDlgCtrlID(kIdcAccountPassword);
    m_imgNick.SetDlgCtrlID(IDC_NICK_ICON);
    m_editNick.SetDlgCtrlID(kIdcNickName);
    m_imgNumber.SetDlgCtrlID(IDC_NUMBER_ICON);
    m_editConfNumber.SetDlgCtrlID(kIdcConfNumber);
    m_editConfPassword.SetDlgCtrlID(IDC_CONF_PASSWORD);
    m_imgLogo.SetDlgCtrlID(IDC_LOGO);
    m_btnRemember.SetDlgCtrlID(IDC_REMEMBER);
    m_staticRemember.SetDlgCtrlID(IDC_PASSWORD_LABEL);
    m_btnAutoLogin.SetDlgCtrlID(IDC_AUTO_LOGIN);
    m_staticAutoLogin.SetDlgCtrlID(IDC_AUTO_LOGIN_LABEL);
    m_btnLogin.SetDlgCtrlID(IDC_LOGIN_ACCOUNT);
    m_btnJoin.SetDlgCtrlID(IDC_JOIN);
    m_btnTrial.SetDlgCtrlID(IDC_TRIAL);
    m_btnBack.SetDlgCtrlID(IDC_BACK);
    m_editPassword.setEchoMode(QLineEdit::Password);
    m_editConfPassword.setEchoMode(QLineEdit::Password);

    MapCommand(IDC_LOGIN_ACCOUNT, [this] { OnLoginAccount(); });
    MapCommand(IDC_JOIN, [this] { OnLoginConference(); });
    MapCommand(IDC_TRIAL, [this] { OnTrial(); });
    MapCommand(IDC_BACK, [this] { OnBack(); });
    MapCommand(IDC_REMEMBER, [this] { OnRememberPassword(); });
    MapCommand(IDC_AUTO_LOGIN, [this] { OnAutoLogin(); });
    MapMessage(WM_LOGIN_RESULT,
               [this](WPARAM wParam, LPARAM lParam) { return OnLoginResult(wParam, lParam); });
}

CDlgLoginInput::~CDlgLoginInput() {
    // The worker only calls the join handler and posts through a handle; wait for it here so
    // that it never outlives the page's owner.
    m_loginThread.Join();
    DestroyWindow();
}

LoginSettings CDlgLoginInput::Settings() const {
    return LoginSettings(g_ConfigManager.GetClientIniPath());
}

BOOL CDlgLoginInput::OnInitDialog() {
    yav::Dialog::OnInitDialog();
    if (!m_bSettingsLoaded) {
        m_bSettingsLoaded = true;
        LoadAccountSettings();
        LoadConfSettings();
    }
    MoveWindow(yav::Scaled(331), yav::Scaled(97), yav::Scaled(kPageWidth),
               yav::Scaled(kPageHeight));

    m_pImgBkAccount = LoadPNGIfEmpty(m_pImgBkAccount, kImageBkAccount);
    m_pImgBkTrial = LoadPNGIfEmpty(m_pImgBkTrial, kImageBkTrial);
    m_pImgBkConference = LoadPNGIfEmpty(m_pImgBkConference, kImageBkConference);
    m_pImgUserIcon = LoadPNGIfEmpty(m_pImgUserIcon, kImageUserIcon);
    m_pImgPasswordIcon = LoadPNGIfEmpty(m_pImgPasswordIcon, kImagePasswordIcon);
    m_pImgNumberIcon = LoadPNGIfEmpty(m_pImgNumberIcon, kImageNumberIcon);
    m_pImgTicked = LoadPNGIfEmpty(m_pImgTicked, kImageTicked);
    m_pImgUnticked = LoadPNGIfEmpty(m_pImgUnticked, kImageUnticked);
    m_pImgButton = LoadPNGIfEmpty(m_pImgButton, kImageButton);
    m_pImgButtonHover = LoadPNGIfEmpty(m_pImgButtonHover, kImageButtonHover);
    if (m_pImgLogo == nullptr) {
        const int language = g_ConfigManager.GetLanguageIndex();
        if (g_ConfigManager.bIsSelfLog != 0) {
            const char* name = language == 1   ? "logo1_e.png"
                               : language == 2 ? "logo1_f.png"
                                               : "logo1.png";
            const QString path =
                QStringLiteral("%1logo/logo%2/%3")
                    .arg(g_ConfigManager.GetModuleDir(),
                         QString::number(g_ConfigManager.nSkinIndex), QLatin1String(name));
            if (m_ownLogo.load(path)) {
                m_pImgLogo = &m_ownLogo;
            }
        } else {
            m_pImgLogo = g_ConfigManager.LoadPNG(language == 1   ? kImageLogoEnglish
                                                 : language == 2 ? kImageLogoTraditional
                                                                 : kImageLogo);
        }
    }

    SetUpControls();
    LayoutMode();
    SetTimer(kFocusTimer, kKeyDelayMs);
    return 1;
}

void CDlgLoginInput::SetUpControls() {
    const std::tuple<CEditXP*, int, int> edits[] = {
        {&m_editUser, kTextUserHint, kUserLimitChars},
        {&m_editPassword, kTextPasswordHint, kPasswordLimitChars},
        {&m_editNick, kTextNickHint, kNickLimitChars},
        {&m_editConfNumber, kTextConfNumberHint, kNumberLimitChars},
        {&m_editConfPassword, kTextPasswordHint, kPasswordLimitChars}};
    for (const auto& [edit, hint, limit] : edits) {
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, Qt::white);
        edit->setPalette(palette);
        edit->setFont(g_fontUI);
        edit->SetHintText(LoadLangString(hint));
        edit->setMaxLength(limit);
    }
    m_imgLogo.SetImage(m_pImgLogo);
    m_imgAccount.SetImage(m_pImgUserIcon);
    m_imgNick.SetImage(m_pImgUserIcon);
    m_imgPassword.SetImage(m_pImgPasswordIcon);
    m_imgNumber.SetImage(m_pImgNumberIcon);

    for (CYavPngButton* box : {&m_btnRemember, &m_btnAutoLogin}) {
        box->SetImages(m_pImgUnticked, m_pImgUnticked, m_pImgUnticked, m_pImgUnticked, m_pImgTicked,
                       m_pImgTicked, m_pImgTicked);
        box->SetImageBackground(1);
    }
    m_staticRemember.SetWindowText(LoadLangString(kTextRemember));
    m_staticRemember.SetAlignLeft();
    m_staticAutoLogin.SetWindowText(QStringLiteral("自动登录"));
    m_staticAutoLogin.SetAlignLeft();
    m_btnAutoLogin.ShowWindow(SW_HIDE);
    m_staticAutoLogin.ShowWindow(SW_HIDE);

    const QFont fontA = login_ui::CaptionFontA();
    const QFont fontB = login_ui::CaptionFontB();
    m_btnLogin.SetImages(m_pImgButton, m_pImgButton, m_pImgButtonHover, nullptr, nullptr, nullptr,
                         nullptr);
    // The join button has no pressed picture of its own: pressed shows the hover one.
    m_btnJoin.SetImages(m_pImgButton, m_pImgButtonHover, m_pImgButtonHover, nullptr, nullptr,
                        nullptr, nullptr);
    for (CYavPngButton* button : {&m_btnLogin, &m_btnJoin}) {
        button->SetFont(fontA);
        button->SetShowText(1);
        button->SetTextColors(kWhite, kWhite, kWhite, kWhite);
    }
    m_btnLogin.SetWindowText(LoadLangString(kTextLogin));
    m_btnJoin.SetWindowText(LoadLangString(kTextJoin));

    m_btnTrial.SetWindowText(LoadLangString(kTextTrial));
    m_btnBack.SetWindowText(LoadLangString(kTextBack));
    for (CYavPngButton* link : {&m_btnTrial, &m_btnBack}) {
        link->SetFont(fontB);
        link->SetShowText(1);
        link->SetBkColor(kWhite);
        link->SetTextColors(kLinkGrey, kLinkOrange, kLinkGrey, kLinkGrey);
    }
    m_btnBack.SetTextStyle(1, 0);
    m_btnBack.SetTextPos(0, 0);
}

void CDlgLoginInput::LayoutMode() {
    int logoWidth = yav::Scaled(109);
    int logoHeight = yav::Scaled(28);
    if (m_pImgLogo != nullptr) {
        logoWidth = std::min(logoWidth, m_pImgLogo->width());
        logoHeight = std::min(logoHeight, m_pImgLogo->height());
    }
    m_imgLogo.MoveWindow(yav::Scaled(13), yav::Scaled(13), logoWidth, logoHeight);

    std::vector<Placement> shown;
    QWidget* focus = nullptr;
    int mode = m_nMode;
    if (mode != kLoginModeTrial && mode != 1 && mode != kLoginModeConference) {
        mode = kLoginModeAccount;
    }
    if (mode == kLoginModeAccount) {
        shown = {{&m_imgAccount, {27, 85, 14, 15}},   {&m_editUser, {62, 82, 220, 24}},
                 {&m_imgPassword, {27, 141, 15, 16}}, {&m_editPassword, {62, 138, 220, 24}},
                 {&m_btnRemember, {13, 188, 15, 16}}, {&m_staticRemember, {35, 187, 138, 17}},
                 {&m_btnLogin, {13, 225, 273, 45}}};
        if (g_ConfigManager.bIsSelfLog == 0) {
            shown.push_back({&m_btnTrial, {223, 187, 61, 20}});
        }
        focus = &m_editUser;
        // Placed, never shown.
        m_btnAutoLogin.MoveScaled(100, 188, 15, 16);
        m_staticAutoLogin.MoveWindow(yav::ScaledRect(122, 187, 60, 16));
    } else if (mode == kLoginModeTrial) {
        shown = {{&m_imgNick, {27, 100, 14, 15}},
                 {&m_editNick, {62, 97, 220, 24}},
                 {&m_btnJoin, {13, 200, 273, 45}},
                 {&m_btnBack, {13, 158, 60, 17}}};
        focus = &m_editNick;
    } else {
        shown = {{&m_imgPassword, {27, 182, 14, 15}},     {&m_imgNick, {27, 85, 14, 15}},
                 {&m_editNick, {62, 82, 220, 24}},        {&m_imgNumber, {27, 132, 14, 15}},
                 {&m_editConfNumber, {62, 129, 220, 24}}, {&m_editConfPassword, {62, 179, 220, 24}},
                 {&m_btnJoin, {13, 225, 273, 45}}};
        focus = &m_editNick;
    }
    QWidget* const all[] = {&m_imgAccount,   &m_editUser,        &m_imgPassword,
                            &m_editPassword, &m_btnRemember,     &m_staticRemember,
                            &m_btnAutoLogin, &m_staticAutoLogin, &m_btnLogin,
                            &m_btnTrial,     &m_imgNick,         &m_editNick,
                            &m_imgNumber,    &m_editConfNumber,  &m_editConfPassword,
                            &m_btnJoin,      &m_btnBack};
    for (QWidget* control : all) {
        const auto placed = std::find_if(shown.begin(), shown.end(), [control](const Placement& p) {
            return p.control == control;
        });
        if (placed == shown.end()) {
            control->hide();
            continue;
        }
        const QRect& r = placed->rect;
        if (auto* button = dynamic_cast<CYavPngButton*>(control)) {
            button->MoveScaled(r.x(), r.y(), r.width(), r.height());
        } else if (yav::WindowCore* window = yav::WindowFrom(control)) {
            window->MoveWindow(yav::ScaledRect(r.x(), r.y(), r.width(), r.height()));
        } else {
            control->setGeometry(yav::ScaledRect(r.x(), r.y(), r.width(), r.height()));
        }
        control->show();
    }
    if (focus != nullptr) {
        focus->setFocus();
    }
    if (m_pLogin != nullptr) {
        m_pLogin->SetMode(m_nMode);
    }
}

BOOL CDlgLoginInput::OnEraseBkgnd(QPainter& painter) {
    QImage* background = m_nMode == kLoginModeTrial                          ? m_pImgBkTrial
                         : (m_nMode == 1 || m_nMode == kLoginModeConference) ? m_pImgBkConference
                                                                             : m_pImgBkAccount;
    const QRect client = GetClientRect();
    if (background == nullptr) {
        painter.fillRect(client, Qt::white);
        return 1;
    }
    // The pictures carry a margin around the page's own area.
    QRect source(0, 0, background->width(), background->height());
    if (background->width() >= kPageWidth + kBackgroundMargin &&
        background->height() >= kPageHeight + kBackgroundMargin) {
        source = QRect(kBackgroundMargin, kBackgroundMargin, kPageWidth, kPageHeight);
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(client, *background, source);
    return 1;
}

BOOL CDlgLoginInput::PreTranslateMessage(yav::Msg* msg) {
    if (msg->message == WM_KEYDOWN) {
        if (msg->wParam == VK_RETURN) {
            SetTimer(kLoginTimer, kKeyDelayMs);
            return 1;
        }
        if (msg->wParam == VK_ESCAPE || msg->wParam == VK_SPACE) {
            return 1;
        }
    }
    return yav::Dialog::PreTranslateMessage(msg);
}

void CDlgLoginInput::OnTimer(UINT id) {
    if (id == kLoginTimer) {
        LoginByMode();
        return;
    }
    if (id == kFocusTimer) {
        KillTimer(kFocusTimer);
        m_editUser.setFocus();
        return;
    }
    yav::Dialog::OnTimer(id);
}

void CDlgLoginInput::LoginByMode() {
    KillTimer(kLoginTimer);
    if (IsBusy()) {
        return;  // one login at a time
    }
    if (m_nMode == kLoginModeAccount) {
        OnLoginAccount();
    } else {
        OnLoginConference();
    }
}

void CDlgLoginInput::SwitchToConference() {
    m_nMode = kLoginModeConference;
    LayoutMode();
    Invalidate();
}

void CDlgLoginInput::OnBack() {
    m_nMode = kLoginModeAccount;
    LayoutMode();
    Invalidate();
}

void CDlgLoginInput::OnTrial() {
    m_nMode = kLoginModeTrial;
    LayoutMode();
    Invalidate();
}

QString CDlgLoginInput::CurrentServerList() {
    return m_pNetSet != nullptr ? m_pNetSet->GetServerList() : QString();
}

LoginInputs CDlgLoginInput::ReadInputs() {
    LoginInputs inputs;
    inputs.mode = m_nMode;
    inputs.serverList = CurrentServerList();
    inputs.userName = m_editUser.text();
    inputs.accountPassword = m_editPassword.text();
    inputs.nickName = m_editNick.text();
    inputs.confNumber = m_editConfNumber.text();
    inputs.confPassword = m_editConfPassword.text();
    return inputs;
}

void CDlgLoginInput::ShowCheckFailure(const LoginCheckResult& result) {
    if (result.focusId != 0) {
        if (QWidget* control = GetDlgItem(result.focusId)) {
            control->setFocus();
        }
    }
    login_ui::ShowMessage(this, result.textId);
}

void CDlgLoginInput::OnLoginAccount() {
    if (IsBusy()) {
        return;
    }
    RemoveUpgradeFiles();
    const LoginInputs inputs = ReadInputs();
    const LoginCheckResult checked = LoginInputCheck::CheckAccount(inputs);
    if (!checked.Passed()) {
        ShowCheckFailure(checked);
        return;
    }
    SetAccountInputEnabled(0);
    StartLogin(checked.request, inputs.serverList);
}

void CDlgLoginInput::OnLoginConference() {
    if (IsBusy()) {
        return;
    }
    const LoginInputs inputs = ReadInputs();
    const LoginCheckResult checked = LoginInputCheck::CheckConference(inputs);
    if (m_nMode != kLoginModeTrial && checked.trimmedConfNumber != m_editConfNumber.text()) {
        m_editConfNumber.setText(checked.trimmedConfNumber);
    }
    if (!checked.Passed()) {
        ShowCheckFailure(checked);
        return;
    }
    SetConferenceInputEnabled(0);
    StartLogin(checked.request, inputs.serverList);
}

void CDlgLoginInput::StartLogin(const LoginRequest& request, const QString& serverList) {
    ST_START_PARAM block{};
    block.wJoinType = request.joinType;
    block.SetUserName(request.name);
    block.SetPassword(request.password);
    block.nConfId = request.confId;
    IJoinConfHander* handler = m_pJoinHandler;
    if (handler != nullptr) {
        handler->SetStartParams(false, &block, QString());
        handler->SetMonitor(yav::ScreenNearest(this));
    }
    SetBusy(true);

    // The worker gets copies of everything it needs: it never reads a control and reaches
    // the page only through a handle that drops the result once the page is gone.
    const yav::WindowHandle page = GetSafeHwnd();
    m_loginThread.Join();
    const bool started = m_loginThread.Start([handler, serverList, page]() -> std::uint32_t {
        int result = 0;
        if (serverList.isEmpty()) {
            YLOG_WARN("DS服务器IP为空");
        } else {
            result = handler != nullptr ? handler->ConnectDs(serverList, kDataServerPort) : 0;
            if (result == 0) {
                YLOG_WARN("连接DS服务器失败");
            }
        }
        yav::PostMessage(page, WM_LOGIN_RESULT, static_cast<WPARAM>(result), 0);
        return 0;
    });
    if (!started) {
        OnLoginResult(0, 0);
    }
}

LRESULT CDlgLoginInput::OnLoginResult(WPARAM wParam, LPARAM /*lParam*/) {
    SetBusy(false);
    if (wParam == 1) {
        if (m_nMode == kLoginModeConference) {
            SaveConfSettings();
        } else if (m_nMode == kLoginModeAccount) {
            SaveAccountSettings();
        }
        if (m_pJoinHandler != nullptr && m_pJoinHandler->ShowConfListDlg() == 0) {
            SetInputsEnabledForMode(1);
        }
        return 1;
    }
    SetInputsEnabledForMode(1);
    CDlgPopMsg box(LoadLangString(1), LoadLangString(kTextConnectFailed), 0, kFailureBoxType,
                   nullptr, 1);
    if (box.DoModal() == IDOK && m_pNetSet != nullptr) {
        m_pNetSet->ShowDialog(yav::ScreenNearest(this));
    }
    return 1;
}

void CDlgLoginInput::SetBusy(bool busy) {
    m_bBusy = busy ? 1 : 0;
    // The wait cursor over the whole page while a login runs.
    if (busy) {
        setCursor(Qt::WaitCursor);
        for (CEditXP* edit :
             {&m_editUser, &m_editPassword, &m_editNick, &m_editConfNumber, &m_editConfPassword}) {
            edit->setCursor(Qt::WaitCursor);
        }
    } else {
        unsetCursor();
        for (CEditXP* edit :
             {&m_editUser, &m_editPassword, &m_editNick, &m_editConfNumber, &m_editConfPassword}) {
            edit->unsetCursor();
        }
    }
}

void CDlgLoginInput::SetInputsEnabledForMode(BOOL enable) {
    if (m_nMode == kLoginModeAccount) {
        SetAccountInputEnabled(enable);
    } else {
        SetConferenceInputEnabled(enable);
    }
}

void CDlgLoginInput::SetAccountInputEnabled(BOOL enable) {
    LockInputs(enable, m_editUser, m_editPassword, m_btnLogin, m_btnTrial,
               enable != 0 ? kTextLogin : kTextLoggingIn);
}

void CDlgLoginInput::SetConferenceInputEnabled(BOOL enable) {
    LockInputs(enable, m_editNick, m_editConfNumber, m_btnJoin, m_btnBack,
               enable != 0 ? kTextJoin : kTextJoining);
}

void CDlgLoginInput::LockInputs(BOOL enable, CEditXP& first, CEditXP& second,
                                CYavPngButton& loginButton, CYavPngButton& link, int captionText) {
    // The edits keep their look but take no keys while locked.
    first.setReadOnly(enable == 0);
    second.setReadOnly(enable == 0);
    loginButton.EnableWindow(enable);
    link.EnableWindow(enable);
    loginButton.SetWindowText(LoadLangString(captionText));
}

void CDlgLoginInput::OnRememberPassword() {
    m_btnRemember.SetState(m_btnRemember.GetState() != 0 ? 0 : 1);
}

void CDlgLoginInput::OnAutoLogin() {
    const bool on = m_btnAutoLogin.GetState() == 0;
    m_btnAutoLogin.SetState(on ? 1 : 0);
    Settings().SaveAutoLogin(on);
}

void CDlgLoginInput::RemoveUpgradeFiles() {
    for (const QString& folder : {g_ConfigManager.GetDataDir(), g_ConfigManager.GetModuleDir()}) {
        if (folder.isEmpty()) {
            continue;
        }
        for (const char* leftover : kUpgradeLeftovers) {
            QFile::remove(QDir(folder).filePath(QLatin1String(leftover)));
        }
    }
}

void CDlgLoginInput::LoadAccountSettings() {
    StoredLogin stored;
    Settings().LoadAccount(&stored);
    m_btnRemember.SetState(stored.reservePassword ? 1 : 0);
    m_btnAutoLogin.SetState(stored.autoLogin ? 1 : 0);
    m_editUser.setText(stored.user);
    m_editPassword.setText(stored.password);
}

void CDlgLoginInput::LoadConfSettings() {
    StoredLogin stored;
    Settings().LoadConf(&stored);
    m_editNick.setText(stored.nickName);
    m_editConfPassword.setText(stored.confPassword);
    if (stored.confId != 0) {
        m_editConfNumber.setText(QString::number(stored.confId));
    }
}

void CDlgLoginInput::SaveAccountSettings() {
    if (m_nMode != kLoginModeAccount) {
        return;
    }
    Settings().SaveAccount(m_editUser.text(), m_editPassword.text(), m_btnRemember.GetState() != 0);
}

void CDlgLoginInput::SaveConfSettings() {
    if (m_nMode != kLoginModeConference) {
        return;
    }
    Settings().SaveConf(m_editNick.text(), m_editConfPassword.text(), m_btnRemember.GetState() != 0,
                        m_editConfNumber.text());
}
