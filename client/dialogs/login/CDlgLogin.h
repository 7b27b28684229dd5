#pragma once
// The frameless login window shown before the conference list: branded background, the
// caption buttons (server settings, minimise, close), the two links that switch between
// account and conference-number login, and the service hotline. It hosts the input page over
// its right half and keeps the server settings window, hidden until asked for. Closing it ends
// the program through the road's normal shut-down.

#include <QImage>
#include <QString>

#include <memory>

#include "IJoinConfHander.h"
#include "client/ui/CTransparentStatic.h"
#include "client/ui/CYavPngButton.h"
#include "platform/window/Dialog.h"

class CDlgLoginInput;
class CDlgNetSet;

class CDlgLogin : public yav::Dialog {
public:
    static constexpr UINT IDD = 129;
    static constexpr int IDC_CONFERENCE_LINK = 1004;
    static constexpr int IDC_NETSET = 1005;
    static constexpr int IDC_ACCOUNT_LINK = 1012;
    static constexpr int IDC_HOTLINE = 1226;
    static constexpr int IDC_CLOSE = 1029;
    static constexpr int IDC_MINIMIZE = 1039;
    static constexpr UINT kLoginTimer = 100;
    static constexpr UINT kKeyDelayMs = 100;

    explicit CDlgLogin(QWidget* parent = nullptr);
    ~CDlgLogin() override;

    // The join handler, handed on to the input page (set before each DoModal).
    void SetParentDlg(IJoinConfHander* handler);
    // The input page's mode: 5 hides both links, 1 and 2 show the account link, every
    // other mode the conference-number link.
    void SetMode(int mode);
    int GetMode() const { return m_nMode; }

    CDlgLoginInput* GetInputPage() const { return m_pInput.get(); }
    CDlgNetSet* GetNetSet() const { return m_pNetSet.get(); }
    CTransparentStatic& GetHotline() { return m_staticHotline; }
    CYavPngButton& GetConferenceLink() { return m_btnConference; }
    CYavPngButton& GetAccountLink() { return m_btnAccount; }

protected:
    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(yav::Msg* msg) override;
    BOOL OnEraseBkgnd(QPainter& painter) override;
    int OnNcHitTest(const QPoint& screenPoint) override;
    void OnTimer(UINT id) override;
    void OnSize(int cx, int cy) override;
    void OnMove(int x, int y) override;
    void OnDestroy() override;
    // Enter never ends the window; the close command (Alt+F4, the window manager) ends the
    // program as the close button does.
    void OnOK() override {}
    void OnCancel() override;

private:
    void OnSwitchToConference();
    void OnSwitchToAccount();
    void OnNetSet();
    void CreateNetSet();
    void OnBnClickedClose();
    void SetUpControls();
    void LayoutControls();

    CYavPngButton m_btnConference;
    CYavPngButton m_btnAccount;
    CYavPngButton m_btnNetSet;
    CYavPngButton m_btnMinimize;
    CYavPngButton m_btnClose;
    CTransparentStatic m_staticHotline;
    std::unique_ptr<CDlgLoginInput> m_pInput;
    int m_nMode = 0;
    IJoinConfHander* m_pJoinHandler = nullptr;
    std::unique_ptr<CDlgNetSet> m_pNetSet;

    QImage* m_pImgBackground = nullptr;
    QImage m_ownBackground;
    QImage* m_pImgNetSet = nullptr;
    QImage* m_pImgNetSetHover = nullptr;
    QImage* m_pImgMinimize = nullptr;
    QImage* m_pImgMinimizeHover = nullptr;
    QImage* m_pImgClose = nullptr;
    QImage* m_pImgCloseHover = nullptr;
    QImage* m_pImgLink = nullptr;
    QImage* m_pImgLinkHover = nullptr;
};
