#include "CDlgCallStatistics.h"

#include <QPainter>
#include <QPen>

#include "ConfigManger.h"
#include "PanelHost.h"
#include "client/ui/UiFonts.h"
#include "platform/window/Placement.h"
#include "platform/window/Scaled.h"

namespace {

constexpr UINT kImageCloseHover = 160;
constexpr UINT kImageCloseNormal = 162;
constexpr UINT kImageArrowUp = 1238;
constexpr UINT kImageArrowDown = 1240;

constexpr COLORREF kBlue = RGB(0x33, 0x85, 0xED);
constexpr int kTextNoMeasurement = 5702;

}  // namespace

CDlgCallStatistics::CDlgCallStatistics(QWidget* parent)
    : yav::Dialog(IDD, parent), m_btnClose(this) {
    m_btnClose.SetDlgCtrlID(IDC_CLOSE);
    MapCommand(IDC_CLOSE, [this] { OnBtnClose(); });
}

CDlgCallStatistics::~CDlgCallStatistics() {
    m_probe.Stop();
    DestroyWindow();
}

int CDlgCallStatistics::LevelTextId(int level) {
    if (level == 0) {
        return 1519;
    }
    return level == 1 ? 1516 : 1513;
}

CDlgCallStatistics::ProbeTexts CDlgCallStatistics::FormatProbe(const RoundTripProbe& probe) {
    const QString none = LoadLangString(kTextNoMeasurement);
    ProbeTexts texts{none, none, none, none};
    if (!probe.IsRunning()) {
        return texts;
    }
    if (probe.HasRoundTrip()) {
        texts.rttChange = QStringLiteral("%1 ms").arg(probe.RttChange());
        texts.rtt = QStringLiteral("%1 ms").arg(probe.ShownRtt());
    }
    texts.lost = QString::number(probe.Lost());
    texts.loss = QStringLiteral("%1%").arg(probe.LossPercent());
    return texts;
}

BOOL CDlgCallStatistics::OnInitDialog() {
    yav::Dialog::OnInitDialog();
    const UINT ids[4] = {kImageCloseHover, kImageCloseNormal, kImageArrowUp, kImageArrowDown};
    for (int i = 0; i < 4; ++i) {
        m_pImages[i] = g_ConfigManager.LoadPNG(ids[i]);
    }
    SetWindowPos(yav::ZOrder::Keep, 0, 0, yav::Scaled(617), yav::Scaled(388),
                 SWP_NOMOVE | SWP_NOZORDER);
    m_btnClose.SetImages(m_pImages[1], m_pImages[1], m_pImages[0], nullptr, nullptr, nullptr,
                         nullptr);
    m_btnClose.SetBkColor(kBlue);
    m_btnClose.MoveScaled(583, 10, 18, 18);
    return 1;
}

void CDlgCallStatistics::ShowOnMonitor() {
    if (!IsWindowVisible()) {
        SetTimer(kSampleTimer, kSampleMs);
        m_load.Sample();
        StartProbe();
        ShowWindow(SW_SHOW);
        IPanelHost* host = GetPanelHost();
        QWidget* room = host != nullptr ? host->GetRoomWindow() : nullptr;
        yav::CenterInWorkArea(this, yav::ScreenNearest(room != nullptr ? room : this));
    }
    SetWindowPos(yav::ZOrder::TopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void CDlgCallStatistics::StartProbe() {
    IPanelHost* host = GetPanelHost();
    const std::string server = host != nullptr ? host->CopyServerName() : std::string();
    const std::uint16_t port = host != nullptr ? host->GetProbePort() : kProbePort;
    if (m_probe.Start(server, port)) {
        SetTimer(kProbeTimer, kProbeMs);
    }
}

void CDlgCallStatistics::OnBtnClose() {
    SampleBitrates(false);
    KillTimer(kProbeTimer);
    m_probe.Stop();
    m_load.Reset();
    KillTimer(kSampleTimer);
    ShowWindow(SW_HIDE);
}

void CDlgCallStatistics::SampleBitrates(bool sample) {
    if (!sample) {
        m_rates.Reset();
    }
    std::uint64_t c[4] = {};
    std::uint64_t s[2] = {};
    if (IPanelHost* host = GetPanelHost()) {
        host->GetByteCounters(c, s, sample ? 0 : 1);
    }
    if (sample) {
        m_rates.Sample({c[0], c[1], c[2], c[3], s[0], s[1]});
    }
}

void CDlgCallStatistics::OnTimer(UINT id) {
    if (id == kProbeTimer) {
        m_probe.Tick();
        return;
    }
    if (id == kSampleTimer) {
        m_load.Sample();
        SampleBitrates(true);
        const QRect client = GetClientRect();
        InvalidateRect(QRect(0, yav::Scaled(50), client.width(), client.height()));
        return;
    }
    yav::Dialog::OnTimer(id);
}

int CDlgCallStatistics::OnNcHitTest(const QPoint& screenPoint) {
    if (GetWindowRect().contains(screenPoint)) {
        return HTCAPTION;
    }
    return yav::Dialog::OnNcHitTest(screenPoint);
}

BOOL CDlgCallStatistics::OnEraseBkgnd(QPainter& painter) {
    const QRect client = GetClientRect();
    const bool wide = g_ConfigManager.GetLanguageIndex() == 1;
    const int leftShift = wide ? 50 : 0;
    const int rightLabelShift = wide ? 50 : 0;
    const int rightValueShift = wide ? 130 : 0;
    QFont normal = g_fontUI2;
    QFont bold = g_fontUI2;
    bold.setBold(true);
    bold.setPixelSize(std::max(1, g_fontUI2.pixelSize()) + yav::Scaled(2));
    auto text = [&](int x, int y, const QString& value, const QFont& font, QColor color) {
        painter.setFont(font);
        painter.setPen(color);
        const QFontMetrics metrics(font);
        painter.drawText(QPoint(yav::Scaled(x), yav::Scaled(y) + metrics.ascent()), value);
    };
    auto lang = [](int id) { return LoadLangString(id); };

    painter.fillRect(client, Qt::white);
    painter.fillRect(QRect(0, 0, client.width(), yav::Scaled(44)), QColor(0x33, 0x85, 0xED));
    text(18, 14, lang(5447), bold, Qt::white);
    text(24, 62, lang(5483), bold, Qt::black);
    text(24, 244, lang(5486), bold, Qt::black);
    text(24, 97, lang(5450), normal, Qt::black);
    text(24, 132, lang(5453), normal, Qt::black);
    text(24, 167, QStringLiteral("CPU"), normal, Qt::black);
    text(24, 202, lang(5480), normal, Qt::black);
    text(281 + rightLabelShift, 97, lang(5468), normal, Qt::black);
    text(281 + rightLabelShift, 132, lang(5471), normal, Qt::black);
    text(281 + rightLabelShift, 167, lang(5474), normal, Qt::black);
    text(281 + rightLabelShift, 202, lang(88), normal, Qt::black);

    if (m_pImages[3] != nullptr) {
        painter.save();
        const QPointF pivot(yav::ScaledF(98 + leftShift), yav::ScaledF(142));
        painter.translate(pivot);
        painter.rotate(180);
        painter.translate(-pivot);
        painter.drawImage(yav::ScaledRect(90 + leftShift, 132, 20, 16), *m_pImages[3]);
        painter.restore();
    }
    if (m_pImages[2] != nullptr) {
        painter.drawImage(yav::ScaledRect(180 + leftShift, 132, 20, 16), *m_pImages[2]);
    }

    painter.setPen(QPen(Qt::black, 0.5));
    for (const int y : {275, 306, 337, 368}) {
        painter.drawLine(QPointF(yav::ScaledF(27), yav::ScaledF(y)),
                         QPointF(yav::ScaledF(596), yav::ScaledF(y)));
    }
    for (const int x : {27, 171, 315, 459, 596}) {
        painter.drawLine(QPointF(yav::ScaledF(x), yav::ScaledF(275)),
                         QPointF(yav::ScaledF(x), yav::ScaledF(368)));
    }
    text(83, 280, lang(5489), normal, Qt::black);
    text(83, 311, lang(5477), normal, Qt::black);
    text(83, 342, lang(946), normal, Qt::black);
    text(227, 280, lang(523), normal, Qt::black);
    text(371, 280, lang(556), normal, Qt::black);
    text(515, 280, lang(5456), normal, Qt::black);

    auto kbps = [](std::int32_t rate) {
        return QStringLiteral("%1 Kbps").arg(Bitrates::Kbps(rate));
    };
    // Received row: c2, c4, s2; sent row: c1, c3, s1.
    const std::int32_t receivedTotal = m_rates.Rate(1) + m_rates.Rate(3) + m_rates.Rate(5);
    const std::int32_t sentTotal = m_rates.Rate(0) + m_rates.Rate(2) + m_rates.Rate(4);
    text(106 + leftShift, 97, lang(LevelTextId(m_nLevel)), normal, Qt::black);
    text(108 + leftShift, 132, kbps(receivedTotal), normal, Qt::black);
    text(198 + leftShift, 132, kbps(sentTotal), normal, Qt::black);
    text(106 + leftShift, 167, QString::asprintf("%.2f%%", m_load.CpuPercent()), normal, Qt::black);
    text(106 + leftShift, 202,
         QStringLiteral("%1MB--%2MB").arg(m_load.WorkingSetMb()).arg(m_load.PhysicalMb()), normal,
         Qt::black);
    const ProbeTexts probe = FormatProbe(m_probe);
    text(367 + rightValueShift, 97, probe.rttChange, normal, Qt::black);
    text(367 + rightValueShift, 132, probe.rtt, normal, Qt::black);
    text(367 + rightValueShift, 167, probe.lost, normal, Qt::black);
    text(367 + rightValueShift, 202, probe.loss, normal, Qt::black);
    text(227, 311, kbps(m_rates.Rate(1)), normal, Qt::black);
    text(371, 311, kbps(m_rates.Rate(3)), normal, Qt::black);
    text(515, 311, kbps(m_rates.Rate(5)), normal, Qt::black);
    text(227, 342, kbps(m_rates.Rate(0)), normal, Qt::black);
    text(371, 342, kbps(m_rates.Rate(2)), normal, Qt::black);
    text(515, 342, kbps(m_rates.Rate(4)), normal, Qt::black);
    return 1;
}
