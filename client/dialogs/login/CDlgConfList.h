#pragma once
// The conference list shown after a successful login: caption band with logo, version,
// minimise and close; a header with the user's picture, name and a log-out button; a search
// box; and the scrolling rows (or a notice when there are none). A row's enter button enters
// the conference through the road; log-out returns to the login window (IDCANCEL); closing
// ends the program through the road's normal shut-down.

#include <QImage>
#include <QString>

#include <vector>

#include "CDlgConfListChild.h"
#include "IJoinConfHander.h"
#include "client/ui/CDlgCommon.h"
#include "client/ui/CEditXP.h"
#include "client/ui/CSkinScrollBar.h"
#include "client/ui/CStaticImage.h"
#include "client/ui/CTransparentStatic.h"
#include "client/ui/CYavPngButton.h"
#include "components/protocol/ST_CONF_ITEM.h"

class CDlgConfList : public CDlgCommon {
public:
    static constexpr UINT IDD = 130;
    static constexpr int IDC_VERSION = 1223;
    static constexpr int IDC_CLOSE = 1029;
    static constexpr int IDC_MINIMIZE = 1039;
    static constexpr int IDC_LOGO = 1241;
    static constexpr int IDC_HEAD = 1243;
    static constexpr int IDC_LOGOUT = 1244;
    static constexpr int IDC_SEARCH = 1246;
    static constexpr int IDC_USER_NAME = 1247;
    static constexpr int IDC_SCROLLBAR = 1335;
    static constexpr int IDC_EMPTY_TEXT = 1337;
    static constexpr int IDC_EMPTY_IMAGE = 1338;
    static constexpr int IDC_SEARCH_EDIT = 1345;

    explicit CDlgConfList(QWidget* parent = nullptr);
    ~CDlgConfList() override;

    void SetParentDlg(IJoinConfHander* owner) { m_pOwner = owner; }
    // Copies the records and keeps the user's name; rows are built when the window opens.
    void SetConfList(const ST_CONF_ITEM* records, int count, const QString& userName);
    // The road moves on: ends the list with IDOK.
    void CancelDlg();

    int GetRecordCount() const { return m_nCount; }
    CDlgConfListChild& GetRowList() { return m_listChild; }
    CEditXP& GetSearchEdit() { return m_editSearch; }
    CTransparentStatic& GetEmptyText() { return m_staticEmpty; }
    CStaticImage& GetEmptyImage() { return m_imgEmpty; }
    CTransparentStatic& GetUserName() { return m_staticUserName; }
    CSkinScrollBar& GetScrollBar() { return m_scrollBar; }

protected:
    BOOL OnInitDialog() override;
    BOOL OnEraseBkgnd(QPainter& painter) override;
    // Esc and Enter never end the list (Esc would end the program).
    BOOL PreTranslateMessage(yav::Msg* msg) override;
    void OnDestroy() override;
    // The window manager's close ends the program as the close button does.
    void OnCancel() override;
    void OnOK() override {}

private:
    void LoadImages();
    void SetUpControls();
    void LayoutControls();
    void FillList();
    void OnBnClickedClose();
    void OnBnClickedLogout();
    void OnEnChangeSearch();
    LRESULT OnVScroll(WPARAM wParam, LPARAM lParam);

    CYavPngButton m_btnClose;
    CStaticImage m_imgLogo;
    CTransparentStatic m_staticVersion;
    CYavPngButton m_btnMinimize;
    CStaticImage m_imgHead;
    CTransparentStatic m_staticUserName;
    CYavPngButton m_btnLogout;
    CYavPngButton m_btnSearch;
    CEditXP m_editSearch;
    CTransparentStatic m_staticEmpty;
    CStaticImage m_imgEmpty;
    CDlgConfListChild m_listChild;
    CSkinScrollBar m_scrollBar;
    IJoinConfHander* m_pOwner = nullptr;
    std::vector<ST_CONF_ITEM> m_records;
    int m_nCount = 0;

    QImage* m_pImgLogo = nullptr;
    QImage m_ownLogo;
    QImage* m_pImgHeader = nullptr;
    QImage* m_pImgMinimize = nullptr;
    QImage* m_pImgMinimizeHover = nullptr;
    QImage* m_pImgClose = nullptr;
    QImage* m_pImgCloseHover = nullptr;
    QImage* m_pImgHead = nullptr;
    QImage* m_pImgLogout = nullptr;
    QImage* m_pImgLogoutHover = nullptr;
    QImage* m_pImgSearchFrame = nullptr;
    QImage* m_pImgEmpty = nullptr;
    QString m_strUserName;
};
