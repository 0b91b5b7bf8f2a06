// The composed background of each skinned top-level client area: gradient and texture,
// the group frames with their captions, and in message boxes the icon and button areas.
// Children copy their piece of it, so transparent labels show exactly what lies behind.
#include "skins/engine/engine.h"
#include "skins/label_paper.h"

namespace {

constexpr int kMaxTopLevels = 8;
constexpr int kMaxGroups = 64;
constexpr int kCaptionLength = 256;
constexpr int kMaxLabels = kMaxPaperLabels;

// The table is a global of a DLL that runs no static constructors or destructors, so
// it keeps each surface as a plain pointer: made by Compose's owner, freed by Free's.
struct Backdrop {
    HWND topLevel;
    Surface* surface;   // owned; null until composed
    int width, height;
};
Backdrop g_backdrops[kMaxTopLevels];   // UI thread only

struct GroupEntry {
    HWND hwnd;
    int depth;
};
struct Collect {
    HWND topLevel;
    GroupEntry groups[kMaxGroups];
    int groupCount;
    bool dialog;
    int bandTop;
    RECT icon;
    bool hasIcon;
    HWND labels[kMaxLabels];
    int labelCount;
};

int DepthOf(HWND hwnd, HWND topLevel)
{
    int depth = 0;
    for (HWND p = GetParent(hwnd); p != nullptr && p != topLevel; p = GetParent(p))
        ++depth;
    return depth;
}

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM param)
{
    Collect& c = *reinterpret_cast<Collect*>(param);
    if (!IsWindowVisible(hwnd))
        return TRUE;
    const SkinKind kind = KindOf(hwnd);
    if (kind == SkinKind::GroupBox && c.groupCount < kMaxGroups) {
        c.groups[c.groupCount++] = GroupEntry{hwnd, DepthOf(hwnd, c.topLevel)};
    } else if (kind == SkinKind::Label && c.labelCount < kMaxLabels) {
        c.labels[c.labelCount++] = hwnd;
    } else if (c.dialog && kind == SkinKind::PushButton) {
        const RECT r = RectIn(c.topLevel, hwnd);
        if (r.top - kDialogBandPadding < c.bandTop)
            c.bandTop = r.top - kDialogBandPadding;
    } else if (c.dialog && kind == SkinKind::DialogIcon && SendMessageA(hwnd, STM_GETICON, 0, 0) != 0) {
        // A box without an icon may still keep an empty icon control under its text.
        c.icon = RectIn(c.topLevel, hwnd);
        c.hasIcon = true;
    }
    return TRUE;
}

void DrawGroup(Surface& surface, HWND topLevel, HWND group)
{
    const Skin& s = g_engine->skin;
    const RECT r = RectIn(topLevel, group);
    char caption[kCaptionLength] = {};
    const int length = GetWindowTextA(group, caption, kCaptionLength);
    const SelectedObject font = Select(surface.Dc(), FontOf(group));
    TEXTMETRICA metrics{};
    GetTextMetricsA(surface.Dc(), &metrics);
    SIZE extent{0, metrics.tmHeight};
    if (length > 0)
        GetTextExtentPoint32A(surface.Dc(), caption, length, &extent);
    const PixelRect text = PaintGroupFrame(surface.Pixels(), s, PixelRect{r.left, r.top, r.right, r.bottom},
                                           length > 0 ? extent.cx : 0, metrics.tmHeight);
    if (length > 0) {
        RECT box{text.left, text.top, text.right, text.bottom};
        SetTextColor(surface.Dc(), ToColorRef(s.colors[kGroupText]));
        DrawTextA(surface.Dc(), caption, length, &box, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOCLIP);
    }
}

// The room a label's paper may take: a group box's inside below its caption, else the client.
PixelRect RoomFor(Surface& surface, HWND topLevel, HWND parent, int width, int height)
{
    if (parent == nullptr || KindOf(parent) != SkinKind::GroupBox)
        return PixelRect{0, 0, width, height};
    const RECT r = RectIn(topLevel, parent);
    TEXTMETRICA metrics{};
    {
        const SelectedObject font = Select(surface.Dc(), FontOf(parent));
        GetTextMetricsA(surface.Dc(), &metrics);
    }
    return GroupInterior(g_engine->skin, PixelRect{r.left, r.top, r.right, r.bottom}, metrics.tmHeight);
}

// Labels that publish their text colour get the skin's paper that suits it.
void DrawLabelPaper(Surface& surface, const Collect& c, int width, int height)
{
    PaperLabel labels[kMaxLabels];
    int labelCount = 0;
    for (int i = 0; i < c.labelCount; ++i) {
        const UINT_PTR published = reinterpret_cast<UINT_PTR>(GetPropA(c.labels[i], kLabelColourProperty));
        if ((published & kLabelColourPresent) == 0)
            continue;
        const COLORREF colour = static_cast<COLORREF>(published & ~UINT_PTR(kLabelColourPresent));
        HWND parent = GetParent(c.labels[i]);
        const RECT r = RectIn(c.topLevel, c.labels[i]);
        labels[labelCount++] = PaperLabel{PixelRect{r.left, r.top, r.right, r.bottom},
                                          RoomFor(surface, c.topLevel, parent, width, height),
                                          reinterpret_cast<uintptr_t>(parent),
                                          Rgb{GetRValue(colour), GetGValue(colour), GetBValue(colour)}};
    }
    PixelRect groups[kMaxGroups];
    for (int i = 0; i < c.groupCount; ++i) {
        const RECT r = RectIn(c.topLevel, c.groups[i].hwnd);
        groups[i] = PixelRect{r.left, r.top, r.right, r.bottom};
    }
    PaperSheet sheets[kMaxLabels];
    const int sheetCount = PlanLabelPapers(g_engine->skin, labels, labelCount, groups, c.groupCount, sheets);
    PaintLabelPapers(surface.Pixels(), sheets, sheetCount);
}

void Compose(Backdrop& b, HDC reference)
{
    const Skin& s = g_engine->skin;
    UniqueHeapObject<Surface> surface = MakeHeapObject<Surface>(reference, b.width, b.height);
    // A surface that could not be had is not kept: the next paint of the same size tries again.
    if (!surface || !surface.get()->Ok())
        return;
    b.surface = surface.release();
    const PixelRect all{0, 0, b.width, b.height};
    PaintBackdrop(b.surface->Pixels(), s, all, 0, 0, s.clientHorizontal ? b.width : b.height);

    Collect c{};
    c.topLevel = b.topLevel;
    c.dialog = IsDialogClass(b.topLevel);
    c.bandTop = b.height;
    EnumChildWindows(b.topLevel, CollectChild, reinterpret_cast<LPARAM>(&c));
    if (c.dialog && c.bandTop < b.height)
        PaintDialogBand(b.surface->Pixels(), s, PixelRect{0, c.bandTop, b.width, b.height});
    if (c.hasIcon)
        PaintIconArea(b.surface->Pixels(), s,
                      PixelRect{c.icon.left - kDialogIconPadding, c.icon.top - kDialogIconPadding,
                                c.icon.right + kDialogIconPadding, c.icon.bottom + kDialogIconPadding});
    // Outer group boxes first, so nested frames are drawn over their parents' panels.
    for (int i = 1; i < c.groupCount; ++i)
        for (int j = i; j > 0 && c.groups[j - 1].depth > c.groups[j].depth; --j) {
            const GroupEntry t = c.groups[j];
            c.groups[j] = c.groups[j - 1];
            c.groups[j - 1] = t;
        }
    for (int i = 0; i < c.groupCount; ++i)
        DrawGroup(*b.surface, b.topLevel, c.groups[i].hwnd);
    DrawLabelPaper(*b.surface, c, b.width, b.height);
    GdiFlush();
}

void Free(Backdrop& b)
{
    const UniqueHeapObject<Surface> surface(b.surface);
    b = Backdrop{};
}

Backdrop* Find(HWND topLevel, bool create)
{
    for (Backdrop& b : g_backdrops)
        if (b.topLevel == topLevel)
            return &b;
    if (!create)
        return nullptr;
    for (Backdrop& b : g_backdrops)
        if (b.topLevel == nullptr || !IsWindow(b.topLevel)) {
            Free(b);
            b.topLevel = topLevel;
            return &b;
        }
    return nullptr;
}

Backdrop* Ready(HWND topLevel, HDC reference)
{
    if (g_engine == nullptr || topLevel == nullptr || KindOf(topLevel) != SkinKind::Frame)
        return nullptr;
    RECT client{};
    GetClientRect(topLevel, &client);
    Backdrop* b = Find(topLevel, true);
    if (b == nullptr)
        return nullptr;
    if (b->surface != nullptr && (b->width != client.right || b->height != client.bottom))
        Free(*b), b->topLevel = topLevel;
    if (b->surface == nullptr) {
        b->width = client.right;
        b->height = client.bottom;
        Compose(*b, reference);
    }
    return b->surface != nullptr ? b : nullptr;
}

}  // namespace

HWND TopLevelOf(HWND hwnd) { return GetAncestor(hwnd, GA_ROOT); }

RECT RectIn(HWND topLevel, HWND child)
{
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, topLevel, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void InvalidateBackdrop(HWND topLevel)
{
    if (Backdrop* b = Find(topLevel, false)) {
        Free(*b);
        b->topLevel = topLevel;
    }
}

void ReleaseBackdrop(HWND topLevel)
{
    if (Backdrop* b = Find(topLevel, false))
        Free(*b);
}

bool DrawBackdropFor(HWND child, HDC dc, const RECT& part)
{
    HWND topLevel = TopLevelOf(child);
    Backdrop* b = Ready(topLevel, dc);
    if (b == nullptr)
        return false;
    POINT origin{part.left, part.top};
    MapWindowPoints(child, topLevel, &origin, 1);
    return BitBlt(dc, part.left, part.top, part.right - part.left, part.bottom - part.top, b->surface->Dc(),
                  origin.x, origin.y, SRCCOPY) != FALSE;
}
