// Native preview: paints the board's frame, backdrop, group frames and buttons in a
// skin (text is left out: that needs the platform) into a PPM image, so every skin's
// shapes and colours can be looked at without Windows. Usage: skin_preview SKIN OUT.ppm
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "skins/skin_painter.h"

namespace {

constexpr int kWidth = 566, kHeight = 457, kBorder = 3, kCaption = 22;

struct Box {
    int left, top, width, height;
};
// Group boxes and the buttons inside them, in client coordinates of the board.
const Box kGroups[] = {{8, 0, 272, 112}, {8, 120, 272, 112}, {8, 240, 272, 112}, {282, 0, 272, 352},
                       {286, 218, 264, 130}, {0, 378, 560, 48}};
const Box kGroupOrigins[] = {{8, 0, 0, 0}, {8, 120, 0, 0}, {8, 240, 0, 0}, {282, 0, 0, 0}};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    std::ifstream in(argv[1], std::ios::binary);
    const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    SkinContainer c;
    if (!ParseSkinContainer(file.data(), file.size(), c))
        return 1;
    std::vector<uint8_t> payload(c.payloadSize);
    auto state = std::make_unique<LzmaState>();
    Skin s;
    if (LzmaDecode(*state, c.props, c.stream, c.streamLength, payload.data(), payload.size()) != LzmaResult::Ok ||
        !ParseSkin(payload.data(), payload.size(), s))
        return 1;

    std::vector<uint32_t> pixels(size_t(kWidth) * kHeight, 0);
    Canvas canvas{pixels.data(), kWidth, kHeight};
    const PixelRect client{kBorder, kBorder + kCaption, kWidth - kBorder, kHeight - kBorder};
    const FrameLayout l = LayoutFrame(kWidth, kHeight, client, true, true);
    PaintFrame(canvas, s, l, true);
    ButtonVisual normal;
    PaintCaptionButton(canvas, s, l.close, CaptionButton::Close, normal, true);
    PaintCaptionButton(canvas, s, l.minimize, CaptionButton::Minimize, normal, true);
    PaintBackdrop(canvas, s, client, -client.left, -client.top, s.clientHorizontal ? client.Width() : client.Height());
    auto at = [&](Box b) {
        return PixelRect{client.left + b.left, client.top + b.top, client.left + b.left + b.width,
                         client.top + b.top + b.height};
    };
    for (const Box& g : kGroups)
        PaintGroupFrame(canvas, s, at(g), 48, 12);
    int index = 0;
    for (const Box& o : kGroupOrigins) {
        const int rows = o.left == 282 ? 5 : 2;
        for (int row = 0; row < rows; ++row)
            for (int col = 0; col < 3; ++col) {
                ButtonVisual v;
                v.hot = index == 1;
                v.pressed = index == 4;
                v.focused = index == 7;
                PaintButtonFace(canvas, s, at(Box{o.left + 8 + col * 88, o.top + (o.left == 282 ? 16 : 24) + row * 40, 80, 32}), v);
                ++index;
            }
    }
    for (int i = 0; i < 4; ++i)
        PaintButtonFace(canvas, s, at(Box{8 + i * 128, 394, 112, 24}), ButtonVisual{});

    FILE* out = std::fopen(argv[2], "wb");
    if (out == nullptr)
        return 1;
    std::fprintf(out, "P6\n%d %d\n255\n", kWidth, kHeight);
    for (uint32_t p : pixels) {
        const Rgb rgb = UnpackRgb(p);
        std::fputc(rgb.r, out);
        std::fputc(rgb.g, out);
        std::fputc(rgb.b, out);
    }
    std::fclose(out);
    return 0;
}
