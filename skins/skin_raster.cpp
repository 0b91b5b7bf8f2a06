// Software rasterising of the skin shapes; coverage of rounded corners is sampled
// 4 x 4 per pixel, so no floating point or math library is needed.
#include "skins/skin_raster.h"

namespace {

constexpr int kSamples = 4;

int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

// Coverage (0..16) of pixel (x,y) by the rounded rectangle r with corner radius rad.
int Coverage(const PixelRect& r, int rad, int x, int y)
{
    const int cxLeft = r.left + rad, cxRight = r.right - rad;
    const int cyTop = r.top + rad, cyBottom = r.bottom - rad;
    if (rad == 0 || (x >= cxLeft && x < cxRight) || (y >= cyTop && y < cyBottom))
        return kSamples * kSamples;
    // Corner: sample centres in units of 1/(2*kSamples) pixel.
    const int cx = x < cxLeft ? cxLeft : cxRight;
    const int cy = y < cyTop ? cyTop : cyBottom;
    const int unit = 2 * kSamples;
    const int limit = rad * unit * rad * unit;
    int inside = 0;
    for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
            const int px = x * unit + 2 * sx + 1 - cx * unit;
            const int py = y * unit + 2 * sy + 1 - cy * unit;
            if (px * px + py * py <= limit)
                ++inside;
        }
    }
    return inside;
}

void Blend(Canvas& c, int x, int y, Rgb color, uint32_t alpha)
{
    uint32_t& p = c.pixels[y * c.width + x];
    p = PackRgb(MixRgb(UnpackRgb(p), color, alpha));
}

PixelRect ClipTo(const Canvas& c, PixelRect r)
{
    return PixelRect{Clamp(r.left, 0, c.width), Clamp(r.top, 0, c.height), Clamp(r.right, 0, c.width),
                     Clamp(r.bottom, 0, c.height)};
}

int EffectiveRadius(const PixelRect& r, int radius)
{
    const int half = (r.Width() < r.Height() ? r.Width() : r.Height()) / 2;
    return Clamp(radius, 0, half);
}

}  // namespace

uint32_t PackRgb(Rgb c) { return uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b; }

Rgb UnpackRgb(uint32_t p) { return Rgb{uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)}; }

Rgb MixRgb(Rgb a, Rgb b, uint32_t alpha)
{
    const int t = int(alpha > 255 ? 255 : alpha);
    return Rgb{uint8_t(a.r + ((int(b.r) - a.r) * t) / 255), uint8_t(a.g + ((int(b.g) - a.g) * t) / 255),
               uint8_t(a.b + ((int(b.b) - a.b) * t) / 255)};
}

void FillRounded(Canvas& c, PixelRect r, int radius, Rgb first, Rgb second, uint32_t alpha, bool horizontal)
{
    if (r.Width() <= 0 || r.Height() <= 0)
        return;
    const int rad = EffectiveRadius(r, radius);
    const PixelRect clip = ClipTo(c, r);
    const int span = horizontal ? r.Width() - 1 : r.Height() - 1;
    for (int y = clip.top; y < clip.bottom; ++y) {
        for (int x = clip.left; x < clip.right; ++x) {
            const int cover = Coverage(r, rad, x, y);
            if (cover == 0)
                continue;
            const int along = horizontal ? x - r.left : y - r.top;
            const uint32_t t = span > 0 ? uint32_t(along * 255 / span) : 0;
            Blend(c, x, y, MixRgb(first, second, t), alpha * uint32_t(cover) / (kSamples * kSamples));
        }
    }
}

void StrokeRounded(Canvas& c, PixelRect r, int radius, Rgb color, uint32_t alpha)
{
    if (r.Width() <= 0 || r.Height() <= 0)
        return;
    const int rad = EffectiveRadius(r, radius);
    const PixelRect inner{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    const int innerRad = rad > 0 ? rad - 1 : 0;
    const PixelRect clip = ClipTo(c, r);
    for (int y = clip.top; y < clip.bottom; ++y) {
        for (int x = clip.left; x < clip.right; ++x) {
            int cover = Coverage(r, rad, x, y);
            if (x >= inner.left && x < inner.right && y >= inner.top && y < inner.bottom)
                cover -= Coverage(inner, innerRad, x, y);
            if (cover > 0)
                Blend(c, x, y, color, alpha * uint32_t(cover) / (kSamples * kSamples));
        }
    }
}

void BlendTile(Canvas& c, PixelRect r, const SkinTile& tile, int originX, int originY)
{
    if (tile.width == 0 || tile.height == 0 || tile.rgb == nullptr || tile.alpha == 0)
        return;
    const PixelRect clip = ClipTo(c, r);
    for (int y = clip.top; y < clip.bottom; ++y) {
        const int ty = ((y + originY) % tile.height + tile.height) % tile.height;
        for (int x = clip.left; x < clip.right; ++x) {
            const int tx = ((x + originX) % tile.width + tile.width) % tile.width;
            const uint8_t* t = tile.rgb + (ty * tile.width + tx) * 3;
            Blend(c, x, y, Rgb{t[0], t[1], t[2]}, tile.alpha);
        }
    }
}

void DrawLine(Canvas& c, int x0, int y0, int x1, int y1, int thickness, Rgb color)
{
    const int dx = x1 - x0, dy = y1 - y0;
    const int steps = (dx < 0 ? -dx : dx) > (dy < 0 ? -dy : dy) ? (dx < 0 ? -dx : dx) : (dy < 0 ? -dy : dy);
    for (int i = 0; i <= steps; ++i) {
        const int x = steps ? x0 + dx * i / steps : x0;
        const int y = steps ? y0 + dy * i / steps : y0;
        const PixelRect dot = ClipTo(c, PixelRect{x, y, x + thickness, y + thickness});
        for (int py = dot.top; py < dot.bottom; ++py)
            for (int px = dot.left; px < dot.right; ++px)
                c.pixels[py * c.width + px] = PackRgb(color);
    }
}
