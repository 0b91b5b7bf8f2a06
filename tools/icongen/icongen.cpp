// Draws the board's 48 x 48 32-bit icon, a white loudspeaker sending out two yellow
// sound waves on a deep blue rounded badge, and writes it as a one-image .ico file.
// Shapes and strokes are laid on a 3-pixel grid so they stay whole at 16 x 16.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int kSize = 48;
constexpr int kSamples = 4;  // per axis, for smooth edges

struct Colour {
    double red, green, blue;
};

constexpr Colour kBadgeTop{0.16, 0.30, 0.72};
constexpr Colour kBadgeBottom{0.07, 0.15, 0.45};
constexpr Colour kSpeaker{1.0, 1.0, 1.0};
constexpr Colour kWave{1.0, 0.84, 0.20};

constexpr double kBadgeRadius = 9;
constexpr double kMouthX = 24, kMiddleY = 24;

// The badge: the whole icon with rounded corners.
bool InBadge(double x, double y)
{
    const double cx = x < kBadgeRadius ? kBadgeRadius : x > kSize - kBadgeRadius ? kSize - kBadgeRadius : x;
    const double cy = y < kBadgeRadius ? kBadgeRadius : y > kSize - kBadgeRadius ? kSize - kBadgeRadius : y;
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= kBadgeRadius * kBadgeRadius;
}

// Is the point (x right, y down, in pixels) inside the speaker box?
bool InBox(double x, double y) { return x >= 6 && x <= 15 && y >= 18 && y <= 30; }

// The cone widens from the box to the mouth.
bool InCone(double x, double y)
{
    constexpr double kBoxX = 15, kBoxHalf = 6, kMouthHalf = 14;
    if (x < kBoxX || x > kMouthX)
        return false;
    const double halfHeight = kBoxHalf + (x - kBoxX) * (kMouthHalf - kBoxHalf) / (kMouthX - kBoxX);
    return std::fabs(y - kMiddleY) <= halfHeight;
}

// Two thick arcs centred on the cone's mouth, opening to the right, a clear gap between.
bool InWave(double x, double y)
{
    static const double kInnerRadii[] = {6, 15};
    constexpr double kThickness = 4.5;
    constexpr double kHalfAngle = 0.8;  // radians
    const double dx = x - kMouthX, dy = y - kMiddleY;
    const double distance = std::sqrt(dx * dx + dy * dy);
    if (dx <= 0 || std::fabs(std::atan2(dy, dx)) > kHalfAngle)
        return false;
    for (double inner : kInnerRadii)
        if (distance >= inner && distance <= inner + kThickness)
            return true;
    return false;
}

struct Pixel {
    uint8_t blue, green, red, alpha;
};

Pixel Shade(int column, int row)
{
    double red = 0, green = 0, blue = 0, cover = 0;
    for (int sy = 0; sy < kSamples; ++sy)
        for (int sx = 0; sx < kSamples; ++sx) {
            const double x = column + (sx + 0.5) / kSamples, y = row + (sy + 0.5) / kSamples;
            if (!InBadge(x, y))
                continue;
            const double t = y / kSize;
            const Colour badge{kBadgeTop.red + (kBadgeBottom.red - kBadgeTop.red) * t,
                               kBadgeTop.green + (kBadgeBottom.green - kBadgeTop.green) * t,
                               kBadgeTop.blue + (kBadgeBottom.blue - kBadgeTop.blue) * t};
            const Colour& colour = InBox(x, y) || InCone(x, y) ? kSpeaker : InWave(x, y) ? kWave : badge;
            red += colour.red;
            green += colour.green;
            blue += colour.blue;
            cover += 1;
        }
    if (cover == 0)
        return {0, 0, 0, 0};
    // Straight (not premultiplied) colour, coverage as alpha.
    auto byte = [](double v) { return static_cast<uint8_t>(std::lround(v * 255)); };
    return {byte(blue / cover), byte(green / cover), byte(red / cover),
            byte(cover / (kSamples * kSamples))};
}

void Put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(v & 0xff);
    out.push_back((v >> 8) & 0xff);
}

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, v & 0xffff);
    Put16(out, v >> 16);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: icongen OUTPUT.ico\n");
        return 2;
    }
    constexpr uint32_t kHeaderSize = 40;
    constexpr uint32_t kPixelBytes = kSize * kSize * 4;
    constexpr uint32_t kMaskStride = ((kSize + 31) / 32) * 4;
    constexpr uint32_t kImageSize = kHeaderSize + kPixelBytes + kMaskStride * kSize;
    constexpr uint32_t kDirectorySize = 6 + 16;

    std::vector<uint8_t> out;
    Put16(out, 0);  // ICONDIR: reserved, type 1 (icon), one image
    Put16(out, 1);
    Put16(out, 1);
    out.push_back(kSize);  // ICONDIRENTRY
    out.push_back(kSize);
    out.push_back(0);  // no palette
    out.push_back(0);
    Put16(out, 1);   // planes
    Put16(out, 32);  // bits per pixel
    Put32(out, kImageSize);
    Put32(out, kDirectorySize);

    Put32(out, kHeaderSize);  // BITMAPINFOHEADER, height doubled for the mask
    Put32(out, kSize);
    Put32(out, kSize * 2);
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, 0);  // BI_RGB
    Put32(out, kPixelBytes + kMaskStride * kSize);
    for (int i = 0; i < 4; ++i)
        Put32(out, 0);

    std::vector<Pixel> pixels;
    for (int row = kSize - 1; row >= 0; --row)  // bottom-up
        for (int column = 0; column < kSize; ++column)
            pixels.push_back(Shade(column, row));
    for (const Pixel& p : pixels) {
        out.push_back(p.blue);
        out.push_back(p.green);
        out.push_back(p.red);
        out.push_back(p.alpha);
    }
    // AND mask: set where fully transparent.
    for (int row = 0; row < kSize; ++row) {
        std::vector<uint8_t> line(kMaskStride, 0);
        for (int column = 0; column < kSize; ++column)
            if (pixels[row * kSize + column].alpha == 0)
                line[column / 8] |= 0x80 >> (column % 8);
        out.insert(out.end(), line.begin(), line.end());
    }

    FILE* file = std::fopen(argv[1], "wb");
    if (!file || std::fwrite(out.data(), 1, out.size(), file) != out.size()) {
        std::fprintf(stderr, "icongen: cannot write %s\n", argv[1]);
        return 1;
    }
    return std::fclose(file) == 0 ? 0 : 1;
}
