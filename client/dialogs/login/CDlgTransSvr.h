#pragma once
// The choice among conference servers, shown while entering a conference when the data
// server offers more than one: a report list of the servers (name, address, port) and two
// step buttons. Next (or Enter, or a double click) ends the dialog and logs in to the chosen
// server through the road; back returns to the conference list; close ends the program.

#include <QImage>

#include <memory>
#include <vector>

#include "CsServerProbe.h"
#include "IJoinConfHander.h"
#include "client/ui/CListCtrlCl.h"
#include "client/ui/CStaticImage.h"
#include "client/ui/CTransparentStatic.h"
#include "client/ui/CYavPngButton.h"
#include "components/protocol/ST_CS_SERVER.h"
#include "platform/window/Dialog.h"

class CDlgTransSvr : public yav::Dialog {
public:
    static constexpr UINT IDD = 131;
    static constexpr int IDC_BACK = 1015;
    static constexpr int IDC_NEXT = 1020;
    static constexpr int IDC_SERVER_LIST = 1023;
    static constexpr int IDC_VERSION = 1223;
    static constexpr int IDC_CLOSE = 1029;
    static constexpr int IDC_MINIMIZE = 1039;
    static constexpr int IDC_LOGO = 1241;

    explicit CDlgTransSvr(QWidget* parent = nullptr);
    ~CDlgTransSvr() override;

    void SetOwner(IJoinConfHander* owner) { m_pOwner = owner; }
    // The offered servers (kept, not owned), right before DoModal.
    void SetServerList(const ST_CS_SERVER* table, int count);
    // The row the next step takes: the selected one, the first when none is selected.
    int GetChosenServer() const;
    // Where the rows' latency probes go (the servers' probe port; tests use their own).
    void SetProbe(std::uint16_t port, int waitMs) {
        m_nProbePort = port;
        m_nProbeWaitMs = waitMs;
    }
    bool IsProbeFinished() const { return m_pProbe && m_pProbe->IsFinished(); }

    CListCtrlCl& GetServerList() { return m_listServers; }

protected:
    BOOL OnInitDialog() override;
    BOOL OnEraseBkgnd(QPainter& painter) override;
    int OnNcHitTest(const QPoint& screenPoint) override;
    void OnDestroy() override;
    // Enter is the next button; Esc does nothing.
    BOOL PreTranslateMessage(yav::Msg* msg) override;
    void OnOK() override;
    // The window manager's close is the close button.
    void OnCancel() override;

private:
    void EndBeforeTheRoad(int result);
    void OnNext();
    void OnBack();
    void OnClose();
    void FillRows();
    void ShowProbeResults();

    IJoinConfHander* m_pOwner = nullptr;
    const ST_CS_SERVER* m_pServers = nullptr;
    int m_nServerCount = 0;
    std::unique_ptr<CsServerProbe> m_pProbe;
    std::uint16_t m_nProbePort = CsServerProbe::kProbePort;
    int m_nProbeWaitMs = CsServerProbe::kAnswerWaitMs;
    CListCtrlCl m_listServers;
    CYavPngButton m_btnBack;
    CYavPngButton m_btnNext;
    CStaticImage m_imgLogo;
    CTransparentStatic m_staticVersion;
    CYavPngButton m_btnMinimize;
    CYavPngButton m_btnClose;
    QImage* m_pImgLogo = nullptr;
    QImage* m_pImgMinimize = nullptr;
    QImage* m_pImgMinimizeHover = nullptr;
    QImage* m_pImgClose = nullptr;
    QImage* m_pImgCloseHover = nullptr;
    QImage* m_pImgStep = nullptr;
    QImage* m_pImgStepHover = nullptr;
};
