// A streaming thread pushes pictures into the sinks of 16 windows while the GUI lays them out
// again and destroys some: the sinks take the pictures and ask for repaints, a destroyed
// window takes nothing more, and no window is touched off the GUI thread.

#include <atomic>
#include <thread>

#include "VideoTestSupport.h"

namespace video_test {
namespace {

class SinkThreads : public VideoFixture {};

TEST_F(SinkThreads, PicturesArriveWhileWindowsAreLaidOutAndDestroyed) {
    constexpr int kWindows = 16;
    std::vector<CDlgVideo*> grid;
    std::vector<kromedia::IFrameSink*> sinks;
    for (int i = 0; i < kWindows; ++i) {
        CDlgVideo& window = MakeWindow({160, 120});
        Bind(window, static_cast<std::uint16_t>(64 + 8 * i), &stream);
        window.SendMessage(CDlgVideo::WM_FIRST_PICTURE, 0, 0);
        grid.push_back(&window);
        sinks.push_back(window.GetFrameSink());
    }
    std::atomic<bool> stop{false};
    std::atomic<int> rounds{0};
    std::thread streaming([&] {
        const QImage a = TestPattern(64, 48);
        const QImage b = Solid(64, 48, 0xFF102030);
        while (!stop.load()) {
            for (int i = 0; i < kWindows; ++i) {
                Push(sinks[static_cast<std::size_t>(i)], static_cast<std::uint16_t>(64 + 8 * i),
                     (rounds.load() & 1) != 0 ? a : b);
            }
            ++rounds;
        }
    });
    // The GUI lays the grid out again and again; every fourth window goes away.
    for (int step = 0; step < 200; ++step) {
        for (int i = 0; i < kWindows; ++i) {
            const int side = 4;
            const int w = 80 + (step % 5) * 10;
            const int h = 60 + (step % 3) * 10;
            grid[static_cast<std::size_t>(i)]->MoveWindow((i % side) * w, (i / side) * h, w, h);
        }
        if (step == 50) {
            for (int i = 0; i < kWindows; i += 4) {
                grid[static_cast<std::size_t>(i)]->DestroyWindow();
            }
        }
        QApplication::processEvents();
        grid[static_cast<std::size_t>(step % kWindows)]->repaint();
    }
    const std::vector<std::uint64_t> before = [&] {
        std::vector<std::uint64_t> counts;
        for (CDlgVideo* window : grid) {
            counts.push_back(window->GetRepaintRequests());
        }
        return counts;
    }();
    // Let the thread go round a few more times.
    const int seen = rounds.load();
    while (rounds.load() < seen + 3) {
        QApplication::processEvents();
    }
    stop = true;
    streaming.join();
    QApplication::processEvents();
    for (int i = 0; i < kWindows; ++i) {
        CDlgVideo& window = *grid[static_cast<std::size_t>(i)];
        if (i % 4 == 0) {
            EXPECT_FALSE(window.IsWindow());
            EXPECT_EQ(window.GetRepaintRequests(), before[static_cast<std::size_t>(i)]);
            EXPECT_TRUE(window.GetLatestFrame().isNull());
        } else {
            EXPECT_GT(window.GetRepaintRequests(), 0u);
            EXPECT_FALSE(window.GetLatestFrame().isNull());
        }
    }
    // The windows ended the streams of the destroyed ones (the component stops calling them).
    EXPECT_EQ(log.Count("StopRecvVideo"), 4u);
}

}  // namespace
}  // namespace video_test
