// For the board's inspectable test build only: publishes each control's font
// (its LOGFONT, hex-coded in a global atom) as a window property, because GDI
// handles mean nothing in another process and the window inspector checks
// fonts from outside. board.exe carries none of it. (Label colours need no
// probe: every label publishes its own for the skin engine.)
#pragma once

#include <windows.h>


constexpr char kFontProperty[] = "BoardFont";

void PublishControl(HWND control, HFONT font);
void WithdrawControl(HWND control);
