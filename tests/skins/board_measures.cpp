// Contrast, colour difference and caption placement for the native skin checks.
#include "tests/skins/board_measures.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// The engine's padding left and right of a push button's caption.
constexpr int kButtonTextPadding = 3;
constexpr double kFlare = 0.05;
constexpr unsigned kUtf8Mask = 0xC0, kUtf8ContinuationTag = 0x80;
constexpr int kMaxUtf8Bytes = 4;

// The sRGB transfer curve undone, per level; made once.
double Linear(uint8_t level)
{
    static const std::array<double, 256> table = [] {
        std::array<double, 256> t{};
        for (size_t i = 0; i < t.size(); ++i) {
            const double v = double(i) / 255.0;
            t[i] = v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        }
        return t;
    }();
    return table[level];
}

double Luminance(Rgb c) { return 0.2126 * Linear(c.r) + 0.7152 * Linear(c.g) + 0.0722 * Linear(c.b); }

struct Lab {
    double l, a, b;
};

double LabCurve(double t) { return t > 216.0 / 24389 ? std::cbrt(t) : (24389.0 / 27 * t + 16) / 116; }

Lab ToLab(Rgb c)
{
    const double r = Linear(c.r), g = Linear(c.g), b = Linear(c.b);
    const double x = (0.4124 * r + 0.3576 * g + 0.1805 * b) / 0.95047;
    const double y = 0.2126 * r + 0.7152 * g + 0.0722 * b;
    const double z = (0.0193 * r + 0.1192 * g + 0.9505 * b) / 1.08883;
    return Lab{116 * LabCurve(y) - 16, 500 * (LabCurve(x) - LabCurve(y)), 200 * (LabCurve(y) - LabCurve(z))};
}

}  // namespace

double Contrast(Rgb a, Rgb b)
{
    const double la = Luminance(a) + kFlare, lb = Luminance(b) + kFlare;
    return la > lb ? la / lb : lb / la;
}

double ColourDifference(Rgb a, Rgb b)
{
    const Lab p = ToLab(a), q = ToLab(b);
    return std::sqrt((p.l - q.l) * (p.l - q.l) + (p.a - q.a) * (p.a - q.a) + (p.b - q.b) * (p.b - q.b));
}

double LowestContrast(const BoardImage& image, PixelRect area, Rgb text)
{
    double lowest = Contrast(text, UnpackRgb(image.At(area.left, area.top)));
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            lowest = std::min(lowest, Contrast(text, UnpackRgb(image.At(x, y))));
    return lowest;
}

double MeanDifference(const BoardImage& a, const BoardImage& b, PixelRect area)
{
    double sum = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            sum += ColourDifference(UnpackRgb(a.At(x, y)), UnpackRgb(b.At(x, y)));
    return sum / (double(area.Width()) * area.Height());
}

BlockColours BlockMeans(const BoardImage& image)
{
    BlockColours blocks;
    constexpr int kArea = kBlockSide * kBlockSide;
    for (int by = 0; by + kBlockSide <= image.height; by += kBlockSide)
        for (int bx = 0; bx + kBlockSide <= image.width; bx += kBlockSide) {
            int red = 0, green = 0, blue = 0;
            for (int y = by; y < by + kBlockSide; ++y)
                for (int x = bx; x < bx + kBlockSide; ++x) {
                    const Rgb c = UnpackRgb(image.At(x, y));
                    red += c.r;
                    green += c.g;
                    blue += c.b;
                }
            blocks.means.push_back(Rgb{uint8_t(red / kArea), uint8_t(green / kArea), uint8_t(blue / kArea)});
        }
    return blocks;
}

double MeanBlockDifference(const BlockColours& a, const BlockColours& b)
{
    double sum = 0;
    for (size_t i = 0; i < a.means.size(); ++i)
        sum += ColourDifference(a.means[i], b.means[i]);
    return sum / double(a.means.size());
}

std::vector<std::string> ModelLineTexts(const char* utf8, int em, bool bold, int width)
{
    std::vector<std::string> lines{""};
    int lineWidth = 0;
    const char* p = utf8;
    while (*p) {
        // One character: its lead byte and continuation bytes.
        std::string one(1, *p++);
        while (one.size() < size_t(kMaxUtf8Bytes) &&
               (static_cast<unsigned char>(*p) & kUtf8Mask) == kUtf8ContinuationTag)
            one += *p++;
        const int advance = ModelTextWidth(one.c_str(), em, bold);
        if (lineWidth > 0 && lineWidth + advance > width) {
            lines.emplace_back();
            lineWidth = 0;
        }
        lines.back() += one;
        lineWidth += advance;
    }
    return lines;
}

std::vector<int> ModelLines(const char* utf8, int em, bool bold, int width)
{
    std::vector<int> widths;
    for (const std::string& line : ModelLineTexts(utf8, em, bold, width))
        widths.push_back(ModelTextWidth(line.c_str(), em, bold));
    return widths;
}

PixelRect ButtonTextArea(const BoardControl& button)
{
    const int room = button.right - button.left - 2 * kButtonTextPadding;
    const std::vector<int> lines = ModelLines(button.caption, button.fontHeight, button.bold, room);
    const int width = std::min(room, *std::max_element(lines.begin(), lines.end()));
    const int height = std::min(button.bottom - button.top, int(lines.size()) * button.fontHeight);
    const int left = button.left + (button.right - button.left - width) / 2;
    const int top = button.top + (button.bottom - button.top - height) / 2;
    return PixelRect{left, top, left + width, top + height};
}
