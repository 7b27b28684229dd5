#pragma once
// The program's one message box: a caption, a message, a countdown and a type. The type picks
// the button labels and places, extra actions of the OK button (open the snapshot folder or a
// web page, accept a screen-control request) and automatic closing. Used modally (DoModal
// returns IDOK or IDCANCEL) or, by the main window, modelessly for a control request.

#include <QString>

#include "CDlgCommon.h"
#include "CTransparentStatic.h"
#include "CYavPngButton.h"

class CDlgPopMsg : public CDlgCommon {
public:
    static constexpr UINT IDD = 133;
    static constexpr int IDC_POPMSG_TITLE = 1027;
    static constexpr int IDC_POPMSG_TEXT = 1028;
    static constexpr int IDC_POPMSG_CLOSE = 1029;
    static constexpr UINT kCountdownTimer = 100;
    static constexpr UINT kShowTimer = 101;
    static constexpr UINT kStateWatchTimer = 102;
    static constexpr UINT kRequestWatchTimer = 103;

    CDlgPopMsg(const QString& title, const QString& message, int countdown, int type,
               QWidget* parent, BYTE topMost);
    explicit CDlgPopMsg(QWidget* parent);
    ~CDlgPopMsg() override;

    // Re-fills the box for modeless use (the parent argument is not used).
    void SetParams(const QString& title, const QString& message, int countdown, int type,
                   QWidget* parent, BYTE topMost);
    void SetRequestUser(DWORD userId);
    // Custom labels of type 1.
    void SetExtraTexts(const QString& okText, const QString& cancelText);

    int GetType() const { return m_nType; }
    int GetCountdown() const { return m_nCountdown; }
    BOOL IsModalBox() const { return m_bModal; }
    CTransparentStatic& GetTitleLabel() { return m_staticTitle; }
    CTransparentStatic& GetMessageLabel() { return m_staticMessage; }
    CYavPngButton& GetOkButton() { return m_btnOk; }
    CYavPngButton& GetCancelButton() { return m_btnCancel; }
    CYavPngButton& GetCloseButton() { return m_btnClose; }

protected:
    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(yav::Msg* msg) override;
    BOOL OnEraseBkgnd(QPainter& painter) override;
    void OnShowWindow(BOOL show) override;
    void OnTimer(UINT id) override;
    void OnDestroy() override;

private:
    void SetUpControls();
    void ApplyType();
    void OnOkButton();
    void OnCancelButton();
    // Answers the control request once, however the box closes.
    void AnswerRequest(BYTE accept);
    void ShowCountdownOnCancel();
    void OpenWebsiteSetting(const char* section, const char* key, const QString& fallback);

    CTransparentStatic m_staticTitle;
    CTransparentStatic m_staticMessage;
    CYavPngButton m_btnOk;
    CYavPngButton m_btnCancel;
    CYavPngButton m_btnClose;

    QString m_strOkText;
    QString m_strCancelText;
    BOOL m_bModal = 1;
    int m_nCountdown = 0;
    int m_nType = 0;
    QString m_strTitle;
    QString m_strMessage;
    BOOL m_bShown = 0;
    DWORD m_nRequestUser = 0;
    DWORD m_nPendingUser = 0;
    bool m_bAnswered = false;
    QImage* m_pImgCloseNormal = nullptr;
    QImage* m_pImgCloseHover = nullptr;
    QImage* m_pImgPrimaryNormal = nullptr;
    QImage* m_pImgPrimaryHover = nullptr;
    QImage* m_pImgSecondaryNormal = nullptr;
    QImage* m_pImgSecondaryHover = nullptr;
    BYTE m_bTopMost = 1;
};
