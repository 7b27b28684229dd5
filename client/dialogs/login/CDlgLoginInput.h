#pragma once
// The input page of the login window: account login, joining a conference by number with a
// nick name, or trial entry with a nick name only. A login button checks the inputs, hands the
// start block to the join handler and connects to the data server on a worker thread; the
// result comes back as WM_LOGIN_RESULT. Remembered inputs live in Client.ini [login].

#include <QCursor>
#include <QString>

#include <atomic>

#include "IJoinConfHander.h"
#include "LoginInputCheck.h"
#include "LoginSettings.h"
#include "client/ui/CEditXP.h"
#include "client/ui/CStaticImage.h"
#include "client/ui/CTransparentStatic.h"
#include "client/ui/CYavPngButton.h"
#include "platform/core/Thread.h"
#include "platform/window/Dialog.h"

class CDlgLogin;
class CDlgNetSet;

class CDlgLoginInput : public yav::Dialog {
public:
    static constexpr UINT IDD = 212;
    static constexpr UINT WM_LOGIN_RESULT = WM_USER + 1;
    static constexpr UINT kLoginTimer = 100;
    static constexpr UINT kFocusTimer = 101;
    static constexpr UINT kKeyDelayMs = 100;
    static constexpr std::uint16_t kDataServerPort = 8875;

    static constexpr int IDC_PASSWORD_LABEL = 1002;
    static constexpr int IDC_LOGIN_ACCOUNT = 1003;
    static constexpr int IDC_TRIAL = 1006;
    static constexpr int IDC_ACCOUNT_ICON = 1007;
    static constexpr int IDC_PASSWORD_ICON = 1008;
    static constexpr int IDC_JOIN = 1011;
    static constexpr int IDC_NICK_ICON = 1013;
    static constexpr int IDC_NUMBER_ICON = 1014;
    static constexpr int IDC_BACK = 1015;
    static constexpr int IDC_CONF_PASSWORD = 1016;
    static constexpr int IDC_LOGO = 1241;
    static constexpr int IDC_REMEMBER = 1242;
    static constexpr int IDC_AUTO_LOGIN = 1385;
    static constexpr int IDC_AUTO_LOGIN_LABEL = 1386;

    // The page lives inside the login window, which it tells its mode.
    explicit CDlgLoginInput(CDlgLogin* login);
    ~CDlgLoginInput() override;

    void SetJoinHandler(IJoinConfHander* handler) { m_pJoinHandler = handler; }
    void SetNetSet(CDlgNetSet* netSet) { m_pNetSet = netSet; }

    void SwitchToConference();
    void OnBack();
    void OnTrial();
    // The login of the current mode (Enter here and in the login window); nothing while a
    // login runs.
    void LoginByMode();

    void LoadAccountSettings();
    void LoadConfSettings();
    void SaveAccountSettings();
    void SaveConfSettings();
    static int ScramblePassword(std::uint8_t* bytes, std::int32_t count) {
        return LoginSettings::ScramblePassword(bytes, count);
    }

    int GetMode() const { return m_nMode; }
    bool IsBusy() const { return m_bBusy != 0; }
    // Waits for the login worker of the last attempt to end (tests and shut-down).
    void JoinLoginThread() { m_loginThread.Join(); }

    CEditXP& GetUserEdit() { return m_editUser; }
    CEditXP& GetPasswordEdit() { return m_editPassword; }
    CEditXP& GetNickEdit() { return m_editNick; }
    CEditXP& GetConfNumberEdit() { return m_editConfNumber; }
    CEditXP& GetConfPasswordEdit() { return m_editConfPassword; }
    CYavPngButton& GetRememberBox() { return m_btnRemember; }

protected:
    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(yav::Msg* msg) override;
    BOOL OnEraseBkgnd(QPainter& painter) override;
    void OnTimer(UINT id) override;
    void OnOK() override {}
    void OnCancel() override {}

private:
    void OnLoginAccount();
    void OnLoginConference();
    void OnRememberPassword();
    void OnAutoLogin();
    LRESULT OnLoginResult(WPARAM wParam, LPARAM lParam);
    void SetAccountInputEnabled(BOOL enable);
    void SetConferenceInputEnabled(BOOL enable);
    void SetInputsEnabledForMode(BOOL enable);
    void LockInputs(BOOL enable, CEditXP& first, CEditXP& second, CYavPngButton& loginButton,
                    CYavPngButton& link, int captionText);
    void SetUpControls();
    void LayoutMode();
    void RemoveUpgradeFiles();
    LoginInputs ReadInputs();
    QString CurrentServerList();
    void StartLogin(const LoginRequest& request, const QString& serverList);
    void ShowCheckFailure(const LoginCheckResult& result);
    void SetBusy(bool busy);
    LoginSettings Settings() const;

    CDlgLogin* m_pLogin;
    IJoinConfHander* m_pJoinHandler = nullptr;
    CDlgNetSet* m_pNetSet = nullptr;
    int m_nMode = kLoginModeAccount;
    int m_bBusy = 0;
    bool m_bSettingsLoaded = false;
    yav::Thread m_loginThread;

    CStaticImage m_imgAccount;
    CEditXP m_editUser;
    CStaticImage m_imgPassword;
    CEditXP m_editPassword;
    CStaticImage m_imgNick;
    CEditXP m_editNick;
    CStaticImage m_imgNumber;
    CEditXP m_editConfNumber;
    CEditXP m_editConfPassword;
    CStaticImage m_imgLogo;
    CYavPngButton m_btnRemember;
    CTransparentStatic m_staticRemember;
    CYavPngButton m_btnAutoLogin;
    CTransparentStatic m_staticAutoLogin;
    CYavPngButton m_btnLogin;
    CYavPngButton m_btnJoin;
    CYavPngButton m_btnTrial;
    CYavPngButton m_btnBack;

    QImage* m_pImgBkAccount = nullptr;
    QImage* m_pImgBkTrial = nullptr;
    QImage* m_pImgBkConference = nullptr;
    QImage* m_pImgLogo = nullptr;
    QImage* m_pImgUserIcon = nullptr;
    QImage* m_pImgPasswordIcon = nullptr;
    QImage* m_pImgNumberIcon = nullptr;
    QImage* m_pImgTicked = nullptr;
    QImage* m_pImgUnticked = nullptr;
    QImage* m_pImgButton = nullptr;
    QImage* m_pImgButtonHover = nullptr;
    QImage m_ownLogo;
};
