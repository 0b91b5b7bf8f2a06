// Paper under transparent labels. The labels draw only their text, in colours the
// program fixes, so the skin lays a sheet of its dark or light paper beneath each
// stack of labels, whichever contrasts more with their text. Portable.
#pragma once

#include <stdint.h>

#include "skins/label_colour.h"
#include "skins/skin_raster.h"

constexpr int kPaperPadding = 4;
constexpr int kMaxPaperLabels = 32;

struct PaperLabel {
    PixelRect rect;        // the label
    PixelRect room;        // where its container lets paper lie: inside the frame, below the caption
    uintptr_t container;   // labels of one container share one column of sheets
    Rgb text;
};

struct PaperSheet {
    PixelRect rect;
    int radius;
    Rgb paper;
};

// Whichever of the skin's two papers contrasts more with the text.
Rgb PaperFor(const Skin& s, Rgb text);

// One sheet per run of vertically stacked labels of one container that take the same
// paper; neighbouring runs meet halfway between their labels. Sheets keep clear of
// group boxes that do not hold their labels (groups: all group boxes). Writes at most
// labelCount sheets (labels beyond kMaxPaperLabels are ignored) and returns how many.
int PlanLabelPapers(const Skin& s, const PaperLabel* labels, int labelCount, const PixelRect* groups,
                    int groupCount, PaperSheet* sheets);
void PaintLabelPapers(Canvas& c, const PaperSheet* sheets, int count);
