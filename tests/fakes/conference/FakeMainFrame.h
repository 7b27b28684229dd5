#pragma once
// The main frame as the conference manager sees it: message boxes stay open until the test
// answers them; receptions and closing are recorded.

#include <functional>
#include <string>
#include <vector>

#include "CallLog.h"
#include "client/conference/IMainFrame.h"
#include "client/roomapi/IVideoWindow.h"

namespace fakes {

class FakeMainFrame : public IMainFrame {
public:
    explicit FakeMainFrame(CallLog& log) : log_(log) {}
    virtual ~FakeMainFrame() = default;

    struct Box {
        QString title;
        QString text;
        int countdownSeconds = 0;
        int type = 0;
        std::function<void(int)> onClosed;
        bool open = true;
    };

    void ReceiveVideo(std::uint16_t id, std::uint32_t unused, std::uint32_t mode,
                      IVideoWindow* window) override {
        log_.Add(Call("ReceiveVideo", id, unused, mode, window != nullptr ? 1 : 0));
        lastWindow = window;
        if (fillWindows && window != nullptr) {
            window->SetUserId(mode != 0 ? id : 0);
        }
    }
    // The last reception's window; with fillWindows set, the window shows the id while it is
    // received, as the room's reception does.
    IVideoWindow* lastWindow = nullptr;
    bool fillWindows = false;
    void ShowPopMsg(const QString& title, const QString& text, int countdownSeconds, int type,
                    std::function<void(int)> onClosed) override {
        boxes.push_back(Box{title, text, countdownSeconds, type, std::move(onClosed), true});
        log_.Add(Call("ShowPopMsg", countdownSeconds, type));
    }
    void CloseByServer() override { log_.Add("CloseByServer()"); }

    // Closes box i with an answer, as the user or the countdown would.
    void Answer(size_t i, int answer) {
        Box& box = boxes.at(i);
        box.open = false;
        if (box.onClosed) {
            box.onClosed(answer);
        }
    }

    std::vector<Box> boxes;

private:
    CallLog& log_;
};

}  // namespace fakes
