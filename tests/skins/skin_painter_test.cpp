// Drawing of the skin elements on a canvas: title bar layout and hit-testing, the
// button states, rounded corners and the caption gap of group frames.
#include <gtest/gtest.h>

#include <vector>

#include "skins/skin_painter.h"

namespace {

Skin TestSkin()
{
    Skin s{};
    for (int i = 0; i < kSkinColorCount; ++i)
        s.colors[i] = Rgb{uint8_t(i * 8), uint8_t(255 - i * 8), uint8_t(i * 3)};
    s.colors[kClientTop] = s.colors[kClientBottom] = Rgb{200, 210, 220};
    s.colors[kButtonTop] = s.colors[kButtonBottom] = Rgb{10, 20, 30};
    s.colors[kHoverTop] = s.colors[kHoverBottom] = Rgb{40, 50, 60};
    s.colors[kPressedTop] = s.colors[kPressedBottom] = Rgb{70, 80, 90};
    s.buttonStyle = ButtonStyle::Flat;
    s.buttonRadius = 6;
    s.groupStyle = GroupStyle::Line;
    return s;
}

struct Image {
    std::vector<uint32_t> pixels;
    Canvas canvas;
    Image(int w, int h, uint32_t fill) : pixels(size_t(w) * h, fill), canvas{pixels.data(), w, h} {}
    uint32_t At(int x, int y) const { return pixels[size_t(y) * canvas.width + x]; }
};

TEST(FrameLayout, HitTestMatchesTheDrawnButtons)
{
    // A 566 x 457 window with a 3-pixel border and a 19-pixel caption.
    const FrameLayout l = LayoutFrame(566, 457, PixelRect{3, 22, 563, 454}, true, true);
    struct Case {
        int x, y;
        FrameHit hit;
    };
    const Case cases[] = {
        {(l.close.left + l.close.right) / 2, (l.close.top + l.close.bottom) / 2, FrameHit::Close},
        {(l.minimize.left + l.minimize.right) / 2, (l.minimize.top + l.minimize.bottom) / 2, FrameHit::Minimize},
        {100, 10, FrameHit::Caption},
        {300, 300, FrameHit::Client},
        {1, 200, FrameHit::Border},
        {564, 455, FrameHit::Border},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HitTestFrame(l, c.x, c.y), c.hit) << c.x << "," << c.y;
    EXPECT_LE(l.close.right, 563);
    EXPECT_LT(l.minimize.right, l.close.left);
    EXPECT_GE(l.close.top, 3);
    EXPECT_LE(l.close.bottom, 22);
}

TEST(FrameLayout, NoMinimizeButtonMeansNoMinimizeHit)
{
    const FrameLayout l = LayoutFrame(300, 150, PixelRect{3, 22, 297, 147}, false, false);
    for (int x = 0; x < 300; ++x)
        EXPECT_NE(HitTestFrame(l, x, 12), FrameHit::Minimize);
}

TEST(ButtonFace, EachStateHasItsOwnFaceColour)
{
    const Skin s = TestSkin();
    struct Case {
        ButtonVisual v;
        SkinColor face;
    };
    ButtonVisual normal, hot, pressed;
    hot.hot = true;
    pressed.pressed = true;
    const Case cases[] = {{normal, kButtonBottom}, {hot, kHoverBottom}, {pressed, kPressedBottom}};
    for (const Case& c : cases) {
        Image img(80, 32, 0xFFFFFF);
        PaintButtonFace(img.canvas, s, PixelRect{0, 0, 80, 32}, c.v);
        EXPECT_EQ(img.At(40, 16), PackRgb(s.colors[c.face]));
        // The rounded corner leaves what was behind the button.
        EXPECT_EQ(img.At(0, 0), 0xFFFFFFu);
    }
}

TEST(ButtonFace, FocusDrawsARingInside)
{
    const Skin s = TestSkin();
    ButtonVisual focused;
    focused.focused = true;
    Image plain(80, 32, 0), withFocus(80, 32, 0);
    PaintButtonFace(plain.canvas, s, PixelRect{0, 0, 80, 32}, ButtonVisual{});
    PaintButtonFace(withFocus.canvas, s, PixelRect{0, 0, 80, 32}, focused);
    EXPECT_NE(plain.At(40, 2), withFocus.At(40, 2));
    EXPECT_EQ(plain.At(40, 16), withFocus.At(40, 16));
}

TEST(GroupFrame, CaptionGapKeepsTheBackdrop)
{
    const Skin s = TestSkin();
    Image img(272, 112, 0x123456);
    const PixelRect text = PaintGroupFrame(img.canvas, s, PixelRect{0, 0, 272, 112}, 60, 12);
    EXPECT_EQ(text.Width(), 60);
    EXPECT_EQ(text.left, (272 - 60) / 2);
    EXPECT_EQ(img.At(136, 6), 0x123456u);                            // inside the gap
    EXPECT_EQ(img.At(40, 6), PackRgb(s.colors[kGroupLine]));         // the top line
    EXPECT_EQ(img.At(0, 60), PackRgb(s.colors[kGroupLine]));         // the left line
    EXPECT_EQ(img.At(136, 60), 0x123456u);                           // line style: no fill
}

TEST(Raster, ClipsToTheCanvas)
{
    Image img(10, 10, 0);
    FillRounded(img.canvas, PixelRect{-20, -20, 50, 50}, 8, Rgb{1, 2, 3}, Rgb{1, 2, 3}, 255);
    StrokeRounded(img.canvas, PixelRect{-5, 3, 15, 30}, 16, Rgb{9, 9, 9}, 255);
    DrawLine(img.canvas, -3, -3, 30, 30, 2, Rgb{7, 7, 7});
    EXPECT_EQ(img.At(5, 0), 0x010203u);
}

TEST(Raster, TileRepeatsFromTheOrigin)
{
    const uint8_t rgb[] = {255, 0, 0, 0, 255, 0};
    SkinTile tile;
    tile.width = 2;
    tile.height = 1;
    tile.alpha = 255;
    tile.rgb = rgb;
    Image img(6, 2, 0);
    BlendTile(img.canvas, PixelRect{0, 0, 6, 2}, tile, 1, 0);
    EXPECT_EQ(img.At(0, 0), 0x00FF00u);
    EXPECT_EQ(img.At(1, 1), 0xFF0000u);
}

}  // namespace
