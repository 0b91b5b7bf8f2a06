// The transparent label: a window class of our own that paints no background
// and draws only its caption, in its own colour, font and alignment.
#pragma once

#include <windows.h>

#include "app/layout.h"

constexpr char kTransparentLabelClass[] = "BoardTransparentLabel";

bool RegisterTransparentLabelClass(HINSTANCE instance);

// onPress runs when the left mouse button goes down on the label (nullptr: none).
// The font must outlive the label.
HWND CreateTransparentLabel(HWND parent, int id, const ControlRow& row, HFONT font,
                            void (*onPress)());
