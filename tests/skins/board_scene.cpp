// Native composition of the board's client area from the layout, in the engine's
// order: backdrop over the whole client, group frames by depth, then label papers.
#include "tests/skins/board_scene.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>

#include "skins/label_paper.h"

namespace {

// A group box's caption cell: the default GUI font's line height.
constexpr int kCaptionLineHeight = 12;
constexpr unsigned kUtf8Continuation = 0xC0, kUtf8ContinuationTag = 0x80, kAsciiEnd = 0x80;

}  // namespace

bool LoadSkinFile(const std::string& path, LoadedSkin& out)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    SkinContainer container;
    if (!ParseSkinContainer(file.data(), file.size(), container))
        return false;
    out.payload.assign(container.payloadSize, 0);
    auto state = std::make_unique<LzmaState>();
    return LzmaDecode(*state, container.props, container.stream, container.streamLength, out.payload.data(),
                      out.payload.size()) == LzmaResult::Ok &&
           ParseSkin(out.payload.data(), out.payload.size(), out.skin);
}

int ModelTextWidth(const char* utf8, int em, bool bold)
{
    int width = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(utf8); *p; ++p) {
        if ((*p & kUtf8Continuation) == kUtf8ContinuationTag)
            continue;
        width += (*p < kAsciiEnd ? em / 2 : em) + (bold ? 1 : 0);
    }
    return width;
}

PixelRect RectOf(const BoardControl& c) { return PixelRect{c.left, c.top, c.right, c.bottom}; }

BoardImage ComposeBoardClient(const Skin& s, std::vector<PixelRect>* captions)
{
    const std::vector<BoardControl>& controls = BoardControls();
    BoardImage image;
    image.width = BoardClientWidth();
    image.height = BoardClientHeight();
    image.pixels.assign(size_t(image.width) * size_t(image.height), 0);
    Canvas canvas = image.CanvasOf();
    PaintBackdrop(canvas, s, PixelRect{0, 0, image.width, image.height}, 0, 0,
                  s.clientHorizontal ? image.width : image.height);

    std::vector<size_t> groups;
    for (size_t i = 0; i < controls.size(); ++i)
        if (controls[i].kind == BoardKind::Group)
            groups.push_back(i);
    std::stable_sort(groups.begin(), groups.end(),
                     [&](size_t a, size_t b) { return controls[a].depth < controls[b].depth; });
    if (captions)
        captions->assign(controls.size(), PixelRect{0, 0, 0, 0});
    std::vector<PixelRect> groupRects;
    for (size_t g : groups) {
        const BoardControl& c = controls[g];
        const PixelRect text = PaintGroupFrame(canvas, s, RectOf(c),
                                               ModelTextWidth(c.caption, c.fontHeight, c.bold), kCaptionLineHeight);
        if (captions)
            (*captions)[g] = text;
        groupRects.push_back(RectOf(c));
    }

    std::vector<PaperLabel> labels;
    for (const BoardControl& c : controls) {
        if (c.kind != BoardKind::Label)
            continue;
        PixelRect room{0, 0, image.width, image.height};
        if (c.container >= 0) {
            const BoardControl& box = controls[size_t(c.container)];
            room = GroupInterior(s, RectOf(box), kCaptionLineHeight);
        }
        labels.push_back(PaperLabel{RectOf(c), room, uintptr_t(c.container + 1), Rgb{c.red, c.green, c.blue}});
    }
    std::vector<PaperSheet> sheets(labels.size());
    const int count = PlanLabelPapers(s, labels.data(), int(labels.size()), groupRects.data(),
                                      int(groupRects.size()), sheets.data());
    PaintLabelPapers(canvas, sheets.data(), count);
    return image;
}

BoardImage PaintBoardButton(const BoardImage& client, const Skin& s, const BoardControl& button, ButtonVisual v)
{
    BoardImage image;
    image.width = button.right - button.left;
    image.height = button.bottom - button.top;
    for (int y = button.top; y < button.bottom; ++y)
        for (int x = button.left; x < button.right; ++x)
            image.pixels.push_back(client.At(x, y));
    Canvas canvas = image.CanvasOf();
    PaintButtonFace(canvas, s, PixelRect{0, 0, image.width, image.height}, v);
    return image;
}

BoardImage ComposeBoardWindow(const Skin& s, size_t hotButton, size_t pressedButton)
{
    BoardImage window;
    window.width = kBoardOuterWidth;
    window.height = kBoardOuterHeight;
    window.pixels.assign(size_t(window.width) * size_t(window.height), 0);
    Canvas canvas = window.CanvasOf();
    const PixelRect client{kBoardBorder, kBoardBorder + kBoardCaption, kBoardBorder + BoardClientWidth(),
                           kBoardBorder + kBoardCaption + BoardClientHeight()};
    const FrameLayout frame = LayoutFrame(window.width, window.height, client, true, true);
    PaintFrame(canvas, s, frame, true);
    PaintCaptionButton(canvas, s, frame.close, CaptionButton::Close, ButtonVisual{}, true);
    PaintCaptionButton(canvas, s, frame.minimize, CaptionButton::Minimize, ButtonVisual{}, true);

    const BoardImage inside = ComposeBoardClient(s);
    for (int y = 0; y < inside.height; ++y)
        for (int x = 0; x < inside.width; ++x)
            window.pixels[size_t(y + client.top) * size_t(window.width) + size_t(x + client.left)] = inside.At(x, y);
    const std::vector<BoardControl>& controls = BoardControls();
    for (size_t i = 0; i < controls.size(); ++i) {
        if (controls[i].kind != BoardKind::Button)
            continue;
        ButtonVisual v;
        v.hot = i == hotButton || i == pressedButton;
        v.pressed = i == pressedButton;
        PixelRect r = RectOf(controls[i]);
        r = PixelRect{r.left + client.left, r.top + client.top, r.right + client.left, r.bottom + client.top};
        PaintButtonFace(canvas, s, r, v);
    }
    return window;
}
