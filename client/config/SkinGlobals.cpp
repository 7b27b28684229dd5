#include "SkinGlobals.h"

// Black until the skin colours are loaded, as a skin without the section would give.
COLORREF g_clrSkinList = 0;
COLORREF g_clrSkinListBk = 0;
COLORREF g_clrSkinAudio = 0;
COLORREF g_clrSkinBack = 0;
COLORREF g_clrSkinLine = 0;
COLORREF g_clrSkinPlayBack = 0;
COLORREF g_clrSkinComDlgLine = 0;
SkinMetrics g_SkinMetrics;
COLORREF g_clrCaption = yav::MakeColorRef(51, 133, 237);
int g_nCaptionHeight = 31;
