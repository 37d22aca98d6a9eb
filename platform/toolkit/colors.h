// Colours in the toolkit's layout: red in the low byte, green in the second, blue in the third.
// Values with the top bit set name a system colour (its index in the low byte).
#pragma once

#include <cstdint>

#include "gdi/gdi.h"

namespace zorbalin {

using TColor = std::int32_t;

constexpr TColor kClSystemColor = static_cast<TColor>(0x80000000u);

constexpr TColor kClBlack = 0x000000;
constexpr TColor kClMaroon = 0x000080;
constexpr TColor kClGreen = 0x008000;
constexpr TColor kClOlive = 0x008080;
constexpr TColor kClNavy = 0x800000;
constexpr TColor kClPurple = 0x800080;
constexpr TColor kClTeal = 0x808000;
constexpr TColor kClGray = 0x808080;
constexpr TColor kClSilver = 0xC0C0C0;
constexpr TColor kClRed = 0x0000FF;
constexpr TColor kClLime = 0x00FF00;
constexpr TColor kClYellow = 0x00FFFF;
constexpr TColor kClBlue = 0xFF0000;
constexpr TColor kClFuchsia = 0xFF00FF;
constexpr TColor kClAqua = 0xFFFF00;
constexpr TColor kClWhite = 0xFFFFFF;
constexpr TColor kClNone = 0x1FFFFFFF;
constexpr TColor kClDefault = 0x20000000;

constexpr TColor kClScrollBar = kClSystemColor | COLOR_SCROLLBAR;
constexpr TColor kClBackground = kClSystemColor | COLOR_BACKGROUND;
constexpr TColor kClActiveCaption = kClSystemColor | COLOR_ACTIVECAPTION;
constexpr TColor kClInactiveCaption = kClSystemColor | COLOR_INACTIVECAPTION;
constexpr TColor kClMenu = kClSystemColor | COLOR_MENU;
constexpr TColor kClWindow = kClSystemColor | COLOR_WINDOW;
constexpr TColor kClWindowFrame = kClSystemColor | COLOR_WINDOWFRAME;
constexpr TColor kClMenuText = kClSystemColor | COLOR_MENUTEXT;
constexpr TColor kClWindowText = kClSystemColor | COLOR_WINDOWTEXT;
constexpr TColor kClCaptionText = kClSystemColor | COLOR_CAPTIONTEXT;
constexpr TColor kClHighlight = kClSystemColor | COLOR_HIGHLIGHT;
constexpr TColor kClHighlightText = kClSystemColor | COLOR_HIGHLIGHTTEXT;
constexpr TColor kClBtnFace = kClSystemColor | COLOR_BTNFACE;
constexpr TColor kClBtnShadow = kClSystemColor | COLOR_BTNSHADOW;
constexpr TColor kClGrayText = kClSystemColor | COLOR_GRAYTEXT;
constexpr TColor kClBtnText = kClSystemColor | COLOR_BTNTEXT;
constexpr TColor kClBtnHighlight = kClSystemColor | COLOR_BTNHIGHLIGHT;
constexpr TColor kCl3DDkShadow = kClSystemColor | COLOR_3DDKSHADOW;
constexpr TColor kCl3DLight = kClSystemColor | COLOR_3DLIGHT;
constexpr TColor kClInfoText = kClSystemColor | COLOR_INFOTEXT;
constexpr TColor kClInfoBk = kClSystemColor | COLOR_INFOBK;

// The RGB value of a colour: system colours through GetSysColor, others as they are (clNone
// and clDefault give black).
inline COLORREF ColorToRGB(TColor Color) {
    if (Color < 0)
        return GetSysColor(Color & 0xFF);
    if (Color == kClNone || Color == kClDefault)
        return 0;
    return static_cast<COLORREF>(Color) & 0xFFFFFFu;
}

} // namespace zorbalin
