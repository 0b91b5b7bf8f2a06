// Reads app/layout's control table into BoardControl rows: container chains summed
// into client coordinates, label looks turned into colour, font size and alignment.
#include "tests/skins/board_controls.h"

#include <cstddef>

#include "app/layout.h"

namespace {

// The fonts the board creates: the default GUI font, 12-pixel statement and bold
// link fonts, the 14-pixel note font.
constexpr int kGuiFontHeight = 12;
constexpr int kStatementFontHeight = 12;
constexpr int kNoteFontHeight = 14;

BoardControl Convert(const ControlRow& row, const std::vector<BoardControl>& done)
{
    BoardControl c{};
    c.container = row.container;
    int left = row.left, top = row.top;
    if (row.container != kInWindow) {
        const BoardControl& parent = done[static_cast<size_t>(row.container)];
        left += parent.left;
        top += parent.top;
        c.depth = parent.depth + 1;
    }
    c.left = left;
    c.top = top;
    c.right = left + row.width;
    c.bottom = top + row.height;
    c.caption = row.caption;
    c.fontHeight = kGuiFontHeight;
    c.align = BoardAlign::Centre;
    switch (row.kind) {
    case ControlKind::GroupBox: c.kind = BoardKind::Group; break;
    case ControlKind::Button: c.kind = BoardKind::Button; break;
    case ControlKind::Label:
        c.kind = BoardKind::Label;
        c.red = row.look.colour.red;
        c.green = row.look.colour.green;
        c.blue = row.look.colour.blue;
        c.fontHeight = row.look.font == LabelFont::Note ? kNoteFontHeight : kStatementFontHeight;
        c.bold = row.look.font == LabelFont::Link;
        c.wrap = row.look.wordWrap;
        c.align = row.look.horizontal == HorizontalAlign::Left ? BoardAlign::Left : BoardAlign::Centre;
        break;
    }
    return c;
}

}  // namespace

const std::vector<BoardControl>& BoardControls()
{
    static const std::vector<BoardControl> controls = [] {
        std::vector<BoardControl> out;
        for (const ControlRow& row : kControls)
            out.push_back(Convert(row, out));
        return out;
    }();
    return controls;
}

int BoardClientWidth() { return kLayoutWidth; }
int BoardClientHeight() { return kLayoutHeight; }
