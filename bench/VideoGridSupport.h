#pragma once
// Shared by the video benchmarks: a render object that goes nowhere, and the room's 37 video
// windows laid out 4 x 4 (layout mode 5) by the layout manager over an area.

#include <QEventLoop>
#include <QRect>
#include <QTimer>
#include <QWidget>

#include <functional>

#include "client/dialogs/video/LayoutVideoWnd.h"
#include "client/media/XLayoutManager.h"
#include "components/KroMedia/IKroMedia.h"

namespace yav::bench {

// The render object of a window that draws its sink's pictures itself.
class NoRender final : public kromedia::IMediaStream {
public:
    virtual ~NoRender() = default;
    void SetRect(const kromedia::MediaRect*) override {}
    void Redraw() override {}
    int SaveSnapshot(const char16_t*) override { return 0; }
    void SetVoiceMarker(int) override {}
};

// Runs the event loop, blocked while nothing happens, for `ms` milliseconds or until `done`
// (checked every 20 ms) holds; whether it held. processEvents with a time limit does not wait
// for events: a loop of it spins the core and would count the spinning as painting.
inline bool RunEventLoop(int ms, const std::function<bool()>& done = {}) {
    QEventLoop loop;
    bool held = false;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done && done()) {
            held = true;
            loop.quit();
        }
    });
    limit.start(ms);
    if (done) {
        check.start(20);
    }
    loop.exec();
    return held;
}

// The layout manager without a room (nothing here asks it), shown over `area`.
struct Mode5Grid {
    explicit Mode5Grid(const QRect& area) {
        room.resize(area.size());
        manager.CreateWindows(&room);
        manager.SetWinMode(0, 5, 2, 0);
        manager.SetScreenRect(1, area);
        manager.Relayout(false);
        room.show();
    }
    QWidget room;
    LayoutRecordBytes record{};
    LayoutRecordBytes synced{};
    XLayoutManager manager{nullptr, &record, &LayoutVideoWnd::Make};
};

}  // namespace yav::bench
