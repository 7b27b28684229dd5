#include "UiGuards.h"

#include <QCoreApplication>

#include "ConfigManger.h"
#include "client/ui/CDlgPopMsg.h"
#include "client/ui/UiFonts.h"
#include "platform/core/Scale.h"
#include "platform/window/Scaled.h"

namespace ui_test {

void LoadProgramModules(const QString& dataDir) {
    const QString program = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    g_ConfigManager.strDataDir = dataDir + QLatin1Char('/');
    g_ConfigManager.strClientIni = dataDir + QStringLiteral("/Client.ini");
    g_ConfigManager.strSkinIni = program + QStringLiteral("skin.ini");
    g_ConfigManager.strLanguageDll = program + QStringLiteral("Language.rcc");
    g_ConfigManager.strSkinsDll = program + QStringLiteral("Skins.rcc");
    g_ConfigManager.LoadLanguage();
    g_ConfigManager.LoadSkin();
    g_ConfigManager.LoadSkinColors();
}

ScaleGuard::ScaleGuard(double scale) : saved_(g_fExchangePW), savedFont_(g_fontUI) {
    g_fExchangePW = scale;
    g_ConfigManager.LoadSkinColors();
    // The UI font as start-up makes it for the scale: 12 design pixels.
    g_fontUI.setPixelSize(yav::Scaled(12));
}

ScaleGuard::~ScaleGuard() {
    g_fExchangePW = saved_;
    g_ConfigManager.LoadSkinColors();
    g_fontUI = savedFont_;
}

LanguageGuard::LanguageGuard(int index) : saved_(g_ConfigManager.nLanguageIndex) {
    g_ConfigManager.nLanguageIndex = index;
}

LanguageGuard::~LanguageGuard() {
    g_ConfigManager.nLanguageIndex = saved_;
}

BoxAnswerer::BoxAnswerer(int result) : result_(result) {
    token_ = yav::Dialog::AddModalObserver([this](yav::Dialog& dialog) {
        auto* box = dynamic_cast<CDlgPopMsg*>(&dialog);
        if (box == nullptr) {
            return;
        }
        titles_.push_back(box->GetTitleLabel().GetWindowText());
        messages_.push_back(box->GetMessageLabel().GetWindowText());
        types_.push_back(box->GetType());
        box->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(result_), BN_CLICKED), 0);
    });
}

BoxAnswerer::~BoxAnswerer() {
    yav::Dialog::RemoveModalObserver(token_);
}

}  // namespace ui_test
