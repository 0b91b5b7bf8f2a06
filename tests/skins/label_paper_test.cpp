// The engine's integer contrast against the guideline's figures, and the planning of
// label papers: which paper a text gets, how stacked labels share sheets, and how the
// sheets keep to their room and clear of neighbouring group boxes.
#include <gtest/gtest.h>

#include <vector>

#include "skins/contrast.h"
#include "skins/label_paper.h"

namespace {

struct ContrastCase {
    Rgb a, b;
    uint32_t hundredths;   // the guideline's ratio, truncated to hundredths
};

TEST(Contrast, MatchesTheGuidelineFigures)
{
    const ContrastCase cases[] = {
        {{0, 0, 0}, {255, 255, 255}, 2100},
        {{255, 255, 255}, {0, 0, 0}, 2100},
        {{255, 0, 0}, {255, 255, 255}, 399},     // 3.998: pure red fails on white
        {{255, 0, 0}, {0, 0, 0}, 525},
        {{192, 96, 0}, {0, 0, 0}, 491},
        {{144, 0, 255}, {255, 255, 255}, 578},
        {{0, 224, 128}, {255, 255, 255}, 175},
        {{118, 118, 118}, {255, 255, 255}, 454},  // the lightest grey that passes on white
        {{119, 119, 119}, {255, 255, 255}, 447},
        {{40, 40, 40}, {40, 40, 40}, 100},
    };
    for (const ContrastCase& c : cases)
        EXPECT_EQ(ContrastHundredths(c.a, c.b), c.hundredths)
            << int(c.a.r) << "," << int(c.a.g) << "," << int(c.a.b) << " on " << int(c.b.r) << "," << int(c.b.g)
            << "," << int(c.b.b);
}

TEST(Contrast, LuminanceRunsFromZeroToTheScale)
{
    EXPECT_EQ(RelativeLuminance(Rgb{0, 0, 0}), 0u);
    EXPECT_EQ(RelativeLuminance(Rgb{255, 255, 255}), kLuminanceScale);
    // Green weighs most, blue least.
    EXPECT_GT(RelativeLuminance(Rgb{0, 255, 0}), RelativeLuminance(Rgb{255, 0, 0}));
    EXPECT_GT(RelativeLuminance(Rgb{255, 0, 0}), RelativeLuminance(Rgb{0, 0, 255}));
}

Skin PaperSkin()
{
    Skin s{};
    s.paperDark = Rgb{10, 12, 30};
    s.paperLight = Rgb{230, 236, 250};
    s.groupRadius = 8;
    return s;
}

struct PaperCase {
    Rgb text;
    bool dark;
};

TEST(LabelPaper, EachTextGetsThePaperItContrastsMoreWith)
{
    const Skin s = PaperSkin();
    const PaperCase cases[] = {
        {{255, 0, 0}, true},    {{255, 0, 255}, true},  {{255, 128, 0}, true}, {{0, 224, 128}, true},
        {{192, 96, 0}, true},   {{144, 0, 255}, false}, {{0, 0, 0}, false},    {{255, 255, 255}, true},
    };
    for (const PaperCase& c : cases) {
        const Rgb paper = PaperFor(s, c.text);
        EXPECT_EQ(paper.b, c.dark ? s.paperDark.b : s.paperLight.b) << int(c.text.r) << "," << int(c.text.g);
    }
}

constexpr Rgb kRed{255, 0, 0}, kBlack{0, 0, 0};
constexpr PixelRect kRoom{0, 12, 264, 128};

PaperLabel Label(int top, int width, Rgb text, uintptr_t container = 1)
{
    return PaperLabel{PixelRect{35, top, 35 + width, top + 16}, kRoom, container, text};
}

bool Inside(const PixelRect& inner, const PixelRect& outer)
{
    return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
           inner.bottom <= outer.bottom;
}

TEST(LabelPaper, StackedLabelsOfOnePaperShareOneSheet)
{
    const Skin s = PaperSkin();
    const PaperLabel labels[] = {Label(30, 208, kRed), Label(14, 192, kRed), Label(46, 120, kRed)};
    PaperSheet sheets[3];
    ASSERT_EQ(PlanLabelPapers(s, labels, 3, nullptr, 0, sheets), 1);
    // The column spans the widest label plus padding; the top stops at the room.
    EXPECT_EQ(sheets[0].rect.left, 35 - kPaperPadding);
    EXPECT_EQ(sheets[0].rect.right, 35 + 208 + kPaperPadding);
    EXPECT_EQ(sheets[0].rect.top, 12);
    EXPECT_EQ(sheets[0].rect.bottom, 62 + kPaperPadding);
    EXPECT_EQ(sheets[0].paper.b, s.paperDark.b);
    for (const PaperLabel& l : labels)
        EXPECT_TRUE(Inside(l.rect, sheets[0].rect));
}

TEST(LabelPaper, RunsOfDifferentPaperMeetHalfwayWithoutOverlap)
{
    const Skin s = PaperSkin();
    const PaperLabel labels[] = {Label(14, 192, kRed), Label(30, 192, kRed), Label(46, 154, kBlack),
                                 Label(66, 154, kRed)};
    PaperSheet sheets[4];
    ASSERT_EQ(PlanLabelPapers(s, labels, 4, nullptr, 0, sheets), 3);
    EXPECT_EQ(sheets[0].rect.bottom, 46);        // the labels touch: the boundary is their edge
    EXPECT_EQ(sheets[1].rect.top, 46);
    EXPECT_EQ(sheets[1].rect.bottom, (62 + 66) / 2);
    EXPECT_EQ(sheets[2].rect.top, (62 + 66) / 2);
    EXPECT_EQ(sheets[1].paper.b, s.paperLight.b);
    // Every label lies wholly on a sheet of its own paper.
    for (const PaperLabel& l : labels) {
        bool covered = false;
        for (const PaperSheet& sheet : sheets)
            covered = covered || (Inside(l.rect, sheet.rect) && sheet.paper.b == PaperFor(s, l.text).b);
        EXPECT_TRUE(covered) << l.rect.top;
    }
}

TEST(LabelPaper, CornersNeverReachIntoTheLabels)
{
    Skin s = PaperSkin();
    s.groupRadius = 16;
    const PaperLabel labels[] = {Label(14, 192, kRed), Label(30, 192, kBlack)};
    PaperSheet sheets[2];
    ASSERT_EQ(PlanLabelPapers(s, labels, 2, nullptr, 0, sheets), 2);
    for (const PaperSheet& sheet : sheets)
        EXPECT_LE(sheet.radius, kPaperPadding);
}

TEST(LabelPaper, SheetsKeepClearOfOtherGroupsAndSeparateContainers)
{
    const Skin s = PaperSkin();
    const PixelRect wide{0, 0, 560, 426};
    // A link line just below two group boxes and just above a third.
    const PaperLabel labels[] = {PaperLabel{PixelRect{69, 353, 493, 369}, wide, 0, kBlack},
                                 Label(14, 192, kRed, 7)};
    const PixelRect groups[] = {{8, 240, 280, 352}, {282, 0, 554, 352}, {0, 378, 560, 426}, {0, 0, 300, 200}};
    PaperSheet sheets[2];
    ASSERT_EQ(PlanLabelPapers(s, labels, 2, groups, 4, sheets), 2);
    const PaperSheet& link = sheets[0].rect.top > 300 ? sheets[0] : sheets[1];
    EXPECT_EQ(link.rect.top, 352);
    EXPECT_EQ(link.rect.bottom, 369 + kPaperPadding);
    EXPECT_EQ(link.rect.left, 69 - kPaperPadding);
    // The box that holds the other label does not push its sheet.
    const PaperSheet& held = sheets[0].rect.top > 300 ? sheets[1] : sheets[0];
    EXPECT_EQ(held.rect.top, 12);
}

TEST(LabelPaper, PaintingFillsTheSheetWithItsPaper)
{
    std::vector<uint32_t> pixels(40 * 20, 0x123456);
    Canvas canvas{pixels.data(), 40, 20};
    const PaperSheet sheet{PixelRect{5, 5, 35, 15}, 2, Rgb{1, 2, 3}};
    PaintLabelPapers(canvas, &sheet, 1);
    EXPECT_EQ(pixels[10 * 40 + 20], 0x010203u);
    EXPECT_EQ(pixels[2 * 40 + 20], 0x123456u);
    EXPECT_NE(pixels[5 * 40 + 5], 0x010203u);   // the rounded corner is only partly covered
}

}  // namespace
