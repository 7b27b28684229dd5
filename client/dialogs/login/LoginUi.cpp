#include "LoginUi.h"

#include "ConfigManger.h"
#include "UiFonts.h"
#include "client/ui/CDlgPopMsg.h"
#include "client/ui/CYavPngButton.h"

namespace login_ui {

namespace {

constexpr int kTextCaption = 1;

// A font with its size moved away from zero by delta, at normal weight (the derived fonts
// lower the weight below any face's normal one).
QFont Derived(QFont font, int delta) {
    if (font.pixelSize() > 0) {
        font.setPixelSize(std::max(1, font.pixelSize() + delta));
    } else {
        font.setPointSizeF(std::max(1.0, font.pointSizeF() + delta * 0.75));
    }
    font.setWeight(QFont::Normal);
    return font;
}

}  // namespace

int ShowMessage(QWidget* parent, int textId, int type) {
    CDlgPopMsg box(LoadLangString(kTextCaption), LoadLangString(textId), 0, type, parent, 1);
    return box.DoModal();
}

void SetUpBandButton(CYavPngButton& button, QImage* normal, QImage* pressed, QImage* hover,
                     COLORREF background) {
    button.SetImages(normal, pressed, hover, nullptr, nullptr, nullptr, nullptr);
    button.SetBkColor(background);
}

void SetUpCaptionButton(CYavPngButton& button, QImage* normal, QImage* hover,
                        const QString& caption, COLORREF color) {
    button.SetImages(normal, hover, hover, nullptr, nullptr, nullptr, nullptr);
    button.SetWindowText(caption);
    button.SetShowText(1);
    button.SetTextColors(color, color, color, color);
}

QFont CaptionFontA() {
    return Derived(g_fontUI, 3);
}

QFont CaptionFontB() {
    return Derived(CaptionFontA(), -4);
}

}  // namespace login_ui
