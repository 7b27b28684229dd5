// Video tiles benchmark: 16 room video windows laid out by the layout manager (4 x 4) get
// 640 x 360 pictures at 25 per second from a feeder thread through their frame sinks and paint
// them. The baseline, in the same run, is a bare grid of 16 QWidgets that keep the latest
// picture under a mutex, ask for a repaint and draw it with QPainter::drawImage. Prints the
// process CPU time per tile and the ratio of the two; asserts nothing. Run it on a real X
// server (Xvfb) for painting through the window system:
//
//   xvfb-run -s "-screen 0 1920x1080x24" yav_video_tiles_bench [--seconds N]

#include <QApplication>
#include <QImage>
#include <QMetaObject>
#include <QPainter>
#include <QWidget>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "VideoGridSupport.h"
#include "client/dialogs/video/CDlgVideo.h"
#include "client/media/ILayoutVideoWnd.h"
#include "client/media/XLayoutManager.h"

namespace {

constexpr int kTiles = 16;
constexpr int kWidth = 640;
constexpr int kHeight = 360;
constexpr int kFramesPerSecond = 25;

double ProcessCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Colour bars that move one column a frame, so every picture differs.
std::vector<QImage> MakeFrames(int count) {
    std::vector<QImage> frames;
    for (int n = 0; n < count; ++n) {
        QImage image(kWidth, kHeight, QImage::Format_RGB32);
        QPainter painter(&image);
        for (int bar = 0; bar < 8; ++bar) {
            const int hue = (bar * 45 + n * 3) % 360;
            painter.fillRect(QRect(bar * kWidth / 8, 0, kWidth / 8 + 1, kHeight),
                             QColor::fromHsv(hue, 200, 200));
        }
        frames.push_back(image);
    }
    return frames;
}

// Feeds every sink at 25 pictures a second until stopped.
class Feeder {
public:
    using Push = std::function<void(int tile, const QImage& frame)>;
    Feeder(const std::vector<QImage>& frames, Push push)
        : frames_(frames), push_(std::move(push)) {}
    void Start() {
        thread_ = std::thread([this] {
            auto next = std::chrono::steady_clock::now();
            for (std::size_t n = 0; !stop_; ++n) {
                const QImage& frame = frames_[n % frames_.size()];
                for (int tile = 0; tile < kTiles; ++tile) {
                    push_(tile, frame);
                }
                next += std::chrono::milliseconds(1000 / kFramesPerSecond);
                std::this_thread::sleep_until(next);
            }
        });
    }
    void Stop() {
        stop_ = true;
        thread_.join();
    }

private:
    const std::vector<QImage>& frames_;
    Push push_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// The baseline tile: the latest picture under a mutex (shared with the feeder, not copied, as
// the windows keep the component's), one queued repaint at a time.
class BareTile : public QWidget {
public:
    explicit BareTile(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }
    void Offer(const QImage& frame) {
        {
            std::lock_guard lock(mutex_);
            latest_ = frame;
        }
        if (!pending_.exchange(true)) {
            QMetaObject::invokeMethod(
                this, [this] { update(); }, Qt::QueuedConnection);
        }
    }
    std::atomic<int> painted{0};

protected:
    void paintEvent(QPaintEvent*) override {
        pending_ = false;
        QImage frame;
        {
            std::lock_guard lock(mutex_);
            frame = latest_;
        }
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(rect(), frame);
        ++painted;
    }

private:
    std::mutex mutex_;
    QImage latest_;
    std::atomic<bool> pending_{false};
};

// Runs the event loop for the given time while the feeder runs; the CPU seconds used.
double Measure(Feeder& feeder, double seconds) {
    feeder.Start();
    // Let the first pictures arrive before measuring.
    yav::bench::RunEventLoop(500);
    const double cpuStart = ProcessCpuSeconds();
    yav::bench::RunEventLoop(static_cast<int>(seconds * 1000));
    const double cpu = ProcessCpuSeconds() - cpuStart;
    feeder.Stop();
    QApplication::processEvents();
    return cpu;
}

}  // namespace

int main(int argc, char** argv) {
    double seconds = 5.0;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--seconds") == 0) {
            seconds = std::atof(argv[i + 1]);
        }
    }
    QApplication app(argc, argv);
    const std::vector<QImage> frames = MakeFrames(kFramesPerSecond);
    const QRect area(0, 0, 1280, 720);

    // The room's video windows in layout mode 5.
    double tilesCpu = 0;
    std::uint64_t tileRepaints = 0;
    {
        yav::bench::Mode5Grid grid(area);
        XLayoutManager& manager = grid.manager;
        yav::bench::NoRender stream;
        std::vector<kromedia::IFrameSink*> sinks;
        for (int tile = 0; tile < kTiles; ++tile) {
            const auto id = static_cast<std::uint16_t>(8 * (tile + 1));
            manager.AddVideo(id, 0, grid.record, grid.synced);
            auto& window = dynamic_cast<CDlgVideo&>(*manager.GetLayoutWnd(tile)->GetWidget());
            window.SetVideoState(&stream);
            sinks.push_back(window.GetFrameSink());
            window.SendMessage(CDlgVideo::WM_FIRST_PICTURE, id, 0);
        }
        Feeder feeder(frames, [&sinks](int tile, const QImage& frame) {
            const auto id = static_cast<std::uint16_t>(8 * (tile + 1));
            sinks[static_cast<std::size_t>(tile)]->OnFrame(
                {id, frame.width(), frame.height(), static_cast<int>(frame.bytesPerLine()),
                 frame.constBits(), std::make_shared<QImage>(frame)});
        });
        tilesCpu = Measure(feeder, seconds);
        for (int tile = 0; tile < kTiles; ++tile) {
            tileRepaints += dynamic_cast<CDlgVideo&>(*manager.GetLayoutWnd(tile)->GetWidget())
                                .GetRepaintRequests();
        }
    }

    // The bare grid.
    double bareCpu = 0;
    int barePainted = 0;
    {
        QWidget grid;
        grid.resize(area.size());
        std::vector<BareTile*> tiles;
        for (int tile = 0; tile < kTiles; ++tile) {
            auto* widget = new BareTile(&grid);
            widget->setGeometry(tile % 4 * area.width() / 4, tile / 4 * area.height() / 4,
                                area.width() / 4, area.height() / 4);
            tiles.push_back(widget);
        }
        grid.show();
        Feeder feeder(frames, [&tiles](int tile, const QImage& frame) {
            tiles[static_cast<std::size_t>(tile)]->Offer(frame);
        });
        bareCpu = Measure(feeder, seconds);
        for (BareTile* tile : tiles) {
            barePainted += tile->painted;
        }
    }

    std::printf("platform %s, %d tiles of %dx%d at %d/s, %.1f s each\n",
                qPrintable(QApplication::platformName()), kTiles, kWidth, kHeight, kFramesPerSecond,
                seconds);
    std::printf("video windows: %.4f core per tile, %.3f core for the grid (%llu repaints)\n",
                tilesCpu / seconds / kTiles, tilesCpu / seconds,
                static_cast<unsigned long long>(tileRepaints));
    std::printf("bare QWidget grid: %.4f core per tile, %.3f core for the grid (%d paints)\n",
                bareCpu / seconds / kTiles, bareCpu / seconds, barePainted);
    std::printf("ratio video windows / bare grid: %.2f\n", bareCpu > 0 ? tilesCpu / bareCpu : 0.0);
    return 0;
}
