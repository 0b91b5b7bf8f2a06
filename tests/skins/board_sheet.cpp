// Native contact sheet of the skins on the real board: for each skin, the whole window
// composed as the engine would (the first sound button hot, the second pressed) as a
// PPM image, and its captions as an ImageMagick draw file in the layout's colours.
// Usage: board_sheet SKIN_DIR OUT_DIR FONT_FILE
#include <cstdio>
#include <string>

#include "tests/skins/board_measures.h"

namespace {

constexpr int kSkinCount = 33;
constexpr int kTextPadding = 3;          // the engine's padding beside a button caption
constexpr int kBaselineOfEm = 10;        // a 12-pixel line's baseline, from its top
constexpr int kTitleLeft = 30;

bool WritePpm(const BoardImage& image, const std::string& path)
{
    FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr)
        return false;
    std::fprintf(out, "P6\n%d %d\n255\n", image.width, image.height);
    for (uint32_t p : image.pixels) {
        const Rgb c = UnpackRgb(p);
        std::fputc(c.r, out);
        std::fputc(c.g, out);
        std::fputc(c.b, out);
    }
    return std::fclose(out) == 0;
}

void Text(FILE* out, Rgb colour, int em, bool bold, const char* anchor, int x, int y, const std::string& text)
{
    std::fprintf(out, "fill '#%02X%02X%02X'\nfont-size %d\nfont-weight %d\ntext-anchor %s\ntext %d,%d '%s'\n",
                 colour.r, colour.g, colour.b, em, bold ? 700 : 400, anchor, x, y, text.c_str());
}

int Baseline(int top, int em) { return top + kBaselineOfEm * em / 12; }

bool WriteCaptions(const Skin& s, const std::string& path, const char* font, size_t pressed)
{
    FILE* out = std::fopen(path.c_str(), "w");
    if (out == nullptr)
        return false;
    std::fprintf(out, "font '%s'\n", font);
    const int dx = kBoardBorder, dy = kBoardBorder + kBoardCaption;
    Text(out, s.colors[kTitleText], 12, s.titleBold, "start", kTitleLeft, Baseline(kBoardBorder + 6, 12), s.name);
    std::vector<PixelRect> captions;
    ComposeBoardClient(s, &captions);
    const std::vector<BoardControl>& controls = BoardControls();
    for (size_t i = 0; i < controls.size(); ++i) {
        const BoardControl& c = controls[i];
        const int width = c.right - c.left, height = c.bottom - c.top;
        if (c.kind == BoardKind::Group) {
            const PixelRect r = captions[i];
            Text(out, s.colors[kGroupText], c.fontHeight, false, "middle", dx + (r.left + r.right) / 2,
                 dy + Baseline(r.top, c.fontHeight), c.caption);
            continue;
        }
        const bool button = c.kind == BoardKind::Button;
        const int room = button ? width - 2 * kTextPadding : width;
        const std::vector<std::string> lines = ModelLineTexts(c.caption, c.fontHeight, c.bold, room);
        int top = c.top + (height - int(lines.size()) * c.fontHeight) / 2;
        if (c.wrap)
            top = c.top;
        ButtonVisual v;
        v.pressed = i == pressed;
        const Rgb colour = button ? ButtonTextColor(s, v) : Rgb{c.red, c.green, c.blue};
        const bool centred = button || c.align == BoardAlign::Centre;
        const int shift = v.pressed ? 1 : 0;
        for (const std::string& line : lines) {
            Text(out, colour, c.fontHeight, c.bold, centred ? "middle" : "start",
                 dx + shift + (centred ? (c.left + c.right) / 2 : c.left), dy + shift + Baseline(top, c.fontHeight),
                 line);
            top += c.fontHeight;
        }
    }
    return std::fclose(out) == 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;
    size_t firstSound = 0;
    while (BoardControls()[firstSound].kind != BoardKind::Button)
        ++firstSound;
    const size_t hot = firstSound, pressed = firstSound + 1;
    int failures = 0;
    for (int n = 1; n <= kSkinCount; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "skin%02d", n);
        LoadedSkin skin;
        if (!LoadSkinFile(std::string(argv[1]) + "/" + name + ".she", skin)) {
            ++failures;
            continue;
        }
        const std::string base = std::string(argv[2]) + "/" + name;
        if (!WritePpm(ComposeBoardWindow(skin.skin, hot, pressed), base + ".ppm") ||
            !WriteCaptions(skin.skin, base + ".mvg", argv[3], pressed))
            ++failures;
    }
    return failures == 0 ? 0 : 1;
}
