#include "LayoutTestSupport.h"

#include <QDir>
#include <QImage>
#include <QWidget>

#include "config/ConfigManger.h"

namespace layout_test {

void LoadModules() {
    static const bool loaded = (g_ConfigManager.LoadLanguage(), g_ConfigManager.LoadSkin(), true);
    (void)loaded;
}

CommandSink::CommandSink() {
    MapMessage(WM_COMMAND, [this](WPARAM wParam, LPARAM) -> LRESULT {
        commands.push_back(static_cast<int>(wParam & 0xFFFF));
        return 0;
    });
}

QString SaveGrab(QWidget& widget, const char* name, double scale) {
    const QString folder = qEnvironmentVariable("YAV_TEST_OUTPUT_DIR");
    if (folder.isEmpty() || !QDir().mkpath(folder)) {
        return {};
    }
    const QString path = QDir(folder).filePath(QStringLiteral("%1_%2.png")
                                                   .arg(QString::fromLatin1(name))
                                                   .arg(scale == 1.0 ? "1_0" : "1_5"));
    return widget.grab().toImage().save(path) ? path : QString();
}

}  // namespace layout_test
