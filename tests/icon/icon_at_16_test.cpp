// The board's icon as the caption shows it: the 48 x 48 image box-filtered to 16 x 16
// and laid over every skin's title colours (and plain white and black). At that size
// the speaker must stand out from what surrounds it, its two sound waves must read as
// separate strokes, and the figure must be neither a speck nor a blob.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/skins/board_measures.h"

namespace {

constexpr int kImageSide = 48, kShownSide = 16, kFactor = kImageSide / kShownSide;
constexpr size_t kDirectorySize = 6 + 16, kInfoHeaderSize = 40;
constexpr int kSkinCount = 33;

constexpr double kReadable = 4.5;      // speaker against its surround
constexpr double kStroke = 3.0;        // a pixel counts as figure at this contrast to the surround
constexpr double kLeastFigure = 0.15;  // share of the 16 x 16 pixels that are figure
constexpr double kMostFigure = 0.5;
constexpr int kRequiredWaves = 2;

// Where the design puts things, in 16-pixel coordinates.
constexpr int kBodyX = 4, kBodyY = 8, kAboveY = 3, kBelowY = 13;
constexpr int kWavesFrom = 9, kWaveRow = 8;

struct Rgba {
    double r, g, b, a;   // premultiplied, 0..1
};

std::vector<Rgba> ShownAtSixteen(const std::vector<uint8_t>& ico)
{
    const size_t offset = size_t(ico[18]) | size_t(ico[19]) << 8 | size_t(ico[20]) << 16 | size_t(ico[21]) << 24;
    const uint8_t* bgra = ico.data() + offset + kInfoHeaderSize;
    std::vector<Rgba> shown(kShownSide * kShownSide, Rgba{0, 0, 0, 0});
    for (int y = 0; y < kImageSide; ++y)
        for (int x = 0; x < kImageSide; ++x) {
            const uint8_t* p = bgra + (size_t(kImageSide - 1 - y) * kImageSide + size_t(x)) * 4;   // bottom-up rows
            const double a = p[3] / 255.0;
            Rgba& out = shown[size_t(y / kFactor) * kShownSide + size_t(x / kFactor)];
            constexpr double kShare = 1.0 / (kFactor * kFactor);
            out.r += p[2] / 255.0 * a * kShare;
            out.g += p[1] / 255.0 * a * kShare;
            out.b += p[0] / 255.0 * a * kShare;
            out.a += a * kShare;
        }
    return shown;
}

Rgb Over(const Rgba& p, Rgb back)
{
    auto channel = [&](double premultiplied, uint8_t under) {
        return uint8_t(std::lround((premultiplied + (1 - p.a) * under / 255.0) * 255));
    };
    return Rgb{channel(p.r, back.r), channel(p.g, back.g), channel(p.b, back.b)};
}

std::vector<Rgb> Backgrounds()
{
    std::vector<Rgb> backs{{255, 255, 255}, {0, 0, 0}};
    for (int n = 1; n <= kSkinCount; ++n) {
        char path[64];
        std::snprintf(path, sizeof path, "/skin%02d.she", n);
        LoadedSkin skin;
        EXPECT_TRUE(LoadSkinFile(std::string(SKIN_ASSET_DIR) + path, skin)) << path;
        backs.push_back(skin.skin.colors[kTitleTop]);
        backs.push_back(skin.skin.colors[kTitleBottom]);
    }
    return backs;
}

class IconAtSixteen : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::ifstream in(BOARD_ICON, std::ios::binary);
        const std::vector<uint8_t> ico((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_GT(ico.size(), kDirectorySize + kInfoHeaderSize);
        // One image, 48 x 48, 32 bits a pixel.
        ASSERT_EQ(ico[4] | ico[5] << 8, 1);
        ASSERT_EQ(ico[6], kImageSide);
        ASSERT_EQ(ico[7], kImageSide);
        ASSERT_EQ(ico[12] | ico[13] << 8, 32);
        shown = ShownAtSixteen(ico);
    }
    Rgb At(int x, int y, Rgb back) const { return Over(shown[size_t(y) * kShownSide + size_t(x)], back); }
    std::vector<Rgba> shown;
};

TEST_F(IconAtSixteen, TheSpeakerStandsOutFromItsSurround)
{
    for (Rgb back : Backgrounds()) {
        const Rgb body = At(kBodyX, kBodyY, back);
        EXPECT_GE(Contrast(body, At(kBodyX, kAboveY, back)), kReadable) << int(back.r) << "," << int(back.g) << "," << int(back.b);
        EXPECT_GE(Contrast(body, At(kBodyX, kBelowY, back)), kReadable) << int(back.r) << "," << int(back.g) << "," << int(back.b);
    }
}

TEST_F(IconAtSixteen, TheWavesAreSeparateStrokes)
{
    for (Rgb back : Backgrounds()) {
        const Rgb surround = At(kBodyX, kAboveY, back);
        int strokes = 0;
        bool inStroke = false;
        for (int x = kWavesFrom; x < kShownSide; ++x) {
            const bool figure = Contrast(At(x, kWaveRow, back), surround) >= kStroke;
            strokes += figure && !inStroke;
            inStroke = figure;
        }
        EXPECT_GE(strokes, kRequiredWaves) << int(back.r) << "," << int(back.g) << "," << int(back.b);
    }
}

TEST_F(IconAtSixteen, TheFigureIsNeitherASpeckNorABlob)
{
    for (Rgb back : Backgrounds()) {
        const Rgb surround = At(kBodyX, kAboveY, back);
        int figure = 0;
        for (int y = 0; y < kShownSide; ++y)
            for (int x = 0; x < kShownSide; ++x)
                figure += Contrast(At(x, y, back), surround) >= kStroke;
        const double share = double(figure) / (kShownSide * kShownSide);
        EXPECT_GE(share, kLeastFigure) << int(back.r) << "," << int(back.g) << "," << int(back.b);
        EXPECT_LE(share, kMostFigure) << int(back.r) << "," << int(back.g) << "," << int(back.b);
    }
}

}  // namespace
