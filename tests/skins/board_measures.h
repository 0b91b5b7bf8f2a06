// What the native skin checks measure on a composed board: contrast as the web's
// accessibility guidelines count it (floating point, independent of the engine's
// integer version), CIE 1976 colour difference, and where a caption's text lies.
#pragma once

#include <string>

#include "tests/skins/board_scene.h"

double Contrast(Rgb a, Rgb b);
// CIE76 Delta E between two sRGB colours (D65): about 2.3 is just noticeable.
double ColourDifference(Rgb a, Rgb b);

// Lowest contrast between text and any pixel of area.
double LowestContrast(const BoardImage& image, PixelRect area, Rgb text);
// Mean colour difference of two images over area.
double MeanDifference(const BoardImage& a, const BoardImage& b, PixelRect area);

// An image seen at a glance: the mean colour of each square block of kBlockSide pixels.
constexpr int kBlockSide = 4;
struct BlockColours {
    std::vector<Rgb> means;
};
BlockColours BlockMeans(const BoardImage& image);
// Mean colour difference of two block images of one size.
double MeanBlockDifference(const BlockColours& a, const BlockColours& b);

// The widths of the lines a caption takes in a box this wide, breaking between any two
// characters as the platform does for Chinese text.
std::vector<int> ModelLines(const char* utf8, int em, bool bold, int width);
// The same lines' texts.
std::vector<std::string> ModelLineTexts(const char* utf8, int em, bool bold, int width);
// Where a push button's caption lies: centred both ways in the button less its padding.
PixelRect ButtonTextArea(const BoardControl& button);
