// Child controls: push buttons (normal, hover, pressed, focus, double-buffered), group
// boxes and transparent labels (their piece of the backdrop), and the message box's
// text and icon. Input still goes to the controls' own procedures untouched.
#include "skins/engine/engine.h"

namespace {

constexpr UINT_PTR kHot = 1;
constexpr UINT_PTR kLeaveTracked = 2;
constexpr int kTextLength = 1024;
constexpr int kTextPadding = 3;

RECT ClientOf(HWND hwnd)
{
    RECT r{};
    GetClientRect(hwnd, &r);
    return r;
}

LRESULT Original(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    WNDPROC original = OriginalProc(hwnd);
    return original ? CallWindowProcA(original, hwnd, msg, wParam, lParam) : DefWindowProcA(hwnd, msg, wParam, lParam);
}

// Backdrop under the whole client area into a fresh surface; the basis of every control paint.
bool FillFromBackdrop(HWND hwnd, Surface& surface)
{
    const RECT r = ClientOf(hwnd);
    return surface.Ok() && DrawBackdropFor(hwnd, surface.Dc(), r);
}

void PaintPushButton(HWND hwnd, HDC target)
{
    const RECT r = ClientOf(hwnd);
    Surface surface(target, r.right, r.bottom);
    if (!FillFromBackdrop(hwnd, surface))
        return;
    const Skin& s = g_engine->skin;
    const LRESULT state = SendMessageA(hwnd, BM_GETSTATE, 0, 0);
    ButtonVisual v;
    v.pressed = (state & BST_PUSHED) != 0;
    v.focused = (state & BST_FOCUS) != 0;
    v.hot = (Flags(hwnd) & kHot) != 0;
    v.disabled = !IsWindowEnabled(hwnd);
    PaintButtonFace(surface.Pixels(), s, PixelRect{0, 0, r.right, r.bottom}, v);

    char text[kTextLength] = {};
    const int length = GetWindowTextA(hwnd, text, kTextLength);
    if (length > 0) {
        const SelectedObject font = Select(surface.Dc(), FontOf(hwnd));
        SetTextColor(surface.Dc(), ToColorRef(ButtonTextColor(s, v)));
        RECT box{kTextPadding, 0, r.right - kTextPadding, r.bottom};
        UINT format = DT_CENTER;
        if (GetWindowLongA(hwnd, GWL_STYLE) & BS_MULTILINE) {
            RECT measure = box;
            DrawTextA(surface.Dc(), text, length, &measure, format | DT_WORDBREAK | DT_CALCRECT);
            const int height = measure.bottom - measure.top;
            box.top = (r.bottom - height) / 2;
            box.bottom = box.top + height;
            format |= DT_WORDBREAK;
        } else {
            format |= DT_SINGLELINE | DT_VCENTER;
        }
        if (v.pressed)
            OffsetRect(&box, 1, 1);
        DrawTextA(surface.Dc(), text, length, &box, format);
    }
    BitBlt(target, 0, 0, r.right, r.bottom, surface.Dc(), 0, 0, SRCCOPY);
}

void PaintBackdropOnly(HWND hwnd, HDC target)
{
    const RECT r = ClientOf(hwnd);
    DrawBackdropFor(hwnd, target, r);
}

void PaintDialogStatic(HWND hwnd, HDC target)
{
    const RECT r = ClientOf(hwnd);
    Surface surface(target, r.right, r.bottom);
    if (!FillFromBackdrop(hwnd, surface))
        return;
    if (KindOf(hwnd) == SkinKind::DialogIcon) {
        HICON icon = reinterpret_cast<HICON>(SendMessageA(hwnd, STM_GETICON, 0, 0));
        if (icon != nullptr)
            DrawIconEx(surface.Dc(), 0, 0, icon, r.right, r.bottom, 0, nullptr, DI_NORMAL);
    } else {
        char text[kTextLength] = {};
        const int length = GetWindowTextA(hwnd, text, kTextLength);
        const LONG style = GetWindowLongA(hwnd, GWL_STYLE);
        const LONG type = style & SS_TYPEMASK;
        UINT format = DT_EXPANDTABS | (type == SS_LEFTNOWORDWRAP ? DT_SINGLELINE : DT_WORDBREAK);
        if (type == SS_CENTER)
            format |= DT_CENTER;
        if (type == SS_RIGHT)
            format |= DT_RIGHT;
        if (style & SS_NOPREFIX)
            format |= DT_NOPREFIX;
        const SelectedObject font = Select(surface.Dc(), FontOf(hwnd));
        SetTextColor(surface.Dc(), ToColorRef(g_engine->skin.colors[kDialogText]));
        RECT box = r;
        DrawTextA(surface.Dc(), text, length, &box, format);
    }
    BitBlt(target, 0, 0, r.right, r.bottom, surface.Dc(), 0, 0, SRCCOPY);
}

using Painter = void (*)(HWND, HDC);

LRESULT PaintWith(HWND hwnd, Painter painter)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (dc != nullptr)
        painter(hwnd, dc);
    EndPaint(hwnd, &ps);
    return 0;
}

void PaintNow(HWND hwnd, Painter painter)
{
    if (!IsWindowVisible(hwnd))
        return;
    const WindowDc dc = ClientDcOf(hwnd);
    if (dc)
        painter(hwnd, dc.get());
}

// The label draws only its text: the skin's background goes under its update region first.
void PaintUnderLabel(HWND hwnd)
{
    const UniqueRegion update(CreateRectRgn(0, 0, 0, 0));
    if (!update || GetUpdateRgn(hwnd, update.get(), FALSE) == NULLREGION)
        return;
    const WindowDc dc = ClientDcOf(hwnd);
    if (!dc)
        return;
    SelectClipRgn(dc.get(), update.get());
    PaintBackdropOnly(hwnd, dc.get());
}

// Messages on which the platform's button or static draws at once, outside WM_PAINT.
bool DrawsDirectly(UINT msg)
{
    switch (msg) {
    case BM_SETSTATE:
    case BM_SETSTYLE:
    case BM_SETCHECK:
    case BM_SETIMAGE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_SETTEXT:
    case WM_SETFONT:
    case WM_UPDATEUISTATE:
    case STM_SETICON:
    case STM_SETIMAGE:
        return true;
    default:
        return false;
    }
}

// Shared handling of painting for the controls drawn entirely by the skin.
bool HandlePaint(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, Painter painter, LRESULT& result)
{
    switch (msg) {
    case WM_PAINT:
        result = PaintWith(hwnd, painter);
        return true;
    case WM_PRINTCLIENT:
        painter(hwnd, reinterpret_cast<HDC>(wParam));
        result = 0;
        return true;
    case WM_ERASEBKGND:
        result = 1;
        return true;
    default:
        if (!DrawsDirectly(msg))
            return false;
        result = CallHidden(hwnd, msg, wParam, lParam);
        PaintNow(hwnd, painter);
        return true;
    }
}

void SetHot(HWND hwnd, bool hot)
{
    const UINT_PTR f = Flags(hwnd);
    if (((f & kHot) != 0) == hot)
        return;
    SetFlags(hwnd, hot ? (f | kHot) : (f & ~(kHot | kLeaveTracked)));
    PaintNow(hwnd, PaintPushButton);
}

}  // namespace

LRESULT CALLBACK PushButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (g_engine == nullptr)
        return Original(hwnd, msg, wParam, lParam);
    LRESULT result = 0;
    switch (msg) {
    case WM_MOUSEMOVE:
        if (!(Flags(hwnd) & kLeaveTracked)) {
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd, 0};
            if (TrackMouseEvent(&track))
                SetFlags(hwnd, Flags(hwnd) | kLeaveTracked);
        }
        SetHot(hwnd, true);
        return Original(hwnd, msg, wParam, lParam);
    case WM_MOUSELEAVE:
        SetFlags(hwnd, Flags(hwnd) & ~kLeaveTracked);
        SetHot(hwnd, false);
        return Original(hwnd, msg, wParam, lParam);
    case WM_WINDOWPOSCHANGED: {
        // Message boxes place their buttons after creation; the button band follows them.
        const WINDOWPOS* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (pos != nullptr && (pos->flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE))
            InvalidateBackdrop(TopLevelOf(hwnd));
        return Original(hwnd, msg, wParam, lParam);
    }
    case WM_NCDESTROY:
        result = Original(hwnd, msg, wParam, lParam);
        UnskinWindow(hwnd);
        return result;
    default:
        if (HandlePaint(hwnd, msg, wParam, lParam, PaintPushButton, result))
            return result;
        return Original(hwnd, msg, wParam, lParam);
    }
}

LRESULT CALLBACK GroupBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (g_engine == nullptr)
        return Original(hwnd, msg, wParam, lParam);
    LRESULT result = 0;
    switch (msg) {
    case WM_SETTEXT:
    case WM_SETFONT:
    case WM_ENABLE:
        // The caption lives in the backdrop: rebuild it and let everything above repaint.
        result = CallHidden(hwnd, msg, wParam, lParam);
        InvalidateBackdrop(TopLevelOf(hwnd));
        RedrawWindow(TopLevelOf(hwnd), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        return result;
    case WM_WINDOWPOSCHANGED:
        InvalidateBackdrop(TopLevelOf(hwnd));
        return Original(hwnd, msg, wParam, lParam);
    case WM_NCDESTROY:
        result = Original(hwnd, msg, wParam, lParam);
        UnskinWindow(hwnd);
        return result;
    default:
        if (HandlePaint(hwnd, msg, wParam, lParam, PaintBackdropOnly, result))
            return result;
        return Original(hwnd, msg, wParam, lParam);
    }
}

LRESULT CALLBACK LabelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (g_engine == nullptr)
        return Original(hwnd, msg, wParam, lParam);
    switch (msg) {
    case WM_PAINT:
        PaintUnderLabel(hwnd);
        return Original(hwnd, msg, wParam, lParam);
    case WM_ERASEBKGND:
        return 1;
    case WM_NCDESTROY: {
        const LRESULT result = Original(hwnd, msg, wParam, lParam);
        UnskinWindow(hwnd);
        return result;
    }
    default:
        return Original(hwnd, msg, wParam, lParam);
    }
}

LRESULT CALLBACK DialogStaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (g_engine == nullptr)
        return Original(hwnd, msg, wParam, lParam);
    LRESULT result = 0;
    if (msg == WM_NCDESTROY) {
        result = Original(hwnd, msg, wParam, lParam);
        UnskinWindow(hwnd);
        return result;
    }
    if (msg == WM_WINDOWPOSCHANGED && KindOf(hwnd) == SkinKind::DialogIcon)
        InvalidateBackdrop(TopLevelOf(hwnd));
    if (HandlePaint(hwnd, msg, wParam, lParam, PaintDialogStatic, result))
        return result;
    return Original(hwnd, msg, wParam, lParam);
}
