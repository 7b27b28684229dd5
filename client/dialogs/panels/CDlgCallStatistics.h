#pragma once
// The call statistics window opened from the network tip: while open it measures the round
// trip and loss of UDP probes to the conference server, the media bit rates, the process's
// processor share and memory, and shows them with the network level the tip had.

#include "Bitrates.h"
#include "ProcessLoad.h"
#include "RoundTripProbe.h"
#include "client/ui/CYavPngButton.h"
#include "platform/window/Dialog.h"

class CDlgCallStatistics : public yav::Dialog {
public:
    static constexpr UINT IDD = 223;
    static constexpr int IDC_CLOSE = 1389;
    static constexpr UINT kSampleTimer = 100;
    static constexpr UINT kSampleMs = 3000;
    static constexpr UINT kProbeTimer = 102;
    static constexpr UINT kProbeMs = 100;
    static constexpr std::uint16_t kProbePort = 8000;

    explicit CDlgCallStatistics(QWidget* parent = nullptr);
    ~CDlgCallStatistics() override;

    // Opens (starting the probe and the sampling) centred on the room's monitor; top-most.
    void ShowOnMonitor();
    void SetLevel(int level) { m_nLevel = level; }
    void OnBtnClose();

    const RoundTripProbe& Probe() const { return m_probe; }
    const ProcessLoad& Load() const { return m_load; }
    ProcessLoad& Load() { return m_load; }
    const Bitrates& Rates() const { return m_rates; }
    int GetLevel() const { return m_nLevel; }
    // Text of the level value (1519 bad, 1516 fair, 1513 good).
    static int LevelTextId(int level);
    // What the probe's four cells show: delay change, round trip, lost probes, loss. A probe
    // that does not run shows no numbers; the round trip shows none before its first echo.
    struct ProbeTexts {
        QString rttChange;
        QString rtt;
        QString lost;
        QString loss;
    };
    static ProbeTexts FormatProbe(const RoundTripProbe& probe);

protected:
    BOOL OnInitDialog() override;
    void OnTimer(UINT id) override;
    BOOL OnEraseBkgnd(QPainter& painter) override;
    int OnNcHitTest(const QPoint& screenPoint) override;

private:
    void StartProbe();
    void SampleBitrates(bool sample);

    CYavPngButton m_btnClose;
    RoundTripProbe m_probe;
    ProcessLoad m_load;
    Bitrates m_rates;
    int m_nLevel = 2;
    QImage* m_pImages[4] = {};
};
