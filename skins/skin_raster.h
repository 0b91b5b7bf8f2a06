// Pixel drawing for the skin: gradients, anti-aliased rounded rectangles, texture
// tiles, on a plain 0x00RRGGBB canvas. Portable, so shapes are testable natively.
#pragma once

#include <stdint.h>

#include "skins/skin_format.h"

struct Canvas {
    uint32_t* pixels;   // top-down rows of width pixels
    int width, height;
};

struct PixelRect {
    int left, top, right, bottom;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

uint32_t PackRgb(Rgb c);
Rgb UnpackRgb(uint32_t pixel);
Rgb MixRgb(Rgb a, Rgb b, uint32_t alpha);   // alpha 0..255 towards b

// Fills rect with a gradient from first to second colour (top to bottom or left to right),
// clipped to the rounded shape of radius, blended with alpha (255 opaque).
void FillRounded(Canvas& c, PixelRect r, int radius, Rgb first, Rgb second, uint32_t alpha,
                 bool horizontal = false);
// One-pixel outline of the rounded rectangle.
void StrokeRounded(Canvas& c, PixelRect r, int radius, Rgb color, uint32_t alpha);
// Repeats the tile over rect (tile origin at the canvas origin plus offset), blended with its alpha.
void BlendTile(Canvas& c, PixelRect r, const SkinTile& tile, int originX, int originY);
// Square-ended line, thickness pixels wide, from (x0,y0) to (x1,y1); used for glyphs.
void DrawLine(Canvas& c, int x0, int y0, int x1, int y1, int thickness, Rgb color);
