#pragma once
// A room stand-in and a parent for video windows, and pictures to feed their frame sinks.

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <memory>
#include <vector>

#include "client/dialogs/video/CDlgVideo.h"
#include "config/AppSettings.h"
#include "config/ConfigManger.h"
#include "fakes/video/FakeVideoHost.h"
#include "platform/core/Scale.h"
#include "platform/window/testing/WindowTesting.h"
#include "ui/controls/ControlTestSupport.h"

namespace video_test {

// A BGRx picture: vertical colour bars (a test pattern), or one colour.
inline QImage TestPattern(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    const QRgb bars[] = {0xFFC0C0C0, 0xFFC0C000, 0xFF00C0C0, 0xFF00C000,
                         0xFFC000C0, 0xFFC00000, 0xFF0000C0, 0xFF202020};
    QPainter painter(&image);
    for (int i = 0; i < 8; ++i) {
        painter.fillRect(QRect(i * width / 8, 0, width / 8 + 1, height), QColor::fromRgb(bars[i]));
    }
    return image;
}

inline QImage Solid(int width, int height, QRgb colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

inline void Push(kromedia::IFrameSink* sink, std::uint16_t id, const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    sink->OnFrame({id, rgb.width(), rgb.height(), static_cast<int>(rgb.bytesPerLine()),
                   rgb.constBits(), nullptr});
}

// A picture the producer keeps readable while the sink holds it (as the media component
// does): pixels of their own, freed when the last holder lets go.
inline void PushHeld(kromedia::IFrameSink* sink, std::uint16_t id, const QImage& image) {
    auto held = std::make_shared<QImage>(image.convertToFormat(QImage::Format_RGB32).copy());
    sink->OnFrame({id, held->width(), held->height(), static_cast<int>(held->bytesPerLine()),
                   held->constBits(), held});
}

// Colours near enough (smooth scaling blends the edges).
inline bool Near(QColor a, QColor b, int tolerance = 12) {
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

class VideoFixture : public ::testing::Test {
protected:
    virtual double Scale() const { return 1.0; }

    void SetUp() override {
        static const bool loaded = (g_ConfigManager.LoadLanguage(), true);
        (void)loaded;
        controls_test::LoadProgramSkin();
        savedScale = g_fExchangePW;
        g_fExchangePW = Scale();
        savedSettings = g_AppSettings;
        g_AppSettings.ShowDefault = 1;
        host.mainWindow = &mainWindow;
        host.names = {
            {16, QStringLiteral("me")}, {24, QStringLiteral("B")}, {32, QStringLiteral("Ann")}};
        host.streams = {{17, &stream}, {25, &stream2}, {32, &stream}, {34, &stream}};
        g_pVideoWindowHost = &host;
        mainWindow.resize(800, 600);
        mainWindow.show();
    }

    void TearDown() override {
        windows.clear();
        g_pVideoWindowHost = nullptr;
        g_AppSettings = savedSettings;
        g_fExchangePW = savedScale;
    }

    // A layout window (mode 0) of the given size inside the main window, children created.
    CDlgVideo& MakeWindow(QSize size = {400, 300}, int mode = 0, bool children = true) {
        windows.push_back(std::make_unique<CDlgVideo>(&mainWindow));
        CDlgVideo& window = *windows.back();
        window.SetDisplayMode(mode);
        window.Create(CDlgVideo::IDD, &mainWindow);
        window.MoveWindow(0, 0, size.width(), size.height());
        window.ShowWindow(SW_SHOW);
        if (children) {
            EXPECT_TRUE(yav::testing::TimerDriver::Fire(window, CDlgVideo::TIMER_CREATE_CHILDREN));
        }
        return window;
    }

    // Bound as the binder binds: id, owner value, render object, caption.
    void Bind(CDlgVideo& window, std::uint16_t id, kromedia::IMediaStream* render) {
        window.SetMediaId(0, true);
        window.SetUserId(id);
        window.SetOwnerSlot(CDlgVideo::kOwnerValue);
        window.SetVideoState(render);
        window.UpdateCaption(host.FormatChannelName(id));
    }

    void FirstPicture(CDlgVideo& window, std::uint16_t id, const QImage& image) {
        Push(window.GetFrameSink(), id, image);
        window.SendMessage(CDlgVideo::WM_FIRST_PICTURE, id, 0);
        QApplication::processEvents();
    }

    fakes::CallLog log;
    fakes::FakeVideoHost host{log};
    fakes::FakeStream stream;
    fakes::FakeStream stream2;
    controls_test::RecordingParent mainWindow;
    std::vector<std::unique_ptr<CDlgVideo>> windows;
    double savedScale = 1.0;
    ST_APP_SETTINGS savedSettings;
};

}  // namespace video_test
