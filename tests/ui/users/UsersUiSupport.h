#pragma once
// Shared set-up of the participant-area widget tests: texts, skin, scale and grabs.

#include <QDir>
#include <QImage>
#include <QString>
#include <QWidget>

#include "ConfigManger.h"
#include "platform/core/Scale.h"

namespace users_ui {

inline void LoadResources() {
    static const bool loaded = [] {
        g_ConfigManager.LoadLanguage();
        g_ConfigManager.LoadSkin();
        g_ConfigManager.LoadSkinColors();
        return true;
    }();
    (void)loaded;
}

// Sets the display scale for one test and puts it back after.
class ScaleScope {
public:
    explicit ScaleScope(double scale) : saved_(g_fExchangePW) { g_fExchangePW = scale; }
    ~ScaleScope() { g_fExchangePW = saved_; }
    ScaleScope(const ScaleScope&) = delete;
    ScaleScope& operator=(const ScaleScope&) = delete;

private:
    double saved_;
};

inline QString GrabName(const char* what, double scale) {
    return QStringLiteral("%1_%2").arg(QString::fromLatin1(what)).arg(scale == 1.0 ? "1_0" : "1_5");
}

// Saves the picture as <name>.png into $YAV_TEST_OUTPUT_DIR when set.
inline void SaveGrab(const QImage& picture, const QString& name) {
    const QString dir = qEnvironmentVariable("YAV_TEST_OUTPUT_DIR");
    if (!dir.isEmpty()) {
        QDir().mkpath(dir);
        picture.save(QDir(dir).filePath(name + QStringLiteral(".png")));
    }
}

}  // namespace users_ui
