#pragma once
// The about box (template 100): the program's title and version, closed by its button.

#include "client/ui/CDlgCommon.h"
#include "client/ui/CTransparentStatic.h"
#include "client/ui/CYavPngButton.h"

class CAboutDlg : public CDlgCommon {
public:
    static constexpr UINT IDD = 100;
    static constexpr int IDC_TITLE = 1001;
    static constexpr int IDC_VERSION = 1002;

    explicit CAboutDlg(QWidget* parent);

    CTransparentStatic& GetTitleLabel() { return m_staticTitle; }
    CTransparentStatic& GetVersionLabel() { return m_staticVersion; }
    CYavPngButton& GetOkButton() { return m_btnOk; }

protected:
    BOOL OnInitDialog() override;

private:
    CTransparentStatic m_staticTitle;
    CTransparentStatic m_staticVersion;
    CYavPngButton m_btnOk;
};
