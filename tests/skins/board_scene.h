// The real board's client area composed natively the way the skin engine composes
// it (backdrop, group frames outer boxes first, label papers), plus the skin loading
// and the text-size model the native skin checks share. Text itself is not drawn.
#pragma once

#include <string>
#include <vector>

#include "skins/skin_painter.h"
#include "tests/skins/board_controls.h"

// A skin file decoded; the tile points into payload, so the two travel together.
struct LoadedSkin {
    Skin skin{};
    std::vector<uint8_t> payload;
};
bool LoadSkinFile(const std::string& path, LoadedSkin& out);

// Cell sizes of the fonts a Chinese system gives the board: a double-byte character
// is one em wide, a single-byte one half; simulated bold widens each by a pixel, and
// a line is one em high.
int ModelTextWidth(const char* utf8, int em, bool bold);

PixelRect RectOf(const BoardControl& c);

struct BoardImage {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    Canvas CanvasOf() { return Canvas{pixels.data(), width, height}; }
    uint32_t At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

// The client area's backdrop; the caption rectangles of the group boxes are stored in
// captions (by control index, empty for other controls) when it is given.
BoardImage ComposeBoardClient(const Skin& s, std::vector<PixelRect>* captions = nullptr);
// The whole window as a user sees it: frame, title bar, caption buttons, the client
// area with every button normal but the two named ones (indices in BoardControls()).
constexpr int kBoardOuterWidth = 566, kBoardOuterHeight = 457;
constexpr int kBoardBorder = 3, kBoardCaption = 25;
BoardImage ComposeBoardWindow(const Skin& s, size_t hotButton, size_t pressedButton);
// One push button in state v over its piece of the backdrop, as an image of its own size.
BoardImage PaintBoardButton(const BoardImage& client, const Skin& s, const BoardControl& button, ButtonVisual v);
