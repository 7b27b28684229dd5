// The pop-ups' check button: hover and leave notifications, click, page items, status reports.

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "CButtonCheck.h"
#include "client/Common/MessageIds.h"
#include "fakes/ui/FakeUiMainFrame.h"
#include "fakes/ui/RecordingWindow.h"
#include "platform/window/testing/WindowTesting.h"

namespace {

using yav::fakes::FakeUiMainFrame;
using yav::fakes::RecordingWindow;

class ButtonCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        parent_.resize(200, 100);
        button_ = new CButtonCheck(&parent_);
        button_->SetDlgCtrlID(65533);
        button_->SetValue(0x12345);
        button_->MoveWindow(10, 10, 100, 20);
        parent_.show();
    }

    void Enter() {
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), button_->mapToGlobal(QPointF(5, 5)));
        QApplication::sendEvent(button_, &enter);
    }
    void Move(int x) {
        QMouseEvent move(QEvent::MouseMove, QPointF(x, 5), button_->mapToGlobal(QPointF(x, 5)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(button_, &move);
    }
    void Leave() {
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(button_, &leave);
    }
    // Posted notifications arrive once the event loop has run.
    void Flush() {
        RecordingWindow marker;
        marker.PostMessage(WM_USER, 0, 0);
        ASSERT_TRUE(yav::testing::WaitUntil([&] { return !marker.received.empty(); }));
    }

    RecordingWindow parent_;
    CButtonCheck* button_ = nullptr;
};

TEST_F(ButtonCheckTest, OneHoverNotificationPerEntryAndOnePerLeave) {
    button_->SetHoverNotify(1);
    Enter();
    for (int x = 6; x < 60; x += 5) {
        Move(x);
    }
    auto hovers = parent_.Of(WM_BUTTONCHECK_HOVER);
    ASSERT_EQ(hovers.size(), 1u);
    EXPECT_EQ(hovers[0].wParam, 65533u);
    EXPECT_EQ(hovers[0].lParam, 0x12345);
    EXPECT_EQ(button_->IsHover(), 1);
    Leave();
    EXPECT_EQ(parent_.Of(WM_BUTTONCHECK_HOVER).size(), 2u);
    EXPECT_EQ(button_->IsHover(), 0);
    Enter();
    EXPECT_EQ(parent_.Of(WM_BUTTONCHECK_HOVER).size(), 3u) << "a second entry notifies again";
}

TEST_F(ButtonCheckTest, NoHoverNotificationWhenNotAsked) {
    Enter();
    Leave();
    EXPECT_TRUE(parent_.Of(WM_BUTTONCHECK_HOVER).empty());
}

TEST_F(ButtonCheckTest, PressPostsTheClickOnlyWhenEnabled) {
    button_->SetClickNotify();
    QTest::mousePress(button_, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(parent_.Of(WM_BUTTONCHECK_CLICK).empty()) << "posted, not sent";
    Flush();
    auto clicks = parent_.Of(WM_BUTTONCHECK_CLICK);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].wParam, 65533u);
    EXPECT_EQ(clicks[0].lParam, 0x12345);
    QTest::mouseRelease(button_, Qt::LeftButton, {}, QPoint(5, 5));

    button_->EnableWindow(0);
    QTest::mousePress(button_, Qt::LeftButton, {}, QPoint(5, 5));
    Flush();
    EXPECT_EQ(parent_.Of(WM_BUTTONCHECK_CLICK).size(), 1u);
}

TEST_F(ButtonCheckTest, AClickIsTheCommandOfItsIdToTheParentBesideTheClickNotice) {
    button_->SetClickNotify();
    const QPoint inside(5, 5);
    const QPoint outside(5, 60);
    struct Gesture {
        const char* name;
        bool enabled;
        std::vector<std::pair<QEvent::Type, QPoint>> events;
        size_t commands;
    } gestures[] = {
        {"click",
         true,
         {{QEvent::MouseButtonPress, inside}, {QEvent::MouseButtonRelease, inside}},
         1},
        {"let go outside",
         true,
         {{QEvent::MouseButtonPress, inside}, {QEvent::MouseButtonRelease, outside}},
         0},
        {"double-click",
         true,
         {{QEvent::MouseButtonPress, inside},
          {QEvent::MouseButtonRelease, inside},
          {QEvent::MouseButtonDblClick, inside},
          {QEvent::MouseButtonRelease, inside}},
         1},
        {"disabled",
         false,
         {{QEvent::MouseButtonPress, inside}, {QEvent::MouseButtonRelease, inside}},
         0},
    };
    for (const Gesture& g : gestures) {
        parent_.received.clear();
        button_->EnableWindow(g.enabled ? 1 : 0);
        // The events in the order the window system delivers them.
        for (const auto& [type, at] : g.events) {
            const bool down = type != QEvent::MouseButtonRelease;
            QMouseEvent event(type, QPointF(at), button_->mapToGlobal(QPointF(at)), Qt::LeftButton,
                              down ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(button_, &event);
        }
        Flush();
        const auto commands = parent_.Of(WM_COMMAND);
        ASSERT_EQ(commands.size(), g.commands) << g.name;
        for (const auto& command : commands) {
            EXPECT_EQ(command.wParam, MAKEWPARAM(65533, BN_CLICKED)) << g.name;
        }
        // The pop-ups' own notice comes on the press, as before.
        EXPECT_EQ(parent_.Of(WM_BUTTONCHECK_CLICK).size(), g.enabled ? 1u : 0u) << g.name;
    }
}

TEST_F(ButtonCheckTest, CheckedPageItemIgnoresClicksAndClosesItsPageOnDoubleClick) {
    FakeUiMainFrame frame;
    button_->SetClickNotify();
    button_->SetPageItem();
    button_->SetCheck(1);
    QTest::mouseDClick(button_, Qt::LeftButton, {}, QPoint(5, 5));
    Flush();
    EXPECT_TRUE(parent_.Of(WM_BUTTONCHECK_CLICK).empty());
    const auto closes = frame.docPageTab.Of(WM_PAGEBTN_INFO);
    ASSERT_EQ(closes.size(), 1u);
    EXPECT_EQ(closes[0].wParam, 2u);
    EXPECT_EQ(closes[0].lParam, 0x12345);
}

TEST_F(ButtonCheckTest, OtherButtonsDropTheDoubleClick) {
    FakeUiMainFrame frame;
    button_->SetClickNotify();
    // Press, release, double-click, release: the order a double-click arrives in.
    const QPointF at(5, 5);
    const QPointF global = button_->mapToGlobal(at);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                              QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        const bool down = type != QEvent::MouseButtonRelease;
        QMouseEvent event(type, at, global, Qt::LeftButton, down ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(button_, &event);
    }
    Flush();
    // The press of the double-click sequence posts once; the double-click itself nothing.
    EXPECT_EQ(parent_.Of(WM_BUTTONCHECK_CLICK).size(), 1u);
    EXPECT_TRUE(frame.docPageTab.Of(WM_PAGEBTN_INFO).empty());
}

TEST_F(ButtonCheckTest, StatusReportsGoToTheStatusBarWithoutClickNotification) {
    FakeUiMainFrame frame;
    button_->m_bStatusNotify = 1;
    QTest::mousePress(button_, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(button_, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_EQ(frame.statusBar.Of(WM_SKINBTN_DOWN).size(), 1u);
    ASSERT_EQ(frame.statusBar.Of(WM_SKINBTN_UP).size(), 1u);
    EXPECT_EQ(frame.statusBar.Of(WM_SKINBTN_DOWN)[0].wParam, 1053u);

    button_->SetClickNotify();
    QTest::mousePress(button_, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(frame.statusBar.Of(WM_SKINBTN_DOWN).size(), 1u) << "the click goes to the parent";
}

TEST_F(ButtonCheckTest, RedrawFlagFollowsChanges) {
    button_->m_bRedraw = 0;
    button_->SetCheck(0);
    EXPECT_EQ(button_->m_bRedraw, 0) << "same value";
    button_->SetCheck(1);
    EXPECT_EQ(button_->m_bRedraw, 1);
    struct Change {
        const char* name;
        void (*apply)(CButtonCheck*);
    };
    const Change changes[] = {
        {"text", [](CButtonCheck* b) { b->SetWindowText(QStringLiteral("x")); }},
        {"enable", [](CButtonCheck* b) { b->EnableWindow(0); }},
        {"show", [](CButtonCheck* b) { b->ShowWindow(SW_HIDE); }},
    };
    for (const Change& change : changes) {
        button_->m_bRedraw = 0;
        change.apply(button_);
        EXPECT_EQ(button_->m_bRedraw, 1) << change.name;
    }
    EXPECT_EQ(button_->GetWindowText(), QStringLiteral("x"));
}

}  // namespace
