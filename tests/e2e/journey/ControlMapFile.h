#pragma once
// What a client process says about its windows and controls on the screen (the file it keeps
// with YAV_TEST_CONTROL_MAP set): one entry per visible top-level and per visible control.

#include <QRect>
#include <QString>

#include <optional>
#include <vector>

namespace journey_e2e {

struct Control {
    unsigned long xWindow = 0;  // of its top-level
    bool active = false;        // its top-level is the active window
    QString topClass;
    QString parentClass;  // "-" for a top-level itself
    QString className;
    int id = 0;
    QRect rect;  // screen pixels
    bool enabled = false;
    QString text;

    bool IsTopLevel() const { return parentClass == QStringLiteral("-"); }
    QPoint Centre() const { return rect.center(); }
};

class ControlMapFile {
public:
    explicit ControlMapFile(QString path) : path_(std::move(path)) {}
    const QString& Path() const { return path_; }

    // The entries as the file holds them now (empty when there is no file yet).
    std::vector<Control> Read() const;

    // The visible control with that id whose parent is of that class.
    std::optional<Control> Find(const QString& parentClass, int id) const;
    // The visible control of that parent class with that text.
    std::optional<Control> FindText(const QString& parentClass, const QString& text) const;
    // The visible top-level of that class.
    std::optional<Control> TopLevel(const QString& className) const;
    // Every visible control of that class whose parent is of that class.
    std::vector<Control> All(const QString& parentClass, const QString& className) const;

private:
    QString path_;
};

}  // namespace journey_e2e
