// The control table's shape: counts, nesting, the sound entries and the
// extent of the layout; and where the main window goes.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "app/layout.h"
#include "app/window_geometry.h"

namespace {

int CountOf(ControlKind kind)
{
    int n = 0;
    for (const ControlRow& c : kControls)
        n += c.kind == kind;
    return n;
}

TEST(Layout, HoldsSixBoxesThirtySevenButtonsNineLabels)
{
    EXPECT_EQ(CountOf(ControlKind::GroupBox), 6);
    EXPECT_EQ(CountOf(ControlKind::Button), 37);
    EXPECT_EQ(CountOf(ControlKind::Label), 9);
}

TEST(Layout, EverySoundEntryHasExactlyTheButtonOfItsNumber)
{
    std::set<int> entries;
    for (const ControlRow& c : kControls) {
        if (c.action != ActionKind::PlaySfx)
            continue;
        EXPECT_EQ("按钮" + std::to_string(c.sfx), std::string(c.name));
        EXPECT_TRUE(entries.insert(c.sfx).second) << c.name;
        EXPECT_EQ(c.width, 80);
        EXPECT_EQ(c.height, 32);
    }
    EXPECT_EQ(entries.size(), 33u);
    EXPECT_EQ(*entries.begin(), 1);
    EXPECT_EQ(*entries.rbegin(), 33);
}

TEST(Layout, ContainersAreEarlierGroupBoxes)
{
    for (int i = 0; i < kControlCount; ++i) {
        const int container = kControls[i].container;
        if (container == kInWindow)
            continue;
        ASSERT_GE(container, 0);
        ASSERT_LT(container, i) << kControls[i].name;
        EXPECT_EQ(kControls[container].kind, ControlKind::GroupBox) << kControls[i].name;
    }
}

TEST(Layout, BoxSixLiesInBoxFive)
{
    for (const ControlRow& c : kControls) {
        if (!std::strcmp(c.name, "分组框6")) {
            EXPECT_STREQ(kControls[c.container].name, "分组框5");
        }
    }
}

TEST(Layout, EveryControlFitsItsContainerAndTheWindowIsFilledExactly)
{
    int right = 0, bottom = 0;
    for (const ControlRow& c : kControls) {
        const int width = c.container == kInWindow ? kLayoutWidth : kControls[c.container].width;
        const int height = c.container == kInWindow ? kLayoutHeight : kControls[c.container].height;
        EXPECT_GE(c.left, 0) << c.name;
        EXPECT_GE(c.top, 0) << c.name;
        EXPECT_LE(c.left + c.width, width) << c.name;
        EXPECT_LE(c.top + c.height, height) << c.name;
        if (c.container == kInWindow) {
            right = std::max(right, c.left + c.width);
            bottom = std::max(bottom, c.top + c.height);
        }
    }
    EXPECT_EQ(right, kLayoutWidth);
    EXPECT_EQ(bottom, kLayoutHeight);
}

TEST(Layout, StatementRowsAreSixteenApartButTheLastIsEighteen)
{
    std::vector<int> tops;
    for (const ControlRow& c : kControls)
        if (c.kind == ControlKind::Label && c.look.font == LabelFont::Statement)
            tops.push_back(c.top);
    ASSERT_EQ(tops.size(), 7u);
    for (size_t i = 1; i < tops.size(); ++i)
        EXPECT_EQ(tops[i] - tops[i - 1], i + 1 == tops.size() ? 18 : 16);
}

TEST(Layout, OnlyTheLinkLabelActsAndShowsTheHand)
{
    for (const ControlRow& c : kControls) {
        if (c.kind != ControlKind::Label)
            continue;
        const bool link = !std::strcmp(c.name, "透明标签9");
        EXPECT_EQ(c.look.handCursor, link) << c.name;
        EXPECT_EQ(c.action, link ? ActionKind::OpenSiteAddress : ActionKind::None) << c.name;
        EXPECT_EQ(c.look.wordWrap, !std::strcmp(c.name, "透明标签1")) << c.name;
    }
}

struct PlaceCase {
    int screenWidth, screenHeight, frameWidth, frameHeight;
    OuterRect expected;
};

TEST(WindowGeometry, KeepsTheOuterSizeUnlessTheFrameLeavesTooLittle)
{
    const PlaceCase cases[] = {
        {1024, 768, 6, 25, {229, 155, 566, 457}},  // the frame fits: outer size kept
        {1024, 768, 6, 31, {229, 155, 566, 457}},  // exactly fits
        {1024, 768, 8, 38, {228, 152, 568, 464}},  // thicker frame: grows just enough
        {1025, 769, 6, 25, {229, 156, 566, 457}},  // odd remainder truncated
        {500, 400, 6, 25, {-33, -28, 566, 457}},   // smaller screen: truncated toward zero
    };
    for (const PlaceCase& c : cases) {
        const OuterRect r =
            PlaceMainWindow(c.screenWidth, c.screenHeight, c.frameWidth, c.frameHeight, 560, 426);
        EXPECT_EQ(r.left, c.expected.left);
        EXPECT_EQ(r.top, c.expected.top);
        EXPECT_EQ(r.width, c.expected.width);
        EXPECT_EQ(r.height, c.expected.height);
    }
}

}  // namespace
