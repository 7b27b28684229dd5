#pragma once
// The skin's colours and UI metrics that every skinned window paints with. All of them are set
// by CConfigManger::LoadSkinColors (start-up, after the skin module is loaded) and only read
// afterwards, on the UI thread.

#include <QColor>

#include <array>
#include <cstdint>

// A colour as the skin INI files and the painting code store it: R | G << 8 | B << 16.
using COLORREF = std::uint32_t;
// An alpha colour as 0xAARRGGBB.
using ARGB = std::uint32_t;

namespace yav {

constexpr COLORREF MakeColorRef(int red, int green, int blue) {
    return static_cast<COLORREF>(red & 0xFF) | (static_cast<COLORREF>(green & 0xFF) << 8) |
           (static_cast<COLORREF>(blue & 0xFF) << 16);
}
constexpr int RedOf(COLORREF color) {
    return static_cast<int>(color & 0xFF);
}
constexpr int GreenOf(COLORREF color) {
    return static_cast<int>((color >> 8) & 0xFF);
}
constexpr int BlueOf(COLORREF color) {
    return static_cast<int>((color >> 16) & 0xFF);
}

inline QColor ColorFromRef(COLORREF color) {
    return QColor(RedOf(color), GreenOf(color), BlueOf(color));
}
inline QColor ColorFromArgb(ARGB argb) {
    return QColor::fromRgba(argb);
}

}  // namespace yav

// The seven skin colours, in the order the skin knows them, read from the skin INI sections
// "<name>_<skin index>" (keys R, G, B; black when the section is missing).
extern COLORREF g_clrSkinList;        // "ListCol_%d": fill of lists and trees
extern COLORREF g_clrSkinListBk;      // "ListBKCol_%d": background of list rows
extern COLORREF g_clrSkinAudio;       // "AudioCol_%d": audio level bars
extern COLORREF g_clrSkinBack;        // "BackCol_%d": the skin background of windows
extern COLORREF g_clrSkinLine;        // "LineCol_%d": lines, edit frames, page-tab strip
extern COLORREF g_clrSkinPlayBack;    // "PlayBackCol_%d": play-back and bulletin strip fill
extern COLORREF g_clrSkinComDlgLine;  // "ComDlgLine_%d": border lines of the common dialogs

// Index names of the metrics block's nine default colours, in their fixed order.
enum SkinDefaultColor {
    kSkinColorFrame = 0,     // RGB(83, 101, 165)
    kSkinColorWhite = 1,     // RGB(255, 255, 255)
    kSkinColorDark = 2,      // RGB(27, 29, 41)
    kSkinColorFrameAlt = 3,  // RGB(83, 101, 165)
    kSkinColorDarkAlt = 4,   // RGB(27, 29, 41)
    kSkinColorCaption = 5,   // RGB(51, 133, 237)
    kSkinColorLight = 6,     // RGB(221, 221, 221)
    kSkinColorText = 7,      // RGB(51, 51, 51)
    kSkinColorGreen = 8,     // RGB(62, 162, 64)
    kSkinDefaultColorCount = 9
};

// Index names of the metrics block's five sizes (design pixels times the scale, truncated).
enum SkinSize {
    kSkinSizeToolbarHeight = 0,   // 36
    kSkinSizeCaptionHeight = 1,   // 31
    kSkinSizeRowHeight = 2,       // 30
    kSkinSizeToolbarHeight2 = 3,  // 36
    kSkinSizeRowHeight2 = 4,      // 30
    kSkinSizeCount = 5
};

struct SkinMetrics {
    double fExchangePW = 1.0;  // the scale factor at the time the colours were loaded
    std::array<COLORREF, kSkinDefaultColorCount> clrDefault{};
    std::array<int, kSkinSizeCount> nSize{};
};
extern SkinMetrics g_SkinMetrics;

// Caption band colour RGB(51, 133, 237) and height (31 design pixels, scaled, truncated).
extern COLORREF g_clrCaption;
extern int g_nCaptionHeight;
// Constant GDI+-style colours: opaque white and the dialog border (255, 96, 138, 206).
inline constexpr ARGB g_argbWhite = 0xFFFFFFFFu;
inline constexpr ARGB g_argbBorder = 0xFF608ACEu;
