#pragma once
// The program's UI fonts. Start-up sets them for the display scale; until then they hold
// sensible defaults (a CJK-capable sans-serif face at 12 pixels).

#include <QFont>

// The UI font: controls derive their own fonts from it, dialogs apply it to labels and edits.
extern QFont g_fontUI;
// The second UI font (the statistics window, the screen board).
extern QFont g_fontUI2;
// The shared painting font of owner-drawn items and GDI+-style buttons.
extern QFont* g_pGdipFont;
