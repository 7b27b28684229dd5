#include "UiFonts.h"

#include <QStringList>

namespace {

QFont MakeDefaultUiFont() {
    QFont font;
    // The face the skins were drawn for, then the CJK faces a Linux desktop has.
    font.setFamilies({QStringLiteral("Microsoft YaHei"), QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Source Han Sans SC"),
                      QStringLiteral("sans-serif")});
    font.setPixelSize(12);
    return font;
}

QFont s_gdipFont = MakeDefaultUiFont();

}  // namespace

QFont g_fontUI = MakeDefaultUiFont();
QFont g_fontUI2 = MakeDefaultUiFont();
QFont* g_pGdipFont = &s_gdipFont;
