#include "platform/window/ControlMap.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QSaveFile>
#include <QTimer>
#include <QWidget>

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>

#include "platform/window/Window.h"

namespace yav {

namespace {

constexpr int kCheckEveryMs = 100;

QString ClassName(const QWidget* widget) {
    if (widget == nullptr) {
        return QStringLiteral("-");
    }
    const char* mangled = typeid(*widget).name();
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> demangled(
        abi::__cxa_demangle(mangled, nullptr, nullptr, &status), &std::free);
    return QString::fromLatin1(status == 0 && demangled ? demangled.get() : mangled);
}

QString TextOf(QWidget* widget) {
    QString text;
    if (WindowCore* window = WindowFrom(widget)) {
        text = window->GetWindowText();
    } else if (const auto* button = qobject_cast<QAbstractButton*>(widget)) {
        text = button->text();
    } else if (const auto* edit = qobject_cast<QLineEdit*>(widget)) {
        text = edit->text();
    }
    for (QChar& c : text) {
        if (c == '\t' || c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    return text;
}

void AddLine(QString& out, QWidget* top, QWidget* widget) {
    const QPoint at = widget->mapToGlobal(QPoint(0, 0));
    const bool isTop = widget == top;
    out += QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6\t%7\t%8\t%9\t%10\t%11\t%12\n")
               .arg(QString::number(top->internalWinId(), 16))
               .arg(top == QApplication::activeWindow() ? 1 : 0)
               .arg(ClassName(top), isTop ? QStringLiteral("-") : ClassName(widget->parentWidget()),
                    ClassName(widget))
               .arg(ControlId(widget))
               .arg(at.x())
               .arg(at.y())
               .arg(widget->width())
               .arg(widget->height())
               .arg(widget->isEnabled() ? 1 : 0)
               .arg(TextOf(widget));
}

}  // namespace

QString ControlMapText() {
    QString out;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (!top->isVisible()) {
            continue;
        }
        AddLine(out, top, top);
        for (QWidget* widget : top->findChildren<QWidget*>()) {
            // Children that are windows of their own are listed as top-levels.
            if (widget->window() == top && widget->isVisible() &&
                (ControlId(widget) != 0 || WindowFrom(widget) != nullptr)) {
                AddLine(out, top, widget);
            }
        }
    }
    return out;
}

void StartControlMapFromEnvironment() {
    const QString path = qEnvironmentVariable("YAV_TEST_CONTROL_MAP");
    if (path.isEmpty() || QCoreApplication::instance() == nullptr) {
        return;
    }
    auto* timer = new QTimer(QCoreApplication::instance());
    auto written = std::make_shared<QString>();
    QObject::connect(timer, &QTimer::timeout, timer, [path, written] {
        QString text = ControlMapText();
        if (text == *written) {
            return;
        }
        // Readers never see a half-written map.
        QSaveFile file(path);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(text.toUtf8());
            if (file.commit()) {
                *written = std::move(text);
            }
        }
    });
    timer->start(kCheckEveryMs);
}

}  // namespace yav
