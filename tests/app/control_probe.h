// For the board's inspectable test build only: publishes each control's font
// (its LOGFONT, hex-coded in a global atom) and each label's text colour as
// window properties, because GDI handles mean nothing in another process and
// the window inspector checks both from outside. board.exe carries none of it.
#pragma once

#include <windows.h>

#include "app/layout.h"

constexpr char kFontProperty[] = "BoardFont";
// Text colour: COLORREF plus this marker bit, so black can be told from absent.
constexpr char kTextColourProperty[] = "BoardTextColour";
constexpr UINT_PTR kTextColourPresent = 0x01000000;

void PublishControl(HWND control, HFONT font, const ControlRow& row);
void WithdrawControl(HWND control);
