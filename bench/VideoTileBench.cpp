// Video tile benchmark: 16 video windows in a 4 x 4 grid (the layout of mode 5) painting
// 640 x 360 pictures at 25 per second, fed to their frame sinks by one streaming thread as the
// media component feeds them. The baseline is a grid of bare QWidgets that take the same
// pictures under a mutex and draw them with QPainter::drawImage. Prints the process CPU time per
// tile (percent of one core), the pictures painted per tile and second, and the ratio of the two
// grids; asserts nothing. Run it on a real X server (Xvfb) for numbers that include the
// window system:
//
//   xvfb-run -s "-screen 0 1600x1000x24" yav_video_tile_bench [--seconds N]

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QMetaObject>
#include <QPainter>
#include <QWidget>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "VideoGridSupport.h"
#include "client/dialogs/video/CDlgVideo.h"

namespace {

constexpr int kTiles = 16;
constexpr int kColumns = 4;
constexpr int kFps = 25;
constexpr int kFrameWidth = 640;
constexpr int kFrameHeight = 360;
constexpr int kTileWidth = 320;
constexpr int kTileHeight = 240;

double ProcessCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// 25 pictures of moving colour bars, so that no two frames in a second are alike.
std::vector<QImage> MakeFrames() {
    std::vector<QImage> frames;
    for (int i = 0; i < kFps; ++i) {
        QImage image(kFrameWidth, kFrameHeight, QImage::Format_RGB32);
        QPainter painter(&image);
        for (int bar = 0; bar < 8; ++bar) {
            painter.fillRect(QRect((bar * kFrameWidth / 8 + i * 8) % kFrameWidth, 0,
                                   kFrameWidth / 8, kFrameHeight),
                             QColor::fromHsv(bar * 45, 200, 220));
        }
        painter.fillRect(QRect(i * 20, 150, 60, 60), Qt::white);
        frames.push_back(image);
    }
    return frames;
}

// Where the streaming thread hands one picture of one tile.
using Deliver = std::function<void(int tile, const QImage& frame)>;

// Feeds every tile 25 pictures a second for the given time.
void Stream(const std::vector<QImage>& frames, const Deliver& deliver, double seconds,
            std::atomic<bool>& done) {
    const auto start = std::chrono::steady_clock::now();
    const int total = static_cast<int>(seconds * kFps);
    for (int n = 0; n < total; ++n) {
        std::this_thread::sleep_until(start + std::chrono::milliseconds(n * 1000 / kFps));
        for (int tile = 0; tile < kTiles; ++tile) {
            deliver(tile, frames[static_cast<std::size_t>((n + tile) % kFps)]);
        }
    }
    done = true;
}

struct Result {
    double cpuPercentPerTile = 0;
    double paintsPerTileSecond = 0;
};

Result Measure(QWidget& grid, const Deliver& deliver, double seconds,
               const std::function<long()>& paints) {
    grid.show();
    QApplication::processEvents();
    const std::vector<QImage> frames = MakeFrames();
    const long paintsBefore = paints();
    const double cpuBefore = ProcessCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    // The GUI thread sleeps in its event loop as the program's does; the thread ends the loop.
    QEventLoop loop;
    std::atomic<bool> done{false};
    std::thread streaming([&] {
        Stream(frames, deliver, seconds, done);
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    streaming.join();
    QApplication::processEvents();
    const double cpu = ProcessCpuSeconds() - cpuBefore;
    const double elapsed = static_cast<double>(wall.elapsed()) / 1000.0;
    grid.hide();
    return {100.0 * cpu / elapsed / kTiles,
            static_cast<double>(paints() - paintsBefore) / elapsed / kTiles};
}

// The tile the video window is measured against.
class BareTile : public QWidget {
public:
    using QWidget::QWidget;
    void Take(const QImage& frame) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            latest_ = frame.copy();
        }
        QMetaObject::invokeMethod(this, qOverload<>(&QWidget::update), Qt::QueuedConnection);
    }
    std::atomic<long> paints{0};

protected:
    void paintEvent(QPaintEvent*) override {
        QImage image;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            image = latest_;
        }
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(rect(), image);
        ++paints;
    }

private:
    std::mutex mutex_;
    QImage latest_;
};

// A video window that counts its paints.
class CountingVideo : public CDlgVideo {
public:
    using CDlgVideo::CDlgVideo;
    std::atomic<long> paints{0};

protected:
    void OnPaint(QPainter& painter) override {
        CDlgVideo::OnPaint(painter);
        ++paints;
    }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    double seconds = 10;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--seconds") == 0) {
            seconds = std::atof(argv[i + 1]);
        }
    }
    const QSize gridSize(kColumns * kTileWidth, kTiles / kColumns * kTileHeight);

    QWidget videoGrid;
    videoGrid.resize(gridSize);
    yav::bench::NoRender render;
    std::vector<std::unique_ptr<CountingVideo>> videos;
    for (int i = 0; i < kTiles; ++i) {
        auto window = std::make_unique<CountingVideo>(&videoGrid);
        window->Create(CDlgVideo::IDD, &videoGrid);
        window->MoveWindow((i % kColumns) * kTileWidth, (i / kColumns) * kTileHeight, kTileWidth,
                           kTileHeight);
        const auto id = static_cast<std::uint16_t>(64 + 8 * i);
        window->SetUserId(id);
        window->SetVideoState(&render);
        window->SendMessage(CDlgVideo::WM_FIRST_PICTURE, id, 0);
        window->ShowWindow(SW_SHOW);
        videos.push_back(std::move(window));
    }
    const Deliver toVideo = [&](int tile, const QImage& frame) {
        videos[static_cast<std::size_t>(tile)]->GetFrameSink()->OnFrame(
            {static_cast<std::uint16_t>(64 + 8 * tile), frame.width(), frame.height(),
             static_cast<int>(frame.bytesPerLine()), frame.constBits(),
             std::make_shared<QImage>(frame)});
    };
    const Result video = Measure(videoGrid, toVideo, seconds, [&] {
        long sum = 0;
        for (const auto& window : videos) {
            sum += window->paints.load();
        }
        return sum;
    });

    QWidget bareGrid;
    bareGrid.resize(gridSize);
    std::vector<BareTile*> bare;
    for (int i = 0; i < kTiles; ++i) {
        auto* tile = new BareTile(&bareGrid);
        tile->setGeometry((i % kColumns) * kTileWidth, (i / kColumns) * kTileHeight, kTileWidth,
                          kTileHeight);
        bare.push_back(tile);
    }
    const Deliver toBare = [&](int tile, const QImage& frame) {
        bare[static_cast<std::size_t>(tile)]->Take(frame);
    };
    const Result baseline = Measure(bareGrid, toBare, seconds, [&] {
        long sum = 0;
        for (BareTile* tile : bare) {
            sum += tile->paints.load();
        }
        return sum;
    });

    std::printf("platform %s, %d tiles of %dx%d, pictures %dx%d at %d/s, %.0f s each\n",
                qPrintable(QGuiApplication::platformName()), kTiles, kTileWidth, kTileHeight,
                kFrameWidth, kFrameHeight, kFps, seconds);
    std::printf("video windows: %6.2f %% of a core per tile, %5.1f paints per tile and second\n",
                video.cpuPercentPerTile, video.paintsPerTileSecond);
    std::printf("bare QWidgets: %6.2f %% of a core per tile, %5.1f paints per tile and second\n",
                baseline.cpuPercentPerTile, baseline.paintsPerTileSecond);
    std::printf("ratio (video / bare): CPU %.2f, paints %.2f; whole grid %.2f cores\n",
                video.cpuPercentPerTile / baseline.cpuPercentPerTile,
                video.paintsPerTileSecond / baseline.paintsPerTileSecond,
                video.cpuPercentPerTile * kTiles / 100.0);
    return 0;
}
