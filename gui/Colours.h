// The colours of the forms: 0x00BBGGRR, or a system colour (high byte 0xFF,
// low byte Windows' COLOR_ index, which Graphics.cpp checks).
#pragma once

using TColor = unsigned int;
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBtnFace = 0xFF000000 | 15;       // COLOR_BTNFACE
constexpr TColor clWindowText = 0xFF000000 | 8;     // COLOR_WINDOWTEXT
constexpr TColor clBtnHighlight = 0xFF000000 | 20;  // COLOR_BTNHIGHLIGHT
constexpr TColor clBtnShadow = 0xFF000000 | 16;     // COLOR_BTNSHADOW

constexpr bool IsSystemColor(TColor color) { return (color & 0xFF000000) != 0; }
