#pragma once
// Lets a logged-in account user change the account password: old password, new one and the
// new one again, checked in a fixed order; the request is handed to the conference manager
// and the dialog closes without waiting for the server's answer.

#include <QString>

#include <functional>

#include "client/ui/CDlgCommon.h"
#include "client/ui/CEditXP.h"
#include "client/ui/CTransparentStatic.h"
#include "client/ui/CYavPngButton.h"

class CDlgModUserPwd : public CDlgCommon {
public:
    static constexpr UINT IDD = 149;
    static constexpr int IDC_TITLE = 1016;
    static constexpr int IDC_CLOSE = 1029;
    static constexpr int IDC_OLD_LABEL = 1092;
    static constexpr int IDC_NEW_LABEL = 1093;
    static constexpr int IDC_CONFIRM_LABEL = 1094;
    static constexpr int IDC_OLD_PASSWORD = 1088;
    static constexpr int IDC_NEW_PASSWORD = 1090;
    static constexpr int IDC_CONFIRM_PASSWORD = 1091;
    static constexpr int kPasswordLimitChars = 18;

    // The conference manager's password change (old, new, confirmation), trimmed of white
    // space at both ends; each fits its 32-byte field in code page 936 when it arrives.
    using ModifyPasswordFn =
        std::function<void(const QString& oldPwd, const QString& newPwd, const QString& confirm)>;

    CDlgModUserPwd(QWidget* parent, ModifyPasswordFn modifyPassword);
    ~CDlgModUserPwd() override;

    CEditXP& GetOldEdit() { return m_editOld; }
    CEditXP& GetNewEdit() { return m_editNew; }
    CEditXP& GetConfirmEdit() { return m_editConfirm; }

protected:
    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(yav::Msg* msg) override;
    void OnOK() override;

private:
    ModifyPasswordFn m_modifyPassword;
    CTransparentStatic m_staticTitle;
    CYavPngButton m_btnClose;
    CTransparentStatic m_staticOld;
    CEditXP m_editOld;
    CTransparentStatic m_staticNew;
    CEditXP m_editNew;
    CTransparentStatic m_staticConfirm;
    CEditXP m_editConfirm;
    CYavPngButton m_btnOk;
    CYavPngButton m_btnCancel;
    QImage* m_pImgCloseNormal = nullptr;
    QImage* m_pImgCloseHover = nullptr;
    QImage* m_pImgOkNormal = nullptr;
    QImage* m_pImgOkHover = nullptr;
    QImage* m_pImgCancelNormal = nullptr;
    QImage* m_pImgCancelHover = nullptr;
};
