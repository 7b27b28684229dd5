// A streaming thread feeds the frame sinks of 16 layout windows while the layout manager
// switches modes and swaps windows on the GUI thread; then the windows are destroyed. The
// sinks take pictures throughout and no window is touched off the GUI thread.

#include <atomic>
#include <thread>

#include "VideoTestSupport.h"
#include "client/dialogs/video/LayoutVideoWnd.h"
#include "client/media/ILayoutVideoWnd.h"
#include "client/media/XLayoutManager.h"

namespace video_test {
namespace {

class LayoutSinkThreads : public VideoFixture {};

TEST_F(LayoutSinkThreads, PicturesArriveWhileTheLayoutChangesAndTheWindowsGo) {
    constexpr int kWindows = 16;
    LayoutRecordBytes record{};
    LayoutRecordBytes synced{};
    auto manager = std::make_unique<XLayoutManager>(nullptr, &record, &LayoutVideoWnd::Make);
    manager->CreateWindows(&mainWindow);
    manager->SetScreenRect(1, QRect(0, 0, 800, 600));
    manager->SetWinMode(0, 5, 2, 0);
    manager->Relayout(false);
    std::vector<kromedia::IFrameSink*> sinks;
    std::vector<CDlgVideo*> placed;
    for (int i = 0; i < kWindows; ++i) {
        const auto id = static_cast<std::uint16_t>(64 + 8 * i);
        ASSERT_NE(manager->AddVideo(id, 0, record, synced), nullptr);
        auto& window = dynamic_cast<CDlgVideo&>(*manager->GetLayoutWnd(i)->GetWidget());
        window.SetVideoState(&stream);
        window.SendMessage(CDlgVideo::WM_FIRST_PICTURE, id, 0);
        sinks.push_back(window.GetFrameSink());
        placed.push_back(&window);
    }
    std::atomic<bool> stop{false};
    std::atomic<int> rounds{0};
    std::thread streaming([&] {
        const QImage picture = TestPattern(64, 48);
        while (!stop.load()) {
            for (int i = 0; i < kWindows; ++i) {
                Push(sinks[static_cast<std::size_t>(i)], static_cast<std::uint16_t>(64 + 8 * i),
                     picture);
            }
            ++rounds;
        }
    });
    const std::uint8_t modes[] = {5, 8, 9, 4, 3, 6, 7, 1, 2};
    for (int step = 0; step < 90; ++step) {
        manager->SetWinMode(0, modes[step % 9], 2, 0);
        manager->Relayout(false);
        manager->ExchangeWndByIndex(step % kWindows, (step * 7 + 3) % kWindows, record);
        QApplication::processEvents();
    }
    const int seen = rounds.load();
    while (rounds.load() < seen + 3) {
        QApplication::processEvents();
    }
    // The component stops feeding before a window goes (StopRecvVideo returns once no
    // callback runs into it).
    stop = true;
    streaming.join();
    QApplication::processEvents();
    std::uint64_t repaints = 0;
    for (CDlgVideo* window : placed) {
        repaints += window->GetRepaintRequests();
        EXPECT_FALSE(window->GetLatestFrame().isNull());
    }
    EXPECT_GT(repaints, 0u);
    manager->DestroyWindows();
    manager.reset();
    QApplication::processEvents();
}

}  // namespace
}  // namespace video_test
