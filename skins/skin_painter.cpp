// The skin's look, element by element, in terms of the raster primitives.
#include "skins/skin_painter.h"

namespace {

constexpr int kCaptionButtonGap = 2;
constexpr int kCaptionButtonMargin = 3;
constexpr int kIconSize = 16;
constexpr int kCaptionGapPadding = 4;
constexpr int kMaxGapPixels = 1024;
constexpr uint32_t kOpaque = 255;
constexpr uint32_t kDisabledAlpha = 110;
constexpr uint32_t kGlyphShadowAlpha = 70;
constexpr int kHeaderExtra = 2;      // a header band is this much taller than its caption
constexpr int kFrameClearance = 2;   // what stays free inside a group frame's lines

bool Inside(const PixelRect& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

PixelRect Inset(PixelRect r, int d) { return PixelRect{r.left + d, r.top + d, r.right - d, r.bottom - d}; }

// Glossy look: the upper half brightened towards white by the skin's gloss alpha.
void Gloss(Canvas& c, const Skin& s, PixelRect r, int radius)
{
    PixelRect top = r;
    top.bottom = r.top + r.Height() / 2;
    FillRounded(c, top, radius, Rgb{255, 255, 255}, Rgb{255, 255, 255}, s.glossAlpha / 2);
    PixelRect shine = Inset(top, 1);
    shine.bottom = r.top + r.Height() / 4 + 1;
    FillRounded(c, shine, radius, Rgb{255, 255, 255}, Rgb{255, 255, 255}, s.glossAlpha / 3);
}

}  // namespace

FrameLayout LayoutFrame(int width, int height, PixelRect client, bool hasMinimize, bool hasIcon)
{
    FrameLayout l{};
    l.window = PixelRect{0, 0, width, height};
    l.client = client;
    const int border = client.left > 0 ? client.left : 0;
    l.caption = PixelRect{border, border, width - border, client.top};
    l.hasMinimize = hasMinimize;
    const int side = l.caption.Height() - 2 * kCaptionButtonMargin + 2;
    const int size = side < 8 ? 8 : side;
    const int top = l.caption.top + (l.caption.Height() - size) / 2;
    l.close = PixelRect{l.caption.right - kCaptionButtonMargin - size, top, l.caption.right - kCaptionButtonMargin,
                        top + size};
    l.minimize = hasMinimize ? PixelRect{l.close.left - kCaptionButtonGap - size, top,
                                         l.close.left - kCaptionButtonGap, top + size}
                             : PixelRect{l.close.left, top, l.close.left, top + size};
    const int iconTop = l.caption.top + (l.caption.Height() - kIconSize) / 2;
    l.icon = hasIcon ? PixelRect{l.caption.left + 4, iconTop, l.caption.left + 4 + kIconSize, iconTop + kIconSize}
                     : PixelRect{l.caption.left, iconTop, l.caption.left, iconTop};
    l.text = PixelRect{l.icon.right + 6, l.caption.top, l.minimize.left - 6, l.caption.bottom};
    return l;
}

FrameHit HitTestFrame(const FrameLayout& l, int x, int y)
{
    if (Inside(l.client, x, y))
        return FrameHit::Client;
    if (Inside(l.close, x, y))
        return FrameHit::Close;
    if (l.hasMinimize && Inside(l.minimize, x, y))
        return FrameHit::Minimize;
    if (Inside(l.caption, x, y))
        return FrameHit::Caption;
    return FrameHit::Border;
}

void PaintFrame(Canvas& c, const Skin& s, const FrameLayout& l, bool active)
{
    const Rgb top = s.colors[active ? kTitleTop : kInactiveTop];
    const Rgb bottom = s.colors[active ? kTitleBottom : kInactiveBottom];
    // The body of the frame continues the title's lower colour down the sides.
    FillRounded(c, l.window, 0, s.colors[kFrameInner], s.colors[kFrameInner], kOpaque);
    const PixelRect band{0, 0, l.window.right, l.client.top};
    switch (s.titleStyle) {
    case TitleStyle::Gradient:
        FillRounded(c, band, 0, top, bottom, kOpaque);
        break;
    case TitleStyle::Glossy:
        FillRounded(c, band, 0, top, bottom, kOpaque);
        Gloss(c, s, band, 0);
        break;
    case TitleStyle::Flat: {
        FillRounded(c, band, 0, top, top, kOpaque);
        const PixelRect accent{0, band.bottom - 2, band.right, band.bottom};
        FillRounded(c, accent, 0, bottom, bottom, kOpaque);
        break;
    }
    default:
        break;
    }
    StrokeRounded(c, l.window, s.windowRadius, s.colors[kFrameOuter], kOpaque);
    // A thin line where the frame meets the client keeps the edge crisp.
    const PixelRect edge{l.client.left - 1, l.client.top - 1, l.client.right + 1, l.client.bottom + 1};
    StrokeRounded(c, edge, 0, s.colors[kFrameOuter], kGlyphShadowAlpha);
}

void PaintCaptionButton(Canvas& c, const Skin& s, PixelRect r, CaptionButton kind, ButtonVisual v, bool active)
{
    const int radius = s.captionShape == CaptionShape::Circle ? r.Width() / 2
                       : s.captionShape == CaptionShape::Rounded ? 3 : 0;
    Rgb face = s.colors[kCaptionFace];
    uint32_t alpha = active ? 150 : 90;
    if (v.hot || v.pressed) {
        face = kind == CaptionButton::Close ? s.colors[kCloseHot] : MixRgb(face, Rgb{255, 255, 255}, 60);
        alpha = kOpaque;
    }
    if (v.pressed)
        face = MixRgb(face, Rgb{0, 0, 0}, 50);
    FillRounded(c, r, radius, MixRgb(face, Rgb{255, 255, 255}, 40), face, v.disabled ? alpha / 2 : alpha);
    StrokeRounded(c, r, radius, MixRgb(face, Rgb{0, 0, 0}, 70), v.disabled ? 60 : 120);

    Rgb glyph = (v.hot || v.pressed) && kind == CaptionButton::Close ? Rgb{255, 255, 255} : s.colors[kCaptionGlyph];
    if (v.disabled)
        glyph = MixRgb(glyph, face, kDisabledAlpha);
    const int pad = r.Width() * 3 / 10;
    const int x0 = r.left + pad, x1 = r.right - pad - 2, y0 = r.top + pad, y1 = r.bottom - pad - 2;
    if (kind == CaptionButton::Close) {
        DrawLine(c, x0, y0, x1, y1, 2, glyph);
        DrawLine(c, x0, y1, x1, y0, 2, glyph);
    } else {
        DrawLine(c, x0, y1, x1, y1, 2, glyph);
    }
}

void PaintBackdrop(Canvas& c, const Skin& s, PixelRect area, int originX, int originY, int surfaceExtent)
{
    // Gradient over the whole surface, then only the area is kept: paint row by row.
    const int extent = surfaceExtent > 1 ? surfaceExtent : 1;
    for (int y = area.top; y < area.bottom; ++y) {
        if (s.clientHorizontal) {
            for (int x = area.left; x < area.right; ++x) {
                const int along = x + originX;
                const uint32_t t = uint32_t((along < 0 ? 0 : (along > extent ? extent : along)) * 255 / extent);
                const PixelRect px{x, y, x + 1, y + 1};
                FillRounded(c, px, 0, MixRgb(s.colors[kClientTop], s.colors[kClientBottom], t),
                            MixRgb(s.colors[kClientTop], s.colors[kClientBottom], t), kOpaque);
            }
            continue;
        }
        const int along = y + originY;
        const uint32_t t = uint32_t((along < 0 ? 0 : (along > extent ? extent : along)) * 255 / extent);
        const Rgb row = MixRgb(s.colors[kClientTop], s.colors[kClientBottom], t);
        const PixelRect line{area.left, y, area.right, y + 1};
        FillRounded(c, line, 0, row, row, kOpaque);
    }
    BlendTile(c, area, s.tile, originX, originY);
}

PixelRect PaintGroupFrame(Canvas& c, const Skin& s, PixelRect box, int captionWidth, int captionHeight)
{
    const int lineTop = box.top + captionHeight / 2;
    const int gapWidth = captionWidth > 0 ? captionWidth + 2 * kCaptionGapPadding : 0;
    const int gapLeft = box.left + (box.Width() - gapWidth) / 2;
    PixelRect text{box.left + (box.Width() - captionWidth) / 2, box.top,
                   box.left + (box.Width() - captionWidth) / 2 + captionWidth, box.top + captionHeight};

    if (s.groupStyle == GroupStyle::Header) {
        const PixelRect body{box.left, box.top, box.right, box.bottom - 1};
        FillRounded(c, body, s.groupRadius, s.colors[kGroupFill], s.colors[kGroupFill], s.groupFillAlpha);
        const PixelRect header{box.left, box.top, box.right, box.top + captionHeight + kHeaderExtra};
        FillRounded(c, header, s.groupRadius, MixRgb(s.colors[kGroupLine], Rgb{255, 255, 255}, 150),
                    MixRgb(s.colors[kGroupLine], Rgb{255, 255, 255}, 90), 220);
        StrokeRounded(c, body, s.groupRadius, s.colors[kGroupLine], kOpaque);
        text.top = box.top + 1;
        text.bottom = text.top + captionHeight;
        return text;
    }

    const PixelRect frame{box.left, lineTop, box.right, box.bottom - 1};
    if (s.groupStyle == GroupStyle::Panel)
        FillRounded(c, frame, s.groupRadius, s.colors[kGroupFill], s.colors[kGroupFill], s.groupFillAlpha);
    // Keep the backdrop under the caption: save the top line's pixels in the gap, restore after.
    uint32_t saved[kMaxGapPixels];
    const int y = lineTop;
    int from = gapLeft < 0 ? 0 : gapLeft;
    int to = gapLeft + gapWidth > c.width ? c.width : gapLeft + gapWidth;
    if (to - from > kMaxGapPixels)
        to = from + kMaxGapPixels;
    const bool rowVisible = y >= 0 && y < c.height && to > from;
    if (rowVisible)
        for (int x = from; x < to; ++x)
            saved[x - from] = c.pixels[y * c.width + x];
    StrokeRounded(c, frame, s.groupRadius, s.colors[kGroupLine], kOpaque);
    if (rowVisible)
        for (int x = from; x < to; ++x)
            c.pixels[y * c.width + x] = saved[x - from];
    return text;
}

PixelRect GroupInterior(const Skin& s, PixelRect box, int captionHeight)
{
    const int top = box.top + captionHeight + (s.groupStyle == GroupStyle::Header ? kHeaderExtra : 0);
    return PixelRect{box.left + kFrameClearance, top, box.right - kFrameClearance, box.bottom - kFrameClearance};
}

void PaintButtonFace(Canvas& c, const Skin& s, PixelRect r, ButtonVisual v)
{
    Rgb top = s.colors[kButtonTop], bottom = s.colors[kButtonBottom];
    if (v.pressed) {
        top = s.colors[kPressedTop];
        bottom = s.colors[kPressedBottom];
    } else if (v.hot) {
        top = s.colors[kHoverTop];
        bottom = s.colors[kHoverBottom];
    }
    const int radius = s.buttonRadius;
    const uint32_t alpha = v.disabled ? kDisabledAlpha : kOpaque;
    Rgb border = s.colors[kButtonBorder];
    if (v.hot || v.focused)
        border = s.colors[kFocusRing];

    switch (s.buttonStyle) {
    case ButtonStyle::Flat:
        FillRounded(c, r, radius, bottom, bottom, alpha);
        break;
    case ButtonStyle::Gradient:
        FillRounded(c, r, radius, top, bottom, alpha);
        break;
    case ButtonStyle::Glossy:
        FillRounded(c, r, radius, top, bottom, alpha);
        if (!v.pressed)
            Gloss(c, s, Inset(r, 1), radius > 1 ? radius - 1 : 0);
        break;
    case ButtonStyle::Bevel: {
        FillRounded(c, r, radius, top, bottom, alpha);
        const Rgb light{255, 255, 255}, dark = MixRgb(bottom, Rgb{0, 0, 0}, 90);
        const PixelRect inner = Inset(r, 1);
        const PixelRect upper{inner.left, inner.top, inner.right, inner.top + 1};
        const PixelRect lower{inner.left, inner.bottom - 1, inner.right, inner.bottom};
        FillRounded(c, upper, 0, v.pressed ? dark : light, v.pressed ? dark : light, 160);
        FillRounded(c, lower, 0, v.pressed ? light : dark, v.pressed ? light : dark, 160);
        break;
    }
    case ButtonStyle::Outline:
        FillRounded(c, r, radius, top, bottom, v.hot || v.pressed ? alpha : alpha * 3 / 5);
        StrokeRounded(c, Inset(r, 1), radius > 1 ? radius - 1 : 0, border, 90);
        break;
    default:
        break;
    }
    StrokeRounded(c, r, radius, border, kOpaque);
    if (v.focused) {
        const PixelRect ring = Inset(r, 2);
        StrokeRounded(c, ring, radius > 2 ? radius - 2 : 0, s.colors[kFocusRing], 140);
    }
}

void PaintDialogBand(Canvas& c, const Skin& s, PixelRect band)
{
    FillRounded(c, band, 0, s.colors[kDialogBand], s.colors[kDialogBand], 200);
    const PixelRect line{band.left, band.top, band.right, band.top + 1};
    FillRounded(c, line, 0, s.colors[kGroupLine], s.colors[kGroupLine], 160);
}

void PaintIconArea(Canvas& c, const Skin& s, PixelRect r)
{
    FillRounded(c, r, 8, s.colors[kIconArea], s.colors[kIconArea], 200);
    StrokeRounded(c, r, 8, s.colors[kGroupLine], 120);
}

Rgb ButtonTextColor(const Skin& s, ButtonVisual v)
{
    const Rgb text = s.colors[v.pressed ? kPressedText : kButtonText];
    return v.disabled ? MixRgb(text, s.colors[kButtonBottom], kDisabledAlpha) : text;
}
