#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

#include "config/ConfigManger.h"

namespace {

TEST(ConfigMangerMonitorRect, WholeScreenOrWorkAreaOfTheWindowsScreen) {
    QWidget window;
    window.setGeometry(10, 10, 200, 100);
    window.show();
    const QScreen* screen = window.screen();
    ASSERT_NE(screen, nullptr);
    QRect rect;
    g_ConfigManager.GetMonitorRect(&window, &rect, false);
    EXPECT_EQ(rect, screen->geometry());
    g_ConfigManager.GetMonitorRect(&window, &rect, true);
    EXPECT_EQ(rect, screen->availableGeometry());
}

TEST(ConfigMangerMonitorRect, NoWindowLeavesTheRectangleAlone) {
    QRect rect(1, 2, 3, 4);
    g_ConfigManager.GetMonitorRect(nullptr, &rect, true);
    EXPECT_EQ(rect, QRect(1, 2, 3, 4));
}

}  // namespace
