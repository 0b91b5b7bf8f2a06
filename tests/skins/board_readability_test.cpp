// All 33 committed skins on the real board's layout, composed natively the way the
// engine composes them: every label and caption reads at 4.5:1 against what lies
// behind it, hot and pressed buttons stand out, captions fit, and no two skins look
// alike.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "tests/skins/board_measures.h"

namespace {

constexpr int kSkinCount = 33;
constexpr double kReadable = 4.5;   // the guidelines' minimum for body text
// A state change must be seen at a glance, not found by comparing: mean Delta E of
// the button between states at least this (about 2.5 times the just-noticeable 2.3).
constexpr double kVisibleStateChange = 6.0;
// Two skins must differ over the whole window, seen in 4-pixel blocks, by at least 1.5
// times the just-noticeable Delta E.
constexpr double kDistinctSkins = 3.5;
constexpr int kButtonTextPadding = 3;

struct SkinUnderTest {
    std::string label;
    LoadedSkin loaded;
    BoardImage client;
    std::vector<PixelRect> captions;
};

const std::vector<SkinUnderTest>& Skins()
{
    static const std::vector<SkinUnderTest> skins = [] {
        std::vector<SkinUnderTest> out(kSkinCount);
        for (int n = 1; n <= kSkinCount; ++n) {
            SkinUnderTest& t = out[size_t(n - 1)];
            char path[64];
            std::snprintf(path, sizeof path, "/skin%02d.she", n);
            EXPECT_TRUE(LoadSkinFile(std::string(SKIN_ASSET_DIR) + path, t.loaded)) << path;
            t.label = std::string(path + 1) + " " + t.loaded.skin.name;
            t.client = ComposeBoardClient(t.loaded.skin, &t.captions);
        }
        return out;
    }();
    return skins;
}

Rgb TextOf(const BoardControl& c) { return Rgb{c.red, c.green, c.blue}; }

PixelRect Local(PixelRect r, const BoardControl& c)
{
    return PixelRect{r.left - c.left, r.top - c.top, r.right - c.left, r.bottom - c.top};
}

TEST(BoardSkins, EveryLabelReadsAgainstWhatLiesBehindIt)
{
    for (const SkinUnderTest& t : Skins()) {
        for (const BoardControl& c : BoardControls()) {
            if (c.kind != BoardKind::Label)
                continue;
            EXPECT_GE(LowestContrast(t.client, RectOf(c), TextOf(c)), kReadable) << t.label << ": " << c.caption;
        }
    }
}

TEST(BoardSkins, EveryGroupCaptionReads)
{
    for (const SkinUnderTest& t : Skins()) {
        const std::vector<BoardControl>& controls = BoardControls();
        for (size_t i = 0; i < controls.size(); ++i) {
            if (controls[i].kind != BoardKind::Group)
                continue;
            EXPECT_GE(LowestContrast(t.client, t.captions[i], t.loaded.skin.colors[kGroupText]), kReadable)
                << t.label << ": " << controls[i].caption;
        }
    }
}

struct ButtonStates {
    ButtonVisual normal, hot, pressed;
    ButtonStates()
    {
        hot.hot = true;
        pressed.hot = pressed.pressed = true;   // a press happens under the pointer
    }
};

TEST(BoardSkins, ButtonCaptionsReadInEveryState)
{
    const ButtonStates states;
    for (const SkinUnderTest& t : Skins())
        for (const BoardControl& c : BoardControls()) {
            if (c.kind != BoardKind::Button)
                continue;
            const PixelRect text = Local(ButtonTextArea(c), c);
            for (const ButtonVisual& v : {states.normal, states.hot, states.pressed}) {
                const BoardImage face = PaintBoardButton(t.client, t.loaded.skin, c, v);
                EXPECT_GE(LowestContrast(face, text, ButtonTextColor(t.loaded.skin, v)), kReadable)
                    << t.label << ": " << c.caption << (v.pressed ? " pressed" : v.hot ? " hot" : "");
            }
        }
}

TEST(BoardSkins, HotAndPressedButtonsStandOut)
{
    const ButtonStates states;
    for (const SkinUnderTest& t : Skins())
        for (const BoardControl& c : BoardControls()) {
            if (c.kind != BoardKind::Button)
                continue;
            const BoardImage normal = PaintBoardButton(t.client, t.loaded.skin, c, states.normal);
            const BoardImage hot = PaintBoardButton(t.client, t.loaded.skin, c, states.hot);
            const BoardImage pressed = PaintBoardButton(t.client, t.loaded.skin, c, states.pressed);
            const PixelRect all{0, 0, normal.width, normal.height};
            EXPECT_GE(MeanDifference(normal, hot, all), kVisibleStateChange) << t.label << ": hot " << c.caption;
            EXPECT_GE(MeanDifference(hot, pressed, all), kVisibleStateChange) << t.label << ": pressed " << c.caption;
            EXPECT_GE(MeanDifference(normal, pressed, all), kVisibleStateChange) << t.label << ": pressed " << c.caption;
        }
}

TEST(BoardSkins, CaptionsFitTheirControls)
{
    const std::vector<BoardControl>& controls = BoardControls();
    for (size_t i = 0; i < controls.size(); ++i) {
        const BoardControl& c = controls[i];
        const int width = c.right - c.left, height = c.bottom - c.top;
        SCOPED_TRACE(c.caption);
        switch (c.kind) {
        case BoardKind::Button: {
            const std::vector<int> lines = ModelLines(c.caption, c.fontHeight, c.bold, width - 2 * kButtonTextPadding);
            EXPECT_LE(*std::max_element(lines.begin(), lines.end()), width - 2 * kButtonTextPadding);
            EXPECT_LE(int(lines.size()) * c.fontHeight, height);
            break;
        }
        case BoardKind::Label: {
            const std::vector<int> lines = ModelLines(c.caption, c.fontHeight, c.bold, width);
            EXPECT_TRUE(c.wrap || lines.size() == 1u);
            EXPECT_LE(int(lines.size()) * c.fontHeight, height);
            break;
        }
        case BoardKind::Group:
            // In every skin the caption cell lies inside the box and is as wide as the text.
            for (const SkinUnderTest& t : Skins()) {
                const PixelRect caption = t.captions[i];
                EXPECT_GE(caption.left, c.left) << t.label;
                EXPECT_LE(caption.right, c.right) << t.label;
                EXPECT_GE(caption.top, c.top) << t.label;
                EXPECT_EQ(caption.Width(), ModelTextWidth(c.caption, c.fontHeight, c.bold)) << t.label;
            }
            break;
        }
    }
}

TEST(BoardSkins, NoTwoSkinsLookAlike)
{
    constexpr size_t kNoButton = ~size_t(0);
    std::vector<BlockColours> boards;
    for (const SkinUnderTest& t : Skins())
        boards.push_back(BlockMeans(ComposeBoardWindow(t.loaded.skin, kNoButton, kNoButton)));
    for (size_t i = 0; i < boards.size(); ++i)
        for (size_t j = 0; j < i; ++j)
            EXPECT_GE(MeanBlockDifference(boards[i], boards[j]), kDistinctSkins)
                << Skins()[i].label << " and " << Skins()[j].label;
}

}  // namespace
