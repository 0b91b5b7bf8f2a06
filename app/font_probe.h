// Publishes each control's font (its LOGFONT, hex-coded in a global atom) as a
// window property, because a font handle means nothing in another process
// and window inspectors must check the fonts from outside.
#pragma once

#include <windows.h>

constexpr char kFontProperty[] = "BoardFont";

void PublishFont(HWND control, HFONT font);
void WithdrawFont(HWND control);
