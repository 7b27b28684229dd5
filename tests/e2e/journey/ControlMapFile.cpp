#include "ControlMapFile.h"

#include <QFile>
#include <QStringList>

namespace journey_e2e {

namespace {

constexpr int kFields = 12;

}  // namespace

std::vector<Control> ControlMapFile::Read() const {
    std::vector<Control> controls;
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) {
        return controls;
    }
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    for (const QString& line : lines) {
        const QStringList f = line.split('\t');
        if (f.size() < kFields) {
            continue;
        }
        Control control;
        control.xWindow = f[0].toULong(nullptr, 16);
        control.active = f[1] == QStringLiteral("1");
        control.topClass = f[2];
        control.parentClass = f[3];
        control.className = f[4];
        control.id = f[5].toInt();
        control.rect = QRect(f[6].toInt(), f[7].toInt(), f[8].toInt(), f[9].toInt());
        control.enabled = f[10] == QStringLiteral("1");
        control.text = f.mid(11).join('\t');
        controls.push_back(control);
    }
    return controls;
}

std::optional<Control> ControlMapFile::Find(const QString& parentClass, int id) const {
    for (const Control& control : Read()) {
        if (!control.IsTopLevel() && control.parentClass == parentClass && control.id == id) {
            return control;
        }
    }
    return std::nullopt;
}

std::optional<Control> ControlMapFile::FindText(const QString& parentClass,
                                                const QString& text) const {
    for (const Control& control : Read()) {
        if (!control.IsTopLevel() && control.parentClass == parentClass && control.text == text) {
            return control;
        }
    }
    return std::nullopt;
}

std::optional<Control> ControlMapFile::TopLevel(const QString& className) const {
    for (const Control& control : Read()) {
        if (control.IsTopLevel() && control.className == className) {
            return control;
        }
    }
    return std::nullopt;
}

std::vector<Control> ControlMapFile::All(const QString& parentClass,
                                         const QString& className) const {
    std::vector<Control> found;
    for (const Control& control : Read()) {
        if (!control.IsTopLevel() && control.parentClass == parentClass &&
            control.className == className) {
            found.push_back(control);
        }
    }
    return found;
}

}  // namespace journey_e2e
