// Planning and painting of the label papers: sort by container and height, cut into
// runs of one paper, pad each run's column within its room and around other groups.
#include "skins/label_paper.h"

#include "skins/contrast.h"

namespace {

constexpr uint32_t kOpaque = 255;

int Min(int a, int b) { return a < b ? a : b; }
int Max(int a, int b) { return a > b ? a : b; }

bool SameRgb(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

bool Overlaps(const PixelRect& a, const PixelRect& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Padding reaches out to pad, but stops at the room's edge; the labels themselves stay covered.
int PadOut(int edge, int limit, int pad, int direction)
{
    const int padded = edge + direction * pad;
    const int held = direction < 0 ? Max(padded, limit) : Min(padded, limit);
    return direction < 0 ? Min(held, edge) : Max(held, edge);
}

// A group box beside the labels pushes the sheet's padding back; one holding them does not.
void KeepClear(PixelRect& sheet, const PixelRect& labels, const PixelRect& group)
{
    if (!Overlaps(sheet, group))
        return;
    if (group.bottom <= labels.top)
        sheet.top = Max(sheet.top, group.bottom);
    else if (group.top >= labels.bottom)
        sheet.bottom = Min(sheet.bottom, group.top);
    else if (group.right <= labels.left)
        sheet.left = Max(sheet.left, group.right);
    else if (group.left >= labels.right)
        sheet.right = Min(sheet.right, group.left);
}

bool Before(const PaperLabel& a, const PaperLabel& b)
{
    return a.container != b.container ? a.container < b.container : a.rect.top < b.rect.top;
}

}  // namespace

Rgb PaperFor(const Skin& s, Rgb text)
{
    return ContrastHundredths(text, s.paperDark) >= ContrastHundredths(text, s.paperLight) ? s.paperDark
                                                                                           : s.paperLight;
}

int PlanLabelPapers(const Skin& s, const PaperLabel* labels, int labelCount, const PixelRect* groups,
                    int groupCount, PaperSheet* sheets)
{
    const int count = Min(labelCount, kMaxPaperLabels);
    int order[kMaxPaperLabels];
    for (int i = 0; i < count; ++i) {
        int j = i;
        for (; j > 0 && Before(labels[i], labels[order[j - 1]]); --j)
            order[j] = order[j - 1];
        order[j] = i;
    }

    int sheetCount = 0;
    for (int first = 0; first < count;) {
        const PaperLabel& head = labels[order[first]];
        int end = first;
        int left = head.rect.left, right = head.rect.right;
        while (end < count && labels[order[end]].container == head.container) {
            left = Min(left, labels[order[end]].rect.left);
            right = Max(right, labels[order[end]].rect.right);
            ++end;
        }
        const PixelRect& room = head.room;
        const int columnLeft = PadOut(left, room.left, kPaperPadding, -1);
        const int columnRight = PadOut(right, room.right, kPaperPadding, 1);
        int runTop = PadOut(head.rect.top, room.top, kPaperPadding, -1);
        for (int i = first; i < end;) {
            const Rgb paper = PaperFor(s, labels[order[i]].text);
            const int runLabelTop = labels[order[i]].rect.top;
            int bottom = labels[order[i]].rect.bottom;
            int next = i + 1;
            while (next < end && SameRgb(PaperFor(s, labels[order[next]].text), paper)) {
                bottom = Max(bottom, labels[order[next]].rect.bottom);
                ++next;
            }
            // Stacked runs meet halfway between their labels; the last one pads out.
            const int runBottom = next < end ? Max(bottom, (bottom + labels[order[next]].rect.top) / 2)
                                             : PadOut(bottom, room.bottom, kPaperPadding, 1);
            PixelRect sheet{columnLeft, runTop, columnRight, runBottom};
            const PixelRect covered{left, runLabelTop, right, bottom};
            for (int g = 0; g < groupCount; ++g)
                KeepClear(sheet, covered, groups[g]);
            // A corner stays off the labels if it fits in either the side or the end margin.
            const int sides = Min(left - sheet.left, sheet.right - right);
            const int ends = Min(runLabelTop - sheet.top, sheet.bottom - bottom);
            sheets[sheetCount++] = PaperSheet{sheet, Max(0, Min(s.groupRadius, Max(sides, ends))), paper};
            runTop = runBottom;
            i = next;
        }
        first = end;
    }
    return sheetCount;
}

void PaintLabelPapers(Canvas& c, const PaperSheet* sheets, int count)
{
    for (int i = 0; i < count; ++i)
        FillRounded(c, sheets[i].rect, sheets[i].radius, sheets[i].paper, sheets[i].paper, kOpaque);
}
