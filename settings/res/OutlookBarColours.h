// The settings program's bar colours, written by tools/art/make_settings_art.py with the bar's icons,
// whose edges are blended toward Background: change them there, not here.
#pragma once

#include <windows.h>

namespace outlook_colours {

inline constexpr COLORREF kBackground = RGB(47, 53, 64);
inline constexpr COLORREF kHeader = RGB(46, 118, 212);
inline constexpr COLORREF kHeaderText = RGB(255, 255, 255);
inline constexpr COLORREF kText = RGB(232, 236, 241);
inline constexpr COLORREF kHover = RGB(64, 72, 85);
inline constexpr COLORREF kSelected = RGB(66, 150, 236);
inline constexpr COLORREF kSelectedText = RGB(255, 255, 255);

}  // namespace outlook_colours
