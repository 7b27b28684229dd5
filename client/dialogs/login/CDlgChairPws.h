#pragma once
// Asks for a password: the conference password when a conference entered by number needs
// one, and the chair password when a participant applies to become administrator. Refuses an
// empty password and one longer than 32 characters; the caller reads m_strPassword after IDOK.

#include <QString>

#include "client/ui/CDlgCommon.h"
#include "client/ui/CEditXP.h"
#include "client/ui/CTransparentStatic.h"
#include "client/ui/CYavPngButton.h"

class CDlgChairPws : public CDlgCommon {
public:
    static constexpr UINT IDD = 145;
    static constexpr int IDC_TITLE = 1058;
    static constexpr int IDC_PASSWORD = 1059;
    static constexpr int IDC_PROMPT = 1060;
    static constexpr int IDC_OK_BUTTON = 1062;
    static constexpr int IDC_CANCEL_BUTTON = 1063;
    static constexpr int IDC_CLOSE = 1029;
    static constexpr int kMaxPasswordChars = 32;

    CDlgChairPws(const QString& prompt, const QString& title, QWidget* parent);
    ~CDlgChairPws() override;

    // The message a typed password gets: 0 accepted, 1753 empty, 1756 too long.
    static int CheckPassword(const QString& password);

    // The result, read by the caller after IDOK.
    QString m_strPassword;

    CEditXP& GetPasswordEdit() { return m_editPassword; }

protected:
    BOOL OnInitDialog() override;
    // Enter submits through the same checks as the OK button.
    void OnOK() override;

private:
    void OnBnClickedOk();

    QString m_strTitle;
    QString m_strPrompt;
    CTransparentStatic m_staticTitle;
    CTransparentStatic m_staticPrompt;
    CEditXP m_editPassword;
    CYavPngButton m_btnClose;
    CYavPngButton m_btnOk;
    CYavPngButton m_btnCancel;
    QImage* m_pImgCloseNormal = nullptr;
    QImage* m_pImgCloseHover = nullptr;
    QImage* m_pImgOkNormal = nullptr;
    QImage* m_pImgOkHover = nullptr;
    QImage* m_pImgCancelNormal = nullptr;
    QImage* m_pImgCancelHover = nullptr;
};
