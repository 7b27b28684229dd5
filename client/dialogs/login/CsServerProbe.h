#pragma once
// Round-trip probes to the conference servers offered in the server choice, so that its rows
// can show each server's latency and loss. A few 128-byte UDP probes go to every server's probe
// port (the probe the statistics window uses, echoed unchanged by the server); the index of
// the server rides in unassigned bytes of the probe. Runs on the GUI thread.

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUdpSocket>

#include <functional>
#include <vector>

class CsServerProbe : public QObject {
public:
    static constexpr std::uint16_t kProbePort = 8000;
    static constexpr int kProbesPerServer = 3;
    static constexpr int kAnswerWaitMs = 1000;

    struct Result {
        int sent = 0;
        int answered = 0;
        int meanRttMs = 0;  // valid when answered > 0
    };

    CsServerProbe() = default;
    ~CsServerProbe() override = default;

    // Probes the dotted IPv4 addresses; finished runs once the answers had their time.
    void Start(const std::vector<QString>& addresses, std::uint16_t port, int waitMs,
               std::function<void()> finished);
    bool IsFinished() const { return finished_; }
    const std::vector<Result>& Results() const { return results_; }

    // The texts of the latency and loss columns for a result.
    static QString LatencyText(const Result& result);
    static QString LossText(const Result& result);

private:
    void ReadEchoes();
    void Finish();

    QUdpSocket socket_;
    QTimer deadline_;
    QElapsedTimer clock_;
    std::vector<Result> results_;
    std::vector<long long> rttSumMs_;
    std::function<void()> onFinished_;
    bool finished_ = false;
};
