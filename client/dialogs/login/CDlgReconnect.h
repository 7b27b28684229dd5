#pragma once
// The notice shown while the room tries to get its conference-server connection back: a
// worker logs in again every 2 seconds until it succeeds or the user gives up. Success is
// posted to the room window; giving up closes the room. The dialog cannot be closed other
// than through its give-up button.

#include "IReconnectHost.h"
#include "ReconnectWorker.h"
#include "client/ui/CDlgCommon.h"
#include "client/ui/CTransparentStatic.h"
#include "client/ui/CYavPngButton.h"

class CDlgReconnect : public CDlgCommon {
public:
    static constexpr UINT IDD = 156;
    static constexpr int IDC_TITLE = 1016;
    static constexpr int IDC_MESSAGE = 1332;
    static constexpr int IDC_HIDDEN = 1331;
    static constexpr int IDC_GIVE_UP = 1063;
    // While giving up: the worker's end is looked for every 200 ms.
    static constexpr UINT kGiveUpPollTimer = 100;
    static constexpr UINT kGiveUpPollMs = 200;

    explicit CDlgReconnect(IReconnectHost* host, QWidget* parent = nullptr);
    ~CDlgReconnect() override;

    // Shows the notice centred and top-most.
    void ShowDialog();
    // Starts the retry loop; logs a warning when no thread could be started.
    void StartReconnectThread(std::uint32_t intervalMs = ReconnectWorker::kRetryIntervalMs);
    // Ends the retry loop and waits for it (a running attempt finishes first).
    void StopReconnectThread();
    void OnGiveUp();

    bool IsWorkerDone() const { return m_worker.IsDone(); }
    CYavPngButton& GetGiveUpButton() { return m_btnGiveUp; }

protected:
    BOOL OnInitDialog() override;
    // Esc, Enter and the window manager's close never end the notice.
    void OnOK() override;
    void OnCancel() override;
    void OnActivate(UINT state, QWidget* other) override;
    void OnTimer(UINT id) override;

private:
    void FinishGiveUp();

    IReconnectHost* m_pHost;
    ReconnectWorker m_worker;
    CTransparentStatic m_staticTitle;
    CTransparentStatic m_staticMessage;
    CYavPngButton m_btnGiveUp;
    CTransparentStatic m_staticHidden;
    QImage* m_pImgNormal = nullptr;
    QImage* m_pImgHover = nullptr;
};
