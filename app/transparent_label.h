// The transparent label: a window class of our own that paints no background
// and draws only its caption, in its own colour, font and alignment.
#pragma once

#include <windows.h>

#include "app/layout.h"

// The skin engine knows these labels by no name: it takes any window class of this
// program's module without a background brush for one (IsOwnTransparentClass in
// skins/engine/window_registry.cpp). Keep the class brushless, and give any other
// child window class of ours a brush, or the engine skins it as a label. Each
// label publishes its text colour (kLabelColourProperty in skins/label_colour.h)
// so that the engine can lay the paper that reads best beneath it.
constexpr char kTransparentLabelClass[] = "BoardTransparentLabel";

bool RegisterTransparentLabelClass(HINSTANCE instance);

// onPress runs when the left mouse button goes down on the label (nullptr: none).
// The font must outlive the label.
HWND CreateTransparentLabel(HWND parent, int id, const ControlRow& row, HFONT font,
                            void (*onPress)());
