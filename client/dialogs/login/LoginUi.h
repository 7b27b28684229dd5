#pragma once
// Small pieces the login dialogs share: the message box as every
// one of them shows it, and the two fonts the login pages derive from the UI font.

#include <QFont>
#include <QImage>
#include <QString>

#include "platform/window/WinDefs.h"

class CYavPngButton;
class QWidget;

namespace login_ui {

// The program's message box, modal, with caption text 1, no countdown, topmost.
int ShowMessage(QWidget* parent, int textId, int type = 0);

// An image button of a caption band: its normal, pressed and hover pictures on the band's
// colour.
void SetUpBandButton(CYavPngButton& button, QImage* normal, QImage* pressed, QImage* hover,
                     COLORREF background);

// An image button with its caption drawn over the picture in one colour in every state.
void SetUpCaptionButton(CYavPngButton& button, QImage* normal, QImage* hover,
                        const QString& caption, COLORREF color);

// The login pages' caption fonts: A is the UI font three units larger at normal weight,
// B is A four units smaller (one below the UI font).
QFont CaptionFontA();
QFont CaptionFontB();

}  // namespace login_ui
