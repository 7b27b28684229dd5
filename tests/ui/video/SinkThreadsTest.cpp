// A streaming thread pushes pictures into the sinks of 16 windows while the GUI lays them out
// again, switches some between two streams (the cycle) and destroys some: the sinks take the
// pictures (copied, or held from the producer and handed back) and ask for repaints, a destroyed
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
        window.SendMessage(CDlgVideo::WM_FIRST_PICTURE, window.GetUserId(), 0);
        grid.push_back(&window);
        sinks.push_back(window.GetFrameSink());
    }
    std::atomic<bool> stop{false};
    std::atomic<int> rounds{0};
    int switches = 0;
    std::thread streaming([&] {
        const QImage a = TestPattern(64, 48);
        const QImage b = Solid(64, 48, 0xFF102030);
        while (!stop.load()) {
            for (int i = 0; i < kWindows; ++i) {
                const auto id = static_cast<std::uint16_t>(64 + 8 * i);
                // Odd windows get pictures the producer keeps, released by the sinks while
                // the GUI may still paint the one before.
                const auto push = i % 2 != 0 ? PushHeld : Push;
                push(sinks[static_cast<std::size_t>(i)], id, (rounds.load() & 1) != 0 ? a : b);
                // The second stream of the switching windows.
                if (i % 4 == 1) {
                    Push(sinks[static_cast<std::size_t>(i)], static_cast<std::uint16_t>(id + 1), a);
                }
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
        // Every 10 steps the switching windows go over to their other stream.
        if (step % 10 == 5) {
            for (int i = 1; i < kWindows; i += 4) {
                CDlgVideo& window = *grid[static_cast<std::size_t>(i)];
                const auto first = static_cast<std::uint16_t>(64 + 8 * i);
                window.SetCycling(1);
                window.SetMediaId(window.GetUserId() == first ? first + 1 : first, false);
                window.SendMessage(CDlgVideo::WM_STREAM_READY, window.GetMediaId(), 0);
                ++switches;
            }
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
    // Each switch ended the stream it left; each destroyed window ended its own.
    EXPECT_EQ(log.Count("StopRecvVideo"), static_cast<std::size_t>(4 + switches));
    EXPECT_EQ(switches, 4 * 20);
    for (int i = 1; i < kWindows; i += 4) {
        // An even number of switches: back on the first stream.
        EXPECT_EQ(grid[static_cast<std::size_t>(i)]->GetUserId(), 64 + 8 * i);
    }
}

}  // namespace
}  // namespace video_test
