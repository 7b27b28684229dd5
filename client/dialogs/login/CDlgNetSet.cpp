#include "CDlgNetSet.h"

#include "AppSettings.h"
#include "ConfigManger.h"
#include "LoginUi.h"
#include "SkinGlobals.h"
#include "UiFonts.h"
#include "platform/window/Placement.h"
#include "platform/window/Scaled.h"

namespace {

constexpr int kTextProgram = 1;
constexpr int kTextOk = 4;
constexpr int kTextHeader = 64;
constexpr int kTextServer = 634;
constexpr int kTextAdvancedHeader = 3169;
constexpr int kTextAdvanced = 3172;
constexpr int kTextLoginServer = 3175;
constexpr int kTextOwnServerLabel = 3178;
constexpr int kTextNote = 3181;
constexpr int kTextOwnServer = 3184;
constexpr int kTextCamera = 3244;
constexpr int kTextOneCamera = 3247;
constexpr int kTextSeveralCameras = 3250;

constexpr UINT kImageCloseHover = 160;
constexpr UINT kImageClose = 162;
constexpr UINT kImageOkHover = 176;
constexpr UINT kImageOk = 178;
constexpr UINT kImageOption = 194;
constexpr UINT kImageOptionSelected = 182;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = 0;
constexpr COLORREF kGrey = 0x6F6F6E;
constexpr COLORREF kOrange = 0xEF8F42;

}  // namespace

CDlgNetSet::CDlgNetSet(QWidget* parent)
    : CDlgCommon(IDD, parent),
      m_staticHeader(this),
      m_staticAdvancedHeader(this),
      m_staticLoginServer(this),
      m_staticOwnServer(this),
      m_staticNote(this),
      m_staticServer1(this),
      m_staticServer2(this),
      m_staticServer3(this),
      m_editServer1(this),
      m_editServerSelf(this),
      m_editServer2(this),
      m_editServer3(this),
      m_btnOk(this),
      m_btnCancel(this),
      m_btnClose(this),
      m_btnAdvanced(this),
      m_btnServerList(this),
      m_btnOwnServer(this),
      m_staticCamera(this),
      m_btnOneCamera(this),
      m_btnSeveralCameras(this) {
    m_bNoKeyClose = 1;
    m_staticHeader.SetDlgCtrlID(IDC_HEADER);
    m_staticAdvancedHeader.SetDlgCtrlID(IDC_ADVANCED_HEADER);
    m_staticLoginServer.SetDlgCtrlID(IDC_LOGIN_SERVER_LABEL);
    m_staticOwnServer.SetDlgCtrlID(IDC_OWN_SERVER_LABEL);
    m_staticNote.SetDlgCtrlID(IDC_NOTE);
    m_staticServer1.SetDlgCtrlID(IDC_SERVER1_LABEL);
    m_staticServer2.SetDlgCtrlID(IDC_SERVER2_LABEL);
    m_staticServer3.SetDlgCtrlID(IDC_SERVER3_LABEL);
    m_editServer1.SetDlgCtrlID(IDC_SERVER1);
    m_editServerSelf.SetDlgCtrlID(IDC_OWN_SERVER);
    m_editServer2.SetDlgCtrlID(IDC_SERVER2);
    m_editServer3.SetDlgCtrlID(IDC_SERVER3);
    m_btnOk.SetDlgCtrlID(IDOK);
    m_btnCancel.SetDlgCtrlID(IDCANCEL);
    m_btnClose.SetDlgCtrlID(IDC_CLOSE);
    m_btnAdvanced.SetDlgCtrlID(IDC_ADVANCED);
    m_btnServerList.SetDlgCtrlID(IDC_SERVER_LIST_OPTION);
    m_btnOwnServer.SetDlgCtrlID(IDC_OWN_SERVER_OPTION);
    m_staticCamera.SetDlgCtrlID(IDC_CAMERA_HEADER);
    m_btnOneCamera.SetDlgCtrlID(IDC_ONE_CAMERA);
    m_btnSeveralCameras.SetDlgCtrlID(IDC_SEVERAL_CAMERAS);
    MapCommand(IDC_CLOSE, [this] { OnCancel(); });
    MapCommand(IDC_ADVANCED, [this] { OnBnClickedAdvanced(); });
    MapCommand(IDC_SERVER_LIST_OPTION, [this] { OnServerListOption(); });
    MapCommand(IDC_OWN_SERVER_OPTION, [this] { OnOwnServerOption(); });
    MapCommand(IDC_ONE_CAMERA, [this] { OnCameraOption(m_btnOneCamera, m_btnSeveralCameras); });
    MapCommand(IDC_SEVERAL_CAMERAS,
               [this] { OnCameraOption(m_btnSeveralCameras, m_btnOneCamera); });
}

CDlgNetSet::~CDlgNetSet() {
    DestroyWindow();
}

QString CDlgNetSet::IniPath() const {
    return g_ConfigManager.GetClientIniPath();
}

CEditXP& CDlgNetSet::GetServerEdit(int index) {
    return index == 0 ? m_editServer1 : index == 1 ? m_editServer2 : m_editServer3;
}

BOOL CDlgNetSet::OnInitDialog() {
    CDlgCommon::OnInitDialog();
    LoadSettings();
    SetWindowPos(yav::ZOrder::Keep, 0, 0, yav::Scaled(304), yav::Scaled(m_nListOnly ? 207 : 257),
                 SWP_NOMOVE | SWP_NOZORDER);
    m_pImgCloseNormal = LoadPNGIfEmpty(m_pImgCloseNormal, kImageClose);
    m_pImgCloseHover = LoadPNGIfEmpty(m_pImgCloseHover, kImageCloseHover);
    m_pImgOkNormal = LoadPNGIfEmpty(m_pImgOkNormal, kImageOk);
    m_pImgOkHover = LoadPNGIfEmpty(m_pImgOkHover, kImageOkHover);
    SetUpControls();
    LayoutControls();
    return 1;
}

void CDlgNetSet::LoadSettings() {
    m_texts = NetSetSettings::Load(IniPath());
    m_nServerType = m_texts.serverType;
    ApplyServerType(m_nServerType);
    TextsToEdits();
}

void CDlgNetSet::TextsToEdits() {
    m_editServer1.setText(m_texts.server1);
    m_editServer2.setText(m_texts.server2);
    m_editServer3.setText(m_texts.server3);
    m_editServerSelf.setText(m_texts.serverSelf);
}

void CDlgNetSet::EditsToTexts() {
    m_texts.server1 = m_editServer1.text();
    m_texts.server2 = m_editServer2.text();
    m_texts.server3 = m_editServer3.text();
    m_texts.serverSelf = m_editServerSelf.text();
}

void CDlgNetSet::ApplyServerType(int type) {
    const bool own = type == 1;
    m_btnOwnServer.SetState(own ? 1 : 0);
    m_btnServerList.SetState(own ? 0 : 1);
    if (m_nListOnly != 0) {
        return;  // the list-only instance shows none of these
    }
    m_staticOwnServer.ShowWindow(own ? SW_SHOW : SW_HIDE);
    m_editServerSelf.ShowWindow(own ? SW_SHOW : SW_HIDE);
    m_staticNote.ShowWindow(SW_SHOW);
    m_btnAdvanced.ShowWindow(own ? SW_HIDE : SW_SHOW);
}

void CDlgNetSet::SetUpControls() {
    const std::pair<CTransparentStatic*, int> captionLabels[] = {
        {&m_staticHeader, kTextHeader}, {&m_staticAdvancedHeader, kTextAdvancedHeader}};
    for (const auto& [label, text] : captionLabels) {
        label->SetWindowText(LoadLangString(text));
        label->SetAlignLeft();
        label->SetTextColor(kWhite);
    }
    const std::pair<CTransparentStatic*, int> blackLabels[] = {
        {&m_staticLoginServer, kTextLoginServer},
        {&m_staticOwnServer, kTextOwnServerLabel},
        {&m_staticCamera, kTextCamera}};
    for (const auto& [label, text] : blackLabels) {
        label->SetWindowText(LoadLangString(text));
        label->SetAlignLeft();
        label->SetTextColor(kBlack);
    }
    m_staticNote.SetWindowText(LoadLangString(kTextNote));
    m_staticNote.SetAlignLeft();
    m_staticNote.SetTextColor(kGrey);
    const QString server = LoadLangString(kTextServer);
    int number = 1;
    for (CTransparentStatic* label : {&m_staticServer1, &m_staticServer2, &m_staticServer3}) {
        label->SetWindowText(QStringLiteral("%1%2").arg(server, QString::number(number++)));
        label->ClearAlignLeft();  // right-aligned
        label->SetTextColor(kBlack);
    }
    for (CEditXP* edit : {&m_editServer1, &m_editServer2, &m_editServer3, &m_editServerSelf}) {
        edit->SetFrameColor(g_clrSkinLine);
        edit->setFont(g_fontUI);
    }

    // No pressed picture of its own: pressed shows the hover one.
    login_ui::SetUpBandButton(m_btnClose, m_pImgCloseNormal, m_pImgCloseHover, m_pImgCloseHover,
                              g_clrCaption);
    login_ui::SetUpCaptionButton(m_btnOk, m_pImgOkNormal, m_pImgOkHover, LoadLangString(kTextOk),
                                 kWhite);
    m_btnCancel.ShowWindow(SW_HIDE);

    m_btnAdvanced.SetWindowText(LoadLangString(kTextAdvanced));
    m_btnAdvanced.SetTextStyle(1, 0);
    m_btnAdvanced.SetBkColor(kWhite);
    m_btnAdvanced.SetTextColors(kOrange, kGrey, kOrange, kOrange);

    QImage* option = g_ConfigManager.LoadPNG(kImageOption);
    QImage* selected = g_ConfigManager.LoadPNG(kImageOptionSelected);
    const std::pair<CYavPngButton*, QString> options[] = {
        {&m_btnServerList,
         QStringLiteral("%1%2").arg(LoadLangString(kTextProgram), LoadLangString(kTextServer))},
        {&m_btnOwnServer, LoadLangString(kTextOwnServer)},
        {&m_btnOneCamera, LoadLangString(kTextOneCamera)},
        {&m_btnSeveralCameras, LoadLangString(kTextSeveralCameras)}};
    for (const auto& [button, caption] : options) {
        button->SetWindowText(caption);
        button->SetTextStyle(1, 0);
        button->SetImageRect(yav::ScaledRect(0, 4, 11, 11));
        button->SetTextRect(yav::ScaledRect(10, 0, 190, 20));
        button->SetImages(option, option, option, option, selected, selected, selected);
        button->SetBkColor(kWhite);
        button->SetTextColors(kBlack, kOrange, kBlack, kBlack);
    }
    const bool singleCapture = g_AppSettings.bVideoCapMode != 0;
    m_btnOneCamera.SetState(singleCapture ? 1 : 0);
    m_btnSeveralCameras.SetState(singleCapture ? 0 : 1);
}

void CDlgNetSet::LayoutControls() {
    m_staticHeader.MoveWindow(yav::ScaledRect(12, 8, 230, 17));
    m_staticAdvancedHeader.MoveWindow(yav::ScaledRect(12, 8, 230, 17));
    if (m_nListOnly != 0) {
        m_btnOk.MoveScaled(229, 160, 55, 24);
    } else {
        m_btnOk.MoveScaled(216, 225, 55, 24);
    }
    m_btnClose.MoveScaled(275, 7, 16, 16);
    m_staticServer1.MoveWindow(yav::ScaledRect(42, 62, 63, 17));
    m_staticServer2.MoveWindow(yav::ScaledRect(42, 91, 63, 17));
    m_staticServer3.MoveWindow(yav::ScaledRect(42, 120, 63, 17));
    m_editServer1.MoveWindow(yav::ScaledRect(115, 60, 160, 23));
    m_editServer2.MoveWindow(yav::ScaledRect(115, 89, 160, 23));
    m_editServer3.MoveWindow(yav::ScaledRect(115, 118, 160, 23));
    m_staticLoginServer.MoveWindow(yav::ScaledRect(12, 40, 83, 17));
    m_btnServerList.MoveScaled(22, 60, 157, 20);

    const bool listOnly = m_nListOnly != 0;
    for (QWidget* listControl : std::initializer_list<QWidget*>{
             &m_staticAdvancedHeader, &m_staticServer1, &m_staticServer2, &m_staticServer3,
             &m_editServer1, &m_editServer2, &m_editServer3}) {
        listControl->setVisible(listOnly);
    }
    for (QWidget* fullControl : std::initializer_list<QWidget*>{
             &m_staticHeader, &m_staticLoginServer, &m_btnServerList, &m_btnOwnServer,
             &m_staticCamera, &m_btnOneCamera, &m_btnSeveralCameras}) {
        fullControl->setVisible(!listOnly);
    }
    if (listOnly) {
        for (QWidget* hidden : std::initializer_list<QWidget*>{
                 &m_staticOwnServer, &m_editServerSelf, &m_staticNote, &m_btnAdvanced}) {
            hidden->hide();
        }
        return;
    }
    const int type = m_btnOwnServer.GetState() != 0 ? 1 : 0;
    PlaceTypeDependent(type);
    const int shift = type == 1 ? 3 : 0;
    m_staticCamera.MoveWindow(yav::ScaledRect(12, 168 + shift, 157, 20));
    m_btnOneCamera.MoveScaled(22, 186 + shift, 160, 20);
    m_btnSeveralCameras.MoveScaled(22, 208 + shift, 190, 20);
}

void CDlgNetSet::PlaceTypeDependent(int type) {
    const bool wide = g_ConfigManager.GetLanguageIndex() == 1;
    m_btnAdvanced.MoveScaled(32, 81, wide ? 120 : 55, 20);
    if (type == 1) {
        m_btnOwnServer.MoveScaled(22, 85, 215, 20);
        m_staticOwnServer.MoveWindow(yav::ScaledRect(32, 110, 100, 17));
        m_editServerSelf.MoveWindow(yav::ScaledRect(101, 110, 160, 20));
        m_staticNote.MoveWindow(yav::ScaledRect(32, 133, 250, 34));
    } else {
        m_btnOwnServer.MoveScaled(22, 105, 215, 20);
        m_staticOwnServer.MoveWindow(yav::ScaledRect(32, 130, 100, 17));
        m_editServerSelf.MoveWindow(yav::ScaledRect(101, 130, 160, 20));
        m_staticNote.MoveWindow(yav::ScaledRect(32, 130, 250, 34));
    }
}

void CDlgNetSet::OnServerListOption() {
    if (m_btnServerList.GetState() != 0) {
        return;
    }
    ApplyServerType(0);
    PlaceTypeDependent(0);
}

void CDlgNetSet::OnOwnServerOption() {
    if (m_btnOwnServer.GetState() != 0) {
        return;
    }
    ApplyServerType(1);
    PlaceTypeDependent(1);
}

void CDlgNetSet::OnCameraOption(CYavPngButton& chosen, CYavPngButton& other) {
    if (chosen.GetState() != 0) {
        return;
    }
    chosen.SetState(1);
    other.SetState(0);
}

void CDlgNetSet::OnBnClickedAdvanced() {
    CDlgNetSet advanced(nullptr);
    advanced.SetListOnly(1);
    if (advanced.DoModal() != IDOK) {
        return;
    }
    const NetSetSettings stored = NetSetSettings::Load(IniPath());
    m_texts.server1 = stored.server1;
    m_texts.server2 = stored.server2;
    m_texts.server3 = stored.server3;
    m_editServer1.setText(m_texts.server1);
    m_editServer2.setText(m_texts.server2);
    m_editServer3.setText(m_texts.server3);
}

void CDlgNetSet::OnOK() {
    EditsToTexts();
    m_texts.server1 = m_texts.server1.trimmed();
    m_texts.server2 = m_texts.server2.trimmed();
    m_texts.server3 = m_texts.server3.trimmed();
    m_texts.SaveList(IniPath());
    if (m_nListOnly == 0) {
        m_nServerType = m_btnServerList.GetState() != 0 ? 0 : 1;
        m_texts.serverType = m_nServerType;
        if (m_nServerType == 1) {
            m_texts.serverSelf = m_texts.serverSelf.trimmed();
        }
        m_texts.SaveServerType(IniPath());
        const bool singleCapture = m_btnOneCamera.GetState() != 0;
        g_AppSettings.bVideoCapMode = singleCapture ? 1 : 0;
        NetSetSettings::SaveSingleCapture(singleCapture, IniPath());
    }
    EndDialog(IDOK);
}

void CDlgNetSet::OnCancel() {
    TextsToEdits();
    EndDialog(IDCANCEL);
}

void CDlgNetSet::ShowDialog(QScreen* screen) {
    setFocus();
    if (screen != nullptr) {
        yav::CenterInWorkArea(this, screen);
    }
    ShowWindow(SW_SHOW);
    ApplyServerType(m_nServerType);
    LayoutControls();
    Invalidate();
}

QString CDlgNetSet::GetServerList() {
    EditsToTexts();
    m_texts.serverType = m_nServerType;
    return m_texts.ServerList();
}
