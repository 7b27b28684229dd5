#pragma once
// A framework window that records every program message it receives (WM_USER and above, and
// WM_COMMAND), for tests of windows that notify their owners.

#include <vector>

#include "platform/window/Window.h"

namespace yav::fakes {

struct ReceivedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class RecordingWindow : public yav::Window {
public:
    explicit RecordingWindow(QWidget* parent = nullptr) : yav::Window(parent) {}

    std::vector<ReceivedMessage> received;

    std::vector<ReceivedMessage> Of(UINT message) const {
        std::vector<ReceivedMessage> matching;
        for (const ReceivedMessage& m : received) {
            if (m.message == message) {
                matching.push_back(m);
            }
        }
        return matching;
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message >= WM_USER || message == WM_COMMAND) {
            received.push_back({message, wParam, lParam});
            return 1;
        }
        return yav::Window::WindowProc(message, wParam, lParam);
    }
};

}  // namespace yav::fakes
