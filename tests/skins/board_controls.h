// The real board's controls as the skin tests see them: kinds, client rectangles,
// captions, label colours and fonts from app/layout, without the layout's own types
// (its Rgb and the skin format's share a name).
#pragma once

#include <stdint.h>

#include <vector>

enum class BoardKind { Group, Button, Label };
enum class BoardAlign { Left, Centre };

struct BoardControl {
    BoardKind kind;
    int container;                  // index in BoardControls(), or -1 for the window
    int depth;                      // how many group boxes hold it
    int left, top, right, bottom;   // in the window's client area
    const char* caption;            // UTF-8
    uint8_t red, green, blue;       // labels' text colour
    int fontHeight;                 // pixels per em
    bool bold, wrap;
    BoardAlign align;
};

const std::vector<BoardControl>& BoardControls();
int BoardClientWidth();
int BoardClientHeight();
