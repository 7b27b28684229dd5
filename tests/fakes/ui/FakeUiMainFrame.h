#pragma once
// A main frame for tests of the toolkit: a room window with a status bar and a document
// page-tab window that record what they are sent, settable room state, and a record of the
// control-request answers. It installs itself as g_pUiMainFrame while it lives.

#include <set>
#include <utility>
#include <vector>

#include "client/ui/UiMainFrame.h"
#include "fakes/ui/RecordingWindow.h"

namespace yav::fakes {

class FakeUiMainFrame : public IUiMainFrame {
public:
    FakeUiMainFrame() : statusBar(&mainWindow), docPageTab(&mainWindow) {
        mainWindow.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        mainWindow.MoveWindow(100, 50, 1024, 600);
        previous_ = g_pUiMainFrame;
        g_pUiMainFrame = this;
    }
    ~FakeUiMainFrame() override { g_pUiMainFrame = previous_; }
    FakeUiMainFrame(const FakeUiMainFrame&) = delete;
    FakeUiMainFrame& operator=(const FakeUiMainFrame&) = delete;

    QWidget* GetMainWindow() override { return &mainWindow; }
    QWidget* GetStatusBar() override { return &statusBar; }
    QWidget* GetDocPageTab() override { return &docPageTab; }
    bool IsUserListChild(const QWidget* window) override {
        return userListChildren.count(window) != 0;
    }
    bool IsConnectionLost() override { return connectionLost; }
    BYTE GetControlStateFirst() override { return controlStateFirst; }
    BYTE GetControlStateSecond() override { return controlStateSecond; }
    BYTE GetScreenControlState() override { return screenControlState; }
    DWORD GetControlRequest() override { return controlRequest; }
    void AnswerControlRequest(BYTE accept, WORD userId) override {
        answers.emplace_back(accept, userId);
    }

    RecordingWindow mainWindow;
    RecordingWindow statusBar;
    RecordingWindow docPageTab;
    std::set<const QWidget*> userListChildren;
    bool connectionLost = false;
    BYTE controlStateFirst = 1;
    BYTE controlStateSecond = 0;
    BYTE screenControlState = 0;
    DWORD controlRequest = 0;
    std::vector<std::pair<BYTE, WORD>> answers;

private:
    IUiMainFrame* previous_ = nullptr;
};

}  // namespace yav::fakes
