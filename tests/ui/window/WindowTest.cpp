// The window base: timers by id, control ids and commands, show/move/size, activation,
// per-pixel alpha, dragging by the caption, placement and the shell openers.

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <vector>

#include "platform/window/Placement.h"
#include "platform/window/Scaled.h"
#include "platform/window/Shell.h"
#include "platform/window/Window.h"
#include "platform/window/WindowStyles.h"
#include "platform/window/testing/WindowTesting.h"

namespace {

using yav::testing::TimerDriver;
using yav::testing::WaitUntil;

class ProbeWindow : public yav::Window {
public:
    std::vector<UINT> ticks;
    std::vector<std::pair<int, int>> commands;  // (id, code)
    std::vector<std::pair<UINT, QWidget*>> activations;
    int destroyed = 0;
    int hitTest = HTCLIENT;
    QColor fill = Qt::transparent;

    using yav::Window::MapCommand;

protected:
    void OnTimer(UINT id) override { ticks.push_back(id); }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        commands.emplace_back(LOWORD(wParam), HIWORD(wParam));
        return yav::Window::OnCommand(wParam, lParam);
    }
    void OnActivate(UINT state, QWidget* other) override { activations.emplace_back(state, other); }
    void OnDestroy() override { ++destroyed; }
    int OnNcHitTest(const QPoint&) override { return hitTest; }
    BOOL OnEraseBkgnd(QPainter& painter) override {
        painter.fillRect(GetClientRect(), fill);
        return 1;
    }
};

TEST(WindowTimers, RealTimerDeliversItsIdUntilKilled) {
    ProbeWindow window;
    ASSERT_TRUE(window.SetTimer(7, 10));
    ASSERT_TRUE(WaitUntil([&] { return window.ticks.size() >= 3; }));
    for (UINT id : window.ticks) {
        EXPECT_EQ(id, 7u);
    }
    EXPECT_TRUE(window.KillTimer(7));
    const size_t count = window.ticks.size();
    // A second timer proves the event loop ran after the kill.
    ASSERT_TRUE(window.SetTimer(8, 10));
    ASSERT_TRUE(WaitUntil([&] { return window.ticks.back() == 8; }));
    for (size_t i = count; i < window.ticks.size(); ++i) {
        EXPECT_EQ(window.ticks[i], 8u);
    }
}

TEST(WindowTimers, RearmingReplacesThePeriodAndKillingAnAbsentIdIsHarmless) {
    ProbeWindow window;
    EXPECT_FALSE(window.KillTimer(42));
    ASSERT_TRUE(window.SetTimer(1, 1000));
    EXPECT_EQ(window.GetTimerElapse(1), 1000);
    ASSERT_TRUE(window.SetTimer(1, 50));
    EXPECT_EQ(window.GetTimerElapse(1), 50);
    // Periods below the shortest run at the shortest.
    ASSERT_TRUE(window.SetTimer(2, 1));
    EXPECT_EQ(window.GetTimerElapse(2), 10);
    EXPECT_TRUE(window.KillTimer(1));
    EXPECT_FALSE(window.KillTimer(1));
    EXPECT_EQ(window.GetTimerElapse(1), -1);
}

TEST(WindowTimers, DriverTicksOnlySetTimers) {
    ProbeWindow window;
    EXPECT_FALSE(TimerDriver::Fire(window, 5));
    EXPECT_TRUE(window.ticks.empty());
    window.SetTimer(5, 60000);
    EXPECT_TRUE(TimerDriver::Fire(window, 5));
    EXPECT_EQ(window.ticks, std::vector<UINT>{5});
}

TEST(WindowTimers, DestroyedWindowHasNoTimersAndTakesNoNewOnes) {
    ProbeWindow window;
    window.SetTimer(1, 10);
    window.SetTimer(2, 20);
    window.DestroyWindow();
    EXPECT_EQ(window.destroyed, 1);
    EXPECT_FALSE(window.IsTimerSet(1));
    EXPECT_FALSE(window.IsTimerSet(2));
    EXPECT_FALSE(window.SetTimer(3, 10));
    window.DestroyWindow();
    EXPECT_EQ(window.destroyed, 1) << "a second destroy is a no-op";
}

TEST(WindowControls, LookupByIdFindsDirectChildrenOnly) {
    ProbeWindow window;
    auto* ok = new QPushButton(&window);
    yav::SetControlId(ok, 1);
    auto* panel = new QWidget(&window);
    auto* inner = new QPushButton(panel);
    yav::SetControlId(inner, 2);
    EXPECT_EQ(window.GetDlgItem(1), ok);
    EXPECT_EQ(window.GetDlgItem(2), nullptr);
    EXPECT_EQ(yav::FindControl(panel, 2), inner);
    EXPECT_EQ(yav::ControlId(panel), 0);
}

TEST(WindowControls, ClickBecomesCommandToTheParent) {
    ProbeWindow window;
    auto* button = new QPushButton(&window);
    yav::SetControlId(button, 1029);
    yav::ConnectClickCommand(button);
    int mapped = 0;
    window.MapCommand(1029, [&] { ++mapped; });
    button->click();
    ASSERT_EQ(window.commands.size(), 1u);
    EXPECT_EQ(window.commands[0], std::make_pair(1029, static_cast<int>(BN_CLICKED)));
    EXPECT_EQ(mapped, 1);
}

TEST(WindowControls, ChildControlExistsWithItsParent) {
    class Late : public yav::Window {
    public:
        Late() { StartNotCreated(); }
        void Create() { MarkCreated(true); }
    } parent;
    auto* control = new ProbeWindow();
    control->setParent(&parent);
    EXPECT_FALSE(control->IsWindow());
    parent.Create();
    EXPECT_TRUE(control->IsWindow());
    control->SetTimer(1, 1000);
    parent.DestroyWindow();
    EXPECT_FALSE(control->IsWindow());
    EXPECT_EQ(control->destroyed, 1);
    EXPECT_FALSE(control->IsTimerSet(1));
}

TEST(WindowGeometry, ShowReturnsPreviousVisibilityAndMoveUsesParentCoordinates) {
    ProbeWindow top;
    yav::SetFrameless(&top, true);
    top.MoveWindow(100, 80, 300, 200);
    auto* child = new ProbeWindow();
    child->setParent(&top);
    EXPECT_EQ(top.ShowWindow(SW_SHOW), 0);
    EXPECT_EQ(top.ShowWindow(SW_SHOW), 1);
    EXPECT_EQ(top.GetWindowRect().size(), QSize(300, 200));
    child->MoveWindow(10, 20, 30, 40);
    child->ShowWindow(SW_SHOW);
    EXPECT_EQ(child->geometry(), QRect(10, 20, 30, 40));
    EXPECT_EQ(child->GetClientRect(), QRect(0, 0, 30, 40));
    EXPECT_EQ(child->GetWindowRect(), QRect(top.mapToGlobal(QPoint(10, 20)), QSize(30, 40)));
    EXPECT_EQ(child->ShowWindow(SW_HIDE), 1);
    EXPECT_FALSE(child->isVisible());
}

TEST(WindowGeometry, SetWindowPosHonoursItsFlags) {
    ProbeWindow top;
    top.MoveWindow(10, 10, 50, 60);
    top.SetWindowPos(yav::ZOrder::TopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_TRUE(yav::IsTopMost(&top));
    EXPECT_EQ(top.pos(), QPoint(10, 10));
    EXPECT_EQ(top.size(), QSize(50, 60));
    top.SetWindowPos(yav::ZOrder::NoTopMost, 5, 6, 70, 80, SWP_NOZORDER | SWP_SHOWWINDOW);
    EXPECT_TRUE(yav::IsTopMost(&top));
    EXPECT_EQ(top.pos(), QPoint(5, 6));
    EXPECT_EQ(top.size(), QSize(70, 80));
    EXPECT_TRUE(top.isVisible());
    top.SetWindowPos(yav::ZOrder::NoTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_FALSE(yav::IsTopMost(&top));
    EXPECT_TRUE(top.isVisible()) << "changing the kind keeps a visible window visible";
}

TEST(WindowGeometry, ScaledRectTruncatesEachValue) {
    const double saved = g_fExchangePW;
    g_fExchangePW = 1.5;
    EXPECT_EQ(yav::ScaledRect(25, 33, 250, 73), QRect(37, 49, 375, 109));
    EXPECT_DOUBLE_EQ(yav::ScaledF(23.2), 34.8);
    g_fExchangePW = saved;
}

TEST(WindowActivation, LosingTheActivationNamesTheWindowGainingIt) {
    ProbeWindow first;
    ProbeWindow second;
    first.MoveWindow(0, 0, 100, 100);
    second.MoveWindow(200, 0, 100, 100);
    first.ShowWindow(SW_SHOW);
    second.ShowWindow(SW_SHOW);
    first.activateWindow();
    ASSERT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == &first; }));
    first.activations.clear();
    second.activations.clear();
    second.activateWindow();
    ASSERT_TRUE(WaitUntil([&] { return !second.activations.empty(); }));
    ASSERT_EQ(first.activations.size(), 1u);
    EXPECT_EQ(first.activations[0].first, WA_INACTIVE);
    EXPECT_EQ(first.activations[0].second, &second);
    EXPECT_EQ(second.activations[0].first, WA_ACTIVE);
    EXPECT_EQ(second.activations[0].second, &first);
}

TEST(WindowPainting, LayeredPictureIsShownWithItsConstantAlpha) {
    ProbeWindow window;
    window.MoveWindow(0, 0, 20, 10);
    QImage picture(20, 10, QImage::Format_ARGB32);
    picture.fill(QColor(255, 0, 0, 255));
    picture.setPixel(0, 0, qRgba(0, 0, 0, 0));
    window.UpdateLayeredWindow(picture, 127);
    const QImage grab = window.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(qAlpha(grab.pixel(0, 0)), 0);
    EXPECT_NEAR(qAlpha(grab.pixel(5, 5)), 127, 1);
    EXPECT_NEAR(qRed(grab.pixel(5, 5)), 255, 2);
}

TEST(WindowPainting, ColourKeyMakesExactlyThatColourSeeThrough) {
    ProbeWindow window;
    window.MoveWindow(0, 0, 20, 10);
    window.fill = QColor(0xF7, 0xF7, 0xF7);
    window.SetLayeredWindowAttributes(RGB(0xF7, 0xF7, 0xF7), 255,
                                      yav::LWA_COLORKEY | yav::LWA_ALPHA);
    QImage grab = window.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(qAlpha(grab.pixel(3, 3)), 0);
    window.fill = QColor(0xF7, 0xF7, 0xF6);
    grab = window.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(qAlpha(grab.pixel(3, 3)), 255);
}

TEST(WindowMouse, CaptionAnswerDragsTheWindow) {
    ProbeWindow window;
    window.MoveWindow(100, 100, 80, 60);
    window.ShowWindow(SW_SHOW);
    window.hitTest = HTCAPTION;
    const QPoint inside(10, 10);
    const QPoint global = window.mapToGlobal(inside);
    QMouseEvent press(QEvent::MouseButtonPress, inside, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&window, &press);
    QMouseEvent move(QEvent::MouseMove, inside + QPoint(30, 20), global + QPoint(30, 20),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, inside + QPoint(30, 20),
                        global + QPoint(30, 20), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &release);
    EXPECT_EQ(window.pos(), QPoint(130, 120));

    window.hitTest = HTCLIENT;
    QApplication::sendEvent(&window, &press);
    QApplication::sendEvent(&window, &move);
    EXPECT_EQ(window.pos(), QPoint(130, 120)) << "client area does not drag";
}

TEST(WindowPlacement, CentresInTheWorkAreaWithoutResizing) {
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.resize(301, 151);
    QScreen* screen = yav::ScreenNearest(&window);
    ASSERT_NE(screen, nullptr);
    yav::CenterInWorkArea(&window, screen);
    const QRect work = screen->availableGeometry();
    EXPECT_EQ(window.size(), QSize(301, 151));
    EXPECT_EQ(window.pos(), QPoint(work.left() + (work.width() - 301) / 2,
                                   work.top() + (work.height() - 151) / 2));
    const QPoint before = window.pos();
    yav::CenterInWorkArea(&window, nullptr);
    yav::CenterInWorkArea(nullptr, screen);
    EXPECT_EQ(window.pos(), before);
    EXPECT_EQ(yav::MonitorRect(&window, true), work);
}

class ShellOpen : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = yav::shell::SetOpener([this](const QUrl& url) {
            opened_.push_back(url);
            return true;
        });
    }
    void TearDown() override { yav::shell::SetOpener(previous_); }
    yav::shell::Opener previous_;
    std::vector<QUrl> opened_;
};

TEST_F(ShellOpen, OnlyWebAddressesAreOpened) {
    struct Case {
        const char* address;
        bool opens;
    };
    const Case cases[] = {
        {"https://www.example.com/download", true},
        {"HTTP://example.com", true},
        {"  https://example.com/a?b=c  ", true},
        {"", false},
        {"file:///usr/bin/xterm", false},
        {"/usr/bin/xterm", false},
        {"calc.exe", false},
        {"javascript:alert(1)", false},
        {"ftp://example.com", false},
        {"https://", false},
        {"smb://server/share", false},
    };
    for (const Case& c : cases) {
        opened_.clear();
        EXPECT_EQ(yav::shell::OpenUrl(QString::fromUtf8(c.address)), c.opens) << c.address;
        EXPECT_EQ(opened_.size(), c.opens ? 1u : 0u) << c.address;
    }
}

TEST_F(ShellOpen, OnlyExistingFoldersAreOpened) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile file(dir.filePath("photo.png"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_TRUE(yav::shell::OpenFolder(dir.path()));
    ASSERT_EQ(opened_.size(), 1u);
    EXPECT_EQ(opened_[0], QUrl::fromLocalFile(QDir(dir.path()).absolutePath()));
    EXPECT_FALSE(yav::shell::OpenFolder(dir.filePath("photo.png")));
    EXPECT_FALSE(yav::shell::OpenFolder(dir.filePath("missing")));
    EXPECT_FALSE(yav::shell::OpenFolder(QString()));
    EXPECT_EQ(opened_.size(), 1u);
}

}  // namespace
