#include "PanelTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "ConfigManger.h"
#include "client/dialogs/panels/PanelClock.h"
#include "client/ui/CDlgPopMsg.h"
#include "client/ui/UiFonts.h"
#include "platform/core/Scale.h"
#include "platform/window/Scaled.h"

namespace panels_test {

namespace {

class PanelEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        dir_ = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(dir_->isValid());
        ui_test::LoadProgramModules(dir_->path());
        ASSERT_NE(LoadLangString(1), QStringLiteral("Not found")) << "language module";
        ASSERT_NE(g_ConfigManager.LoadPNG(674), nullptr) << "skin module";
    }
    void TearDown() override {
        g_ConfigManager.ReleaseImageCache();
        dir_.reset();
    }

private:
    std::unique_ptr<QTemporaryDir> dir_;
};

[[maybe_unused]] ::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new PanelEnvironment);

}  // namespace

TestClock::TestClock(std::uint32_t start) : now_(start) {
    yav::panels::SetTickSource([this] { return now_; });
}

TestClock::~TestClock() {
    yav::panels::SetTickSource(nullptr);
}

Room::Room() : host(log, &window) {
    window.resize(1280, 720);
    window.show();
}

Room::~Room() = default;

std::vector<int> Room::Commands() {
    QApplication::processEvents();
    std::vector<int> ids;
    for (const auto& message : window.Of(WM_COMMAND)) {
        ids.push_back(LOWORD(message.wParam));
    }
    return ids;
}

QImage SaveGrab(QWidget& window, const char* name) {
    const QImage picture = window.grab().toImage();
    const QString dir = qEnvironmentVariable("YAV_TEST_OUTPUT_DIR");
    if (!dir.isEmpty() && QDir().mkpath(dir)) {
        const QString scale = g_fExchangePW > 1.0 ? QStringLiteral("1_5") : QStringLiteral("1_0");
        picture.save(QDir(dir).filePath(
            QStringLiteral("panel_%1_%2.png").arg(QString::fromLatin1(name), scale)));
    }
    return picture;
}

int PixelsNot(const QImage& picture, const QRect& area, QColor colour) {
    int count = 0;
    const QRect inside = area.intersected(picture.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            count += picture.pixelColor(x, y) != colour ? 1 : 0;
        }
    }
    return count;
}

}  // namespace panels_test
