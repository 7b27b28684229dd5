#include "CsServerProbe.h"

#include <QNetworkDatagram>

#include <span>

#include "components/protocol/UdpProbe.h"
#include "platform/core/Log.h"

namespace {

// Where the server's index is kept in the probe (bytes the probe leaves unassigned).
constexpr size_t kIndexOffset = 12;

}  // namespace

void CsServerProbe::Start(const std::vector<QString>& addresses, std::uint16_t port, int waitMs,
                          std::function<void()> finished) {
    onFinished_ = std::move(finished);
    results_.assign(addresses.size(), Result{});
    rttSumMs_.assign(addresses.size(), 0);
    clock_.start();
    QObject::connect(&socket_, &QUdpSocket::readyRead, this, [this] { ReadEchoes(); });
    if (!socket_.bind(QHostAddress::AnyIPv4, 0)) {
        YLOG_WARN("probe socket not bound: %s", socket_.errorString().toUtf8().constData());
    }
    for (size_t index = 0; index < addresses.size(); ++index) {
        const QHostAddress address(addresses[index]);
        if (address.isNull() || address.protocol() != QAbstractSocket::IPv4Protocol) {
            continue;  // never answered: shown as lost
        }
        for (int probe = 0; probe < kProbesPerServer; ++probe) {
            yav::proto::ProbePacket packet =
                yav::proto::MakeProbe(static_cast<std::uint32_t>(clock_.elapsed()));
            packet[kIndexOffset] = static_cast<std::uint8_t>(index & 0xFF);
            packet[kIndexOffset + 1] = static_cast<std::uint8_t>((index >> 8) & 0xFF);
            const qint64 written =
                socket_.writeDatagram(reinterpret_cast<const char*>(packet.data()),
                                      static_cast<qint64>(packet.size()), address, port);
            if (written == static_cast<qint64>(packet.size())) {
                ++results_[index].sent;
            }
        }
    }
    deadline_.setSingleShot(true);
    QObject::connect(&deadline_, &QTimer::timeout, this, [this] { Finish(); });
    deadline_.start(waitMs);
}

void CsServerProbe::ReadEchoes() {
    while (socket_.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = socket_.receiveDatagram();
        const QByteArray data = datagram.data();
        const std::span<const std::uint8_t> bytes(
            reinterpret_cast<const std::uint8_t*>(data.constData()),
            static_cast<size_t>(data.size()));
        if (finished_ || !yav::proto::IsProbe(bytes) || bytes.size() < kIndexOffset + 2) {
            continue;
        }
        const size_t index = bytes[kIndexOffset] | (bytes[kIndexOffset + 1] << 8);
        if (index >= results_.size() || results_[index].answered >= results_[index].sent) {
            continue;  // not one of ours, or more echoes than probes
        }
        const auto rtt =
            static_cast<std::uint32_t>(clock_.elapsed()) - yav::proto::ProbeTick(bytes);
        Result& result = results_[index];
        rttSumMs_[index] += rtt;
        ++result.answered;
        result.meanRttMs = static_cast<int>(rttSumMs_[index] / result.answered);
    }
    bool all = true;
    for (const Result& result : results_) {
        all = all && result.answered == result.sent;
    }
    if (all) {
        Finish();
    }
}

void CsServerProbe::Finish() {
    if (finished_) {
        return;
    }
    finished_ = true;
    deadline_.stop();
    socket_.close();
    if (onFinished_) {
        onFinished_();
    }
}

QString CsServerProbe::LatencyText(const Result& result) {
    if (result.answered == 0) {
        return QStringLiteral("-");
    }
    return QStringLiteral("%1 ms").arg(result.meanRttMs);
}

QString CsServerProbe::LossText(const Result& result) {
    if (result.sent == 0) {
        return QStringLiteral("100%");
    }
    return QStringLiteral("%1%").arg((result.sent - result.answered) * 100 / result.sent);
}
