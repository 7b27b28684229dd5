// Room event benchmark: four threads fire a media callback slot of the main frame, which posts
// WM_NET_MESSAGE to the room window, where HandleNetMessage takes it on the GUI thread. The
// baseline is the same traffic as queued QMetaObject::invokeMethod calls to a QObject on the
// GUI thread. Prints throughput and p99 latency of both and their ratios; asserts nothing.
//
//   yav_room_post_bench [--per-thread N]

#include <QApplication>
#include <QElapsedTimer>
#include <QMetaObject>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "client/conference/XMainFrame.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kThreads = 4;

struct Run {
    double perSecond = 0;
    double p99Us = 0;
};

// Send times by sequence number, written before the post and read after delivery.
class Stamps {
public:
    explicit Stamps(size_t count) : sent_(count), latencyUs_(count) {}
    void Sent(size_t seq) { sent_[seq] = Clock::now(); }
    void Arrived(size_t seq) {
        latencyUs_[seq] =
            std::chrono::duration<double, std::micro>(Clock::now() - sent_[seq]).count();
        ++arrived_;
    }
    size_t ArrivedCount() const { return arrived_; }
    double P99() {
        std::sort(latencyUs_.begin(), latencyUs_.end());
        return latencyUs_[latencyUs_.size() * 99 / 100];
    }

private:
    std::vector<Clock::time_point> sent_;
    std::vector<double> latencyUs_;
    size_t arrived_ = 0;
};

class BenchFrame : public XMainFrame {
public:
    Stamps* stamps = nullptr;
    void HandleNetMessage(WPARAM code, LPARAM status) override {
        if (code == NETMSG_MEDIA_NOTICE_3018 && stamps != nullptr) {
            stamps->Arrived(static_cast<size_t>(status));
        }
        XMainFrame::HandleNetMessage(code, status);
    }
};

template <class Fire>
Run Measure(int perThread, Stamps& stamps, Fire fire) {
    const size_t total = static_cast<size_t>(kThreads) * static_cast<size_t>(perThread);
    const auto start = Clock::now();
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < perThread; ++i) {
                const size_t seq = static_cast<size_t>(t) * static_cast<size_t>(perThread) +
                                   static_cast<size_t>(i);
                stamps.Sent(seq);
                fire(seq);
            }
        });
    }
    while (stamps.ArrivedCount() < total) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    for (std::thread& thread : threads) {
        thread.join();
    }
    return Run{static_cast<double>(total) / seconds, stamps.P99()};
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int perThread = 50000;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--per-thread") == 0) {
            perThread = std::max(1, std::atoi(argv[i + 1]));
        }
    }
    const size_t total = static_cast<size_t>(kThreads) * static_cast<size_t>(perThread);

    // The room: a main frame whose window exists; its pump stays off (no server here).
    auto frame = std::make_unique<BenchFrame>();
    g_pMainFrame = frame.get();
    frame->CreateRoomWindow(QStringLiteral("bench"), 1);
    frame->KillTimer(CYavClientDlg::TIMER_RECV_DATA);
    frame->KillTimer(CYavClientDlg::TIMER_LOGIN_DATASERVER);
    Stamps roomStamps(total);
    frame->stamps = &roomStamps;
    BenchFrame* room = frame.get();
    const Run roomRun = Measure(perThread, roomStamps, [room](size_t seq) {
        room->OnMediaEvent3018(static_cast<std::intptr_t>(seq));
    });

    // The baseline: queued calls to an object of the GUI thread.
    QObject receiver;
    Stamps queuedStamps(total);
    const Run queuedRun = Measure(perThread, queuedStamps, [&receiver, &queuedStamps](size_t seq) {
        QMetaObject::invokeMethod(
            &receiver, [&queuedStamps, seq] { queuedStamps.Arrived(seq); }, Qt::QueuedConnection);
    });

    std::printf("%-34s %14s %14s\n", "path (4 threads)", "events/s", "p99 latency");
    std::printf("%-34s %14.0f %11.0f us\n", "callback -> HandleNetMessage", roomRun.perSecond,
                roomRun.p99Us);
    std::printf("%-34s %14.0f %11.0f us\n", "queued invokeMethod", queuedRun.perSecond,
                queuedRun.p99Us);
    std::printf("ratio room/baseline: throughput %.3g, p99 latency %.3g\n",
                roomRun.perSecond / queuedRun.perSecond, roomRun.p99Us / queuedRun.p99Us);
    frame->SetExitFlag(1);
    frame->SendMessage(WM_CLOSE_ROOM, 0, 0);
    frame.reset();
    g_pMainFrame = nullptr;
    return 0;
}
