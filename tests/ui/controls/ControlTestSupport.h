#pragma once
// Helpers shared by the control tests: a parent window that records what its controls send
// it, a synthetic skin for the scroll bars, and saving a grab for a person to look at.

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

#include "client/config/ConfigManger.h"
#include "platform/window/Window.h"

namespace controls_test {

struct Message {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// A parent window that keeps every message it is sent and can answer them.
class RecordingParent : public yav::Window {
public:
    std::vector<Message> messages;
    // Called for each message after it is recorded; its result is returned to the sender.
    std::function<LRESULT(const Message&)> answer;

    std::vector<Message> Of(UINT message) const {
        std::vector<Message> found;
        for (const Message& m : messages) {
            if (m.message == message) {
                found.push_back(m);
            }
        }
        return found;
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        const Message m{message, wParam, lParam};
        messages.push_back(m);
        if (answer) {
            return answer(m);
        }
        return yav::Window::WindowProc(message, wParam, lParam);
    }
};

// A scroll-bar skin: 9 x 3 cells of `cell` pixels, each cell a colour of its own with a
// darker frame, so that a grab shows which cell went where.
inline QPixmap MakeScrollSkin(int cell = 15) {
    QImage image(9 * cell, 3 * cell, QImage::Format_ARGB32);
    QPainter painter(&image);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 9; ++column) {
            const QColor base = QColor::fromHsv(column * 40 % 360, 80 + row * 60, 230 - row * 40);
            const QRect rect(column * cell, row * cell, cell, cell);
            painter.fillRect(rect, base);
            painter.setPen(base.darker(160));
            painter.drawRect(rect.adjusted(0, 0, -1, -1));
        }
    }
    painter.end();
    return QPixmap::fromImage(image);
}

// Loads the program's own skin module once; false when it is not in the program folder (the
// grabs then fall back to synthetic pictures).
inline bool LoadProgramSkin() {
    static const bool loaded = [] {
        g_ConfigManager.LoadSkin();
        return g_ConfigManager.LoadPNG(162) != nullptr;
    }();
    return loaded;
}

// The double-resolution picture of a skin PNG (id + 1), or null.
inline QImage* SkinPng2x(std::uint32_t id) {
    return LoadProgramSkin() ? g_ConfigManager.LoadPNG(id + 1) : nullptr;
}

// An image of one colour.
inline QImage Solid(int width, int height, QColor color) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

// A rounded coloured shape on a transparent square, for icons and logos in grabs.
inline QImage RoundShape(int side, QColor color, double radius) {
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(color);
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(side / 16.0, side / 16.0, side * 7 / 8.0, side * 7 / 8.0),
                            radius, radius);
    return image;
}

// Saves a grab of the widget as <name>.png into $YAV_TEST_OUTPUT_DIR (when set); returns the
// path written, empty when nothing was saved.
inline QString SaveGrab(QWidget& widget, const QString& name) {
    const QString dir = qEnvironmentVariable("YAV_TEST_OUTPUT_DIR");
    if (dir.isEmpty()) {
        return {};
    }
    QDir().mkpath(dir);
    const QString path = QDir(dir).filePath(name + QStringLiteral(".png"));
    return widget.grab().save(path) ? path : QString();
}

}  // namespace controls_test
