#pragma once
// An X server of its own (Xvfb) for tests that need a real window system: the screen a client
// process draws on, or the one this process's own windows go to.

#include <QImage>
#include <QProcess>
#include <QString>

namespace road_e2e {

constexpr int kScreenW = 1280;
constexpr int kScreenH = 800;

// An X server on a display number it picks itself; ended with the object.
class XServer {
public:
    // False when Xvfb is missing or does not come up. display: the display number to take
    // (-1: the first free one, as Xvfb finds it).
    bool Start(int display = -1);
    ~XServer();
    const QString& DisplayName() const { return display_; }

    // The whole screen as it stands now (null when the server cannot be reached).
    QImage Grab() const;

private:
    QProcess process_;
    QString display_;
};

}  // namespace road_e2e
