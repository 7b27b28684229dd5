#pragma once
// A desktop as a person has it: an X server of its own (Xvfb) with a window manager (openbox)
// managing the windows, and the person's input, given with xdotool: the pointer moved to
// screen coordinates and clicked, keys pressed, text typed, a window brought to the front.

#include <QImage>
#include <QPoint>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

#include "e2e/road/XServer.h"

namespace journey_e2e {

class Desktop {
public:
    // What is missing on this machine for a desktop (empty when nothing is).
    static QString MissingTools();

    // Starts the X server and the window manager; false (with the reason in Error()) when one
    // does not come up.
    bool Start();
    ~Desktop();
    const QString& Error() const { return error_; }
    const QString& DisplayName() const { return xserver_->DisplayName(); }

    // The whole screen as it stands now.
    QImage Grab() const { return xserver_->Grab(); }

    // Input, each waiting until the X server took it (false when xdotool failed).
    bool Click(QPoint at, int button = 1);
    bool MovePointer(QPoint at);
    bool Key(const QString& keys);
    bool Type(const QString& text);
    // Asks the window manager to activate the top-level (raised, focused) and waits for it.
    bool Activate(unsigned long xWindow);
    // The window the window manager says is active (0: none).
    unsigned long ActiveWindow() const;
    // Where the X server has a mapped top-level's top-left corner on the screen (none while
    // it is not mapped).
    std::optional<QPoint> WindowOrigin(unsigned long xWindow) const;

private:
    bool StartOnce();
    bool WindowManagerRunning() const;
    bool Xdotool(const QStringList& arguments);

    std::unique_ptr<road_e2e::XServer> xserver_;
    QProcess windowManager_;
    QString error_;
};

}  // namespace journey_e2e
