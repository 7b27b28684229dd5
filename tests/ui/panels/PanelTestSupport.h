#pragma once
// Shared set-up of the panel tests: the program's language and skin modules, a room window
// that records the commands the panels post, the scale and language for one test, a test
// clock, an audio engine that answers from a table, and grabs saved for review.

#include <QImage>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "components/KroMedia/IKroMedia.h"
#include "fakes/conference/CallLog.h"
#include "fakes/panels/FakePanelHost.h"
#include "fakes/ui/RecordingWindow.h"
#include "fakes/ui/UiGuards.h"
#include "platform/window/Dialog.h"

namespace panels_test {

using ui_test::LanguageGuard;
using ui_test::ScaleGuard;

// The panels' tick count while it lives: starts at start and moves only by Advance.
class TestClock {
public:
    explicit TestClock(std::uint32_t start = 1000000);
    ~TestClock();
    void Advance(std::uint32_t ms) { now_ += ms; }
    std::uint32_t Now() const { return now_; }

private:
    std::uint32_t now_;
};

using ui_test::BoxAnswerer;

// An audio engine whose properties are a table; writes are recorded in order.
class TableAudioEngine final : public kromedia::IAudioEngine {
public:
    TableAudioEngine() = default;
    virtual ~TableAudioEngine() = default;
    uint8_t StartCapture(uint8_t) override { return 1; }
    void StopCapture() override {}
    int StartPlayback(uint8_t) override { return 1; }
    void StopPlayback() override {}
    int GetParam(int id, int* value) override {
        *value = values[id];
        return 1;
    }
    int SetParam(int id, const int* value) override {
        writes.emplace_back(id, *value);
        values[id] = *value;
        return 1;
    }
    int StartPlayTest() override { return 0; }
    int PushTestFrame(const uint8_t*, int) override { return 0; }
    void StopPlayTest() override {}
    void SetNotifyWindow(kromedia::INotifyTarget*) override {}
    void SetVoiceIncentive(uint8_t, uint16_t) override {}

    std::map<int, int> values;
    std::vector<std::pair<int, int>> writes;
};

// A recording window that also keeps the close requests posted to it.
class RoomWindow : public yav::fakes::RecordingWindow {
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_PANEL_CLOSE) {
            received.push_back({message, wParam, lParam});
            return 0;
        }
        return yav::fakes::RecordingWindow::WindowProc(message, wParam, lParam);
    }
};

// The room: a recording window that is shown on screen, and the host the panels ask.
struct Room {
    Room();
    ~Room();
    fakes::CallLog log;
    RoomWindow window;
    fakes::FakePanelHost host;
    // WM_COMMAND ids posted or sent to the room window, in order (after the events ran).
    std::vector<int> Commands();
};

// Saves the picture as <name>_<scale>.png in $YAV_TEST_OUTPUT_DIR; returns it.
QImage SaveGrab(QWidget& window, const char* name);
// Pixels of an area that differ from a colour.
int PixelsNot(const QImage& picture, const QRect& area, QColor colour);

}  // namespace panels_test
