#include "ToolkitTestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

#include "ConfigManger.h"
#include "platform/core/Scale.h"

namespace toolkit_test {

namespace {

class ToolkitEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        dir_ = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(dir_->isValid());
        const QString modules = QStringLiteral(YAV_TOOLKIT_TEST_MODULES);
        g_ConfigManager.strClientIni = dir_->filePath(QStringLiteral("Client.ini"));
        g_ConfigManager.strSkinIni = dir_->filePath(QStringLiteral("Skin.ini"));
        g_ConfigManager.strLanguageDll = modules + QStringLiteral("/ToolkitLanguage.rcc");
        g_ConfigManager.strSkinsDll = modules + QStringLiteral("/ToolkitSkins.rcc");
        g_ConfigManager.LoadLanguage();
        g_ConfigManager.LoadSkin();
        ASSERT_EQ(LoadLangString(760), QString::fromUtf8("确认")) << "test language module";
        ASSERT_NE(g_ConfigManager.LoadPNG(178), nullptr) << "test skin module";
    }
    void TearDown() override { g_ConfigManager.ReleaseImageCache(); }

private:
    std::unique_ptr<QTemporaryDir> dir_;
};

[[maybe_unused]] ::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new ToolkitEnvironment);

}  // namespace

ScaleGuard::ScaleGuard(double scale) : saved_(g_fExchangePW) {
    g_fExchangePW = scale;
    g_ConfigManager.LoadSkinColors();
}

ScaleGuard::~ScaleGuard() {
    g_fExchangePW = saved_;
    g_ConfigManager.LoadSkinColors();
}

QString SaveGrab(QWidget* window, const QString& name) {
    const QString dir = qEnvironmentVariable("YAV_TEST_OUTPUT_DIR");
    if (dir.isEmpty() || !QDir().mkpath(dir)) {
        return QString();
    }
    const QString path = QDir(dir).filePath(name + QStringLiteral(".png"));
    return window->grab().save(path) ? path : QString();
}

}  // namespace toolkit_test
