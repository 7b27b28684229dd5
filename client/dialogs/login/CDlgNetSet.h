#pragma once
// The data-server address settings: the service's server list (three addresses, edited in a
// nested list-only instance of this dialog) or one own server, and the camera mode. The login
// window keeps one hidden instance and shows it on demand; the login page asks it for the
// address string to connect to.

#include <QString>

#include "NetSetSettings.h"
#include "client/ui/CDlgCommon.h"
#include "client/ui/CEditXP.h"
#include "client/ui/CTransparentStatic.h"
#include "client/ui/CYavPngButton.h"

class QScreen;

class CDlgNetSet : public CDlgCommon {
public:
    static constexpr UINT IDD = 132;
    static constexpr int IDC_HEADER = 1016;
    static constexpr int IDC_SERVER1 = 1017;
    static constexpr int IDC_SERVER1_LABEL = 1018;
    static constexpr int IDC_SERVER2_LABEL = 1019;
    static constexpr int IDC_SERVER2 = 1020;
    static constexpr int IDC_SERVER3_LABEL = 1021;
    static constexpr int IDC_SERVER3 = 1022;
    static constexpr int IDC_ADVANCED_HEADER = 1023;
    static constexpr int IDC_LOGIN_SERVER_LABEL = 1024;
    static constexpr int IDC_OWN_SERVER_LABEL = 1025;
    static constexpr int IDC_OWN_SERVER = 1026;
    static constexpr int IDC_NOTE = 1027;
    static constexpr int IDC_CLOSE = 1029;
    static constexpr int IDC_ONE_CAMERA = 1256;
    static constexpr int IDC_ADVANCED = 1349;
    static constexpr int IDC_SERVER_LIST_OPTION = 1350;
    static constexpr int IDC_OWN_SERVER_OPTION = 1351;
    static constexpr int IDC_CAMERA_HEADER = 1357;
    static constexpr int IDC_SEVERAL_CAMERAS = 1358;

    explicit CDlgNetSet(QWidget* parent = nullptr);
    ~CDlgNetSet() override;

    // 1: the nested instance that edits only the three list addresses. Before DoModal.
    void SetListOnly(int listOnly) { m_nListOnly = listOnly; }
    // Shows the (hidden, modeless) window centred in the screen's work area.
    void ShowDialog(QScreen* screen);
    // The address string to connect to: the typed list addresses joined by ";", or the own
    // server, by the stored server type. GUI thread only.
    QString GetServerList();

    int GetServerType() const { return m_nServerType; }
    CEditXP& GetServerEdit(int index);
    CEditXP& GetOwnServerEdit() { return m_editServerSelf; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

private:
    void LoadSettings();
    void ApplyServerType(int type);
    void SetUpControls();
    void LayoutControls();
    void PlaceTypeDependent(int type);
    void OnServerListOption();
    void OnOwnServerOption();
    void OnCameraOption(CYavPngButton& chosen, CYavPngButton& other);
    void OnBnClickedAdvanced();
    void TextsToEdits();
    void EditsToTexts();
    QString IniPath() const;

    int m_nListOnly = 0;
    int m_nServerType = 0;
    CTransparentStatic m_staticHeader;
    CTransparentStatic m_staticAdvancedHeader;
    CTransparentStatic m_staticLoginServer;
    CTransparentStatic m_staticOwnServer;
    CTransparentStatic m_staticNote;
    CTransparentStatic m_staticServer1;
    CTransparentStatic m_staticServer2;
    CTransparentStatic m_staticServer3;
    CEditXP m_editServer1;
    CEditXP m_editServerSelf;
    CEditXP m_editServer2;
    CEditXP m_editServer3;
    NetSetSettings m_texts;
    CYavPngButton m_btnOk;
    CYavPngButton m_btnCancel;
    CYavPngButton m_btnClose;
    CYavPngButton m_btnAdvanced;
    CYavPngButton m_btnServerList;
    CYavPngButton m_btnOwnServer;
    CTransparentStatic m_staticCamera;
    CYavPngButton m_btnOneCamera;
    CYavPngButton m_btnSeveralCameras;
    QImage* m_pImgCloseNormal = nullptr;
    QImage* m_pImgCloseHover = nullptr;
    QImage* m_pImgOkNormal = nullptr;
    QImage* m_pImgOkHover = nullptr;
};
