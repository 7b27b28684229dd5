#pragma once
// Catches the messages Qt prints that contain a given text while the trap lives (from any
// thread); every message still goes on to the handler that was installed before.

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

namespace ui_test {

class QtWarningTrap {
public:
    explicit QtWarningTrap(const char* needle) : needle_(needle) {
        std::lock_guard<std::mutex> lock(Mutex());
        outer_ = Current();
        Current() = this;
        previous_ = qInstallMessageHandler(&QtWarningTrap::Handle);
    }
    ~QtWarningTrap() {
        qInstallMessageHandler(previous_);
        std::lock_guard<std::mutex> lock(Mutex());
        Current() = outer_;
    }
    QtWarningTrap(const QtWarningTrap&) = delete;
    QtWarningTrap& operator=(const QtWarningTrap&) = delete;

    std::vector<std::string> Caught() const {
        std::lock_guard<std::mutex> lock(Mutex());
        return caught_;
    }

private:
    static void Handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        QtMessageHandler previous = nullptr;
        {
            std::lock_guard<std::mutex> lock(Mutex());
            for (QtWarningTrap* trap = Current(); trap != nullptr; trap = trap->outer_) {
                if (text.contains(QString::fromUtf8(trap->needle_))) {
                    trap->caught_.push_back(text.toStdString());
                }
            }
            // The handler from before the outermost trap (the inner ones chain to this one).
            for (QtWarningTrap* trap = Current(); trap != nullptr; trap = trap->outer_) {
                previous = trap->previous_;
            }
        }
        if (previous != nullptr) {
            previous(type, context, text);
        } else {
            const QByteArray line = text.toLocal8Bit();
            fprintf(stderr, "%s\n", line.constData());
        }
    }
    static std::mutex& Mutex() {
        static std::mutex mutex;
        return mutex;
    }
    static QtWarningTrap*& Current() {
        static QtWarningTrap* current = nullptr;
        return current;
    }

    QByteArray needle_;
    QtWarningTrap* outer_ = nullptr;
    QtMessageHandler previous_ = nullptr;
    std::vector<std::string> caught_;
};

}  // namespace ui_test
