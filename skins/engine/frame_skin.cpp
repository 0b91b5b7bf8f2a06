// Top-level windows (the board and message boxes): frame and title bar painted by the
// skin, hit-testing matched to that drawing, caption buttons tracked here, and the
// client background taken from the backdrop. Moving stays with the platform.
#include "skins/engine/engine.h"

namespace {

enum FrameFlag : UINT_PTR {
    kActive = 1, kHotClose = 2, kHotMinimize = 4, kPressClose = 8, kPressMinimize = 16, kInside = 32,
    kLeaveTracked = 64,
};
constexpr int kTitleLength = 512;
constexpr int kIconSide = 16;

FrameLayout LayoutOf(HWND hwnd)
{
    RECT window{}, client{};
    GetWindowRect(hwnd, &window);
    GetClientRect(hwnd, &client);
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const PixelRect inner{client.left - window.left, client.top - window.top, client.right - window.left,
                          client.bottom - window.top};
    const LONG style = GetWindowLongA(hwnd, GWL_STYLE);
    return LayoutFrame(window.right - window.left, window.bottom - window.top, inner,
                       (style & WS_MINIMIZEBOX) != 0, true);
}

bool CloseAllowed(HWND hwnd)
{
    HMENU menu = GetSystemMenu(hwnd, FALSE);
    if (menu == nullptr)
        return true;
    const UINT state = GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND);
    return state == static_cast<UINT>(-1) || !(state & (MF_GRAYED | MF_DISABLED));
}

HICON SmallIcon(HWND hwnd)
{
    HICON icon = reinterpret_cast<HICON>(SendMessageA(hwnd, WM_GETICON, ICON_SMALL, 0));
    if (icon == nullptr)
        icon = reinterpret_cast<HICON>(SendMessageA(hwnd, WM_GETICON, ICON_BIG, 0));
    if (icon == nullptr)
        icon = reinterpret_cast<HICON>(GetClassLongPtrA(hwnd, GCLP_HICONSM));
    if (icon == nullptr)
        icon = reinterpret_cast<HICON>(GetClassLongPtrA(hwnd, GCLP_HICON));
    return icon;
}

void PaintTitle(Surface& surface, HWND hwnd, const FrameLayout& l, bool active)
{
    const Skin& s = g_engine->skin;
    HICON icon = SmallIcon(hwnd);
    if (icon != nullptr)
        DrawIconEx(surface.Dc(), l.icon.left, l.icon.top, icon, kIconSide, kIconSide, 0, nullptr, DI_NORMAL);
    char title[kTitleLength] = {};
    const int length = GetWindowTextA(hwnd, title, kTitleLength);
    if (length <= 0)
        return;
    const SelectedObject font = Select(surface.Dc(), g_engine->titleFont ? g_engine->titleFont.get()
                                                                         : GetStockObject(DEFAULT_GUI_FONT));
    RECT box{icon ? l.text.left : l.caption.left + 6, l.text.top, l.text.right, l.text.bottom};
    const UINT format = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX;
    if (active && s.titleStyle != TitleStyle::Flat) {
        // A soft shadow keeps light text readable on any title colour.
        RECT shadow = box;
        OffsetRect(&shadow, 1, 1);
        SetTextColor(surface.Dc(), ToColorRef(MixRgb(s.colors[kTitleBottom], Rgb{0, 0, 0}, 90)));
        DrawTextA(surface.Dc(), title, length, &shadow, format);
    }
    SetTextColor(surface.Dc(), ToColorRef(s.colors[active ? kTitleText : kInactiveText]));
    DrawTextA(surface.Dc(), title, length, &box, format);
}

void PaintNonClient(HWND hwnd)
{
    if (g_engine == nullptr || IsIconic(hwnd) || !IsWindowVisible(hwnd))
        return;
    const FrameLayout l = LayoutOf(hwnd);
    const WindowDc dc = WholeWindowDcOf(hwnd);
    if (!dc)
        return;
    Surface surface(dc.get(), l.window.right, l.window.bottom);   // ends before the DC goes back
    if (!surface.Ok())
        return;
    const UINT_PTR f = Flags(hwnd);
    const bool active = (f & kActive) != 0;
    const Skin& s = g_engine->skin;
    PaintFrame(surface.Pixels(), s, l, active);
    ButtonVisual close;
    close.hot = (f & kHotClose) != 0;
    close.pressed = (f & kPressClose) && (f & kInside);
    close.disabled = !CloseAllowed(hwnd);
    PaintCaptionButton(surface.Pixels(), s, l.close, CaptionButton::Close, close, active);
    if (l.hasMinimize) {
        ButtonVisual minimize;
        minimize.hot = (f & kHotMinimize) != 0;
        minimize.pressed = (f & kPressMinimize) && (f & kInside);
        PaintCaptionButton(surface.Pixels(), s, l.minimize, CaptionButton::Minimize, minimize, active);
    }
    GdiFlush();
    PaintTitle(surface, hwnd, l, active);
    ExcludeClipRect(dc.get(), l.client.left, l.client.top, l.client.right, l.client.bottom);
    BitBlt(dc.get(), 0, 0, l.window.right, l.window.bottom, surface.Dc(), 0, 0, SRCCOPY);
}

void UpdateShape(HWND hwnd)
{
    if (g_engine == nullptr)
        return;
    RECT window{};
    GetWindowRect(hwnd, &window);
    const int radius = g_engine->skin.windowRadius;
    UniqueRegion shape(radius > 0 ? CreateRoundRectRgn(0, 0, window.right - window.left + 1,
                                                       window.bottom - window.top + 1, radius * 2, radius * 2)
                                  : nullptr);
    // Once set, the region belongs to the window; a refused one is still ours to delete.
    if (SetWindowRgn(hwnd, shape.get(), TRUE) != 0)
        shape.release();
}

void SetFlag(HWND hwnd, UINT_PTR flag, bool on)
{
    const UINT_PTR f = Flags(hwnd);
    const UINT_PTR next = on ? (f | flag) : (f & ~flag);
    if (next != f) {
        SetFlags(hwnd, next);
        PaintNonClient(hwnd);
    }
}

FrameHit HitAt(HWND hwnd, LPARAM screen)
{
    RECT window{};
    GetWindowRect(hwnd, &window);
    const int x = static_cast<short>(LOWORD(screen)) - window.left;
    const int y = static_cast<short>(HIWORD(screen)) - window.top;
    return HitTestFrame(LayoutOf(hwnd), x, y);
}

LRESULT HitTest(HWND hwnd, WPARAM wParam, LPARAM lParam)
{
    const LRESULT original = CallWindowProcA(OriginalProc(hwnd), hwnd, WM_NCHITTEST, wParam, lParam);
    if (original == HTCLIENT || original == HTNOWHERE || original == HTTRANSPARENT || original == HTERROR)
        return original;
    switch (HitAt(hwnd, lParam)) {
    case FrameHit::Close: return HTCLOSE;
    case FrameHit::Minimize: return HTMINBUTTON;
    case FrameHit::Caption: return HTCAPTION;
    case FrameHit::Client: return original;
    default: return HTBORDER;
    }
}

void UpdateHover(HWND hwnd, WPARAM hit)
{
    UINT_PTR f = Flags(hwnd) & ~(kHotClose | kHotMinimize);
    if (hit == HTCLOSE && CloseAllowed(hwnd))
        f |= kHotClose;
    if (hit == HTMINBUTTON)
        f |= kHotMinimize;
    if (!(Flags(hwnd) & kLeaveTracked)) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE | TME_NONCLIENT, hwnd, 0};
        if (TrackMouseEvent(&track))
            f |= kLeaveTracked;
    }
    if (f != Flags(hwnd)) {
        SetFlags(hwnd, f);
        PaintNonClient(hwnd);
    }
}

bool Tracking(HWND hwnd) { return (Flags(hwnd) & (kPressClose | kPressMinimize)) != 0; }

// Whether a point of the captured mouse (client coordinates) lies on the pressed caption button.
bool OnPressedButton(HWND hwnd, LPARAM clientPoint)
{
    POINT p{static_cast<short>(LOWORD(clientPoint)), static_cast<short>(HIWORD(clientPoint))};
    ClientToScreen(hwnd, &p);
    const FrameHit hit = HitAt(hwnd, MAKELPARAM(p.x, p.y));
    return (Flags(hwnd) & kPressClose) ? hit == FrameHit::Close : hit == FrameHit::Minimize;
}

LRESULT TrackMove(HWND hwnd, LPARAM clientPoint)
{
    SetFlag(hwnd, kInside, OnPressedButton(hwnd, clientPoint));
    return 0;
}

// The release point decides, as with any button: a release off the button cancels.
LRESULT TrackRelease(HWND hwnd, LPARAM clientPoint)
{
    const UINT_PTR f = Flags(hwnd);
    const bool fire = OnPressedButton(hwnd, clientPoint);
    const WPARAM command = (f & kPressClose) ? SC_CLOSE : SC_MINIMIZE;
    SetFlags(hwnd, f & ~(kPressClose | kPressMinimize | kInside | kHotClose | kHotMinimize));
    ReleaseCapture();
    PaintNonClient(hwnd);
    if (fire)
        SendMessageA(hwnd, WM_SYSCOMMAND, command, 0);
    return 0;
}

LRESULT StartTracking(HWND hwnd, WPARAM hit)
{
    if (hit == HTCLOSE && !CloseAllowed(hwnd))
        return 0;
    SetFlags(hwnd, (Flags(hwnd) & ~(kPressClose | kPressMinimize)) | kInside |
                       (hit == HTCLOSE ? kPressClose : kPressMinimize));
    SetCapture(hwnd);
    PaintNonClient(hwnd);
    return 0;
}

}  // namespace

void RepaintFrame(HWND hwnd)
{
    if (GetActiveWindow() == hwnd)
        SetFlags(hwnd, Flags(hwnd) | kActive);
    UpdateShape(hwnd);
    PaintNonClient(hwnd);
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    WNDPROC original = OriginalProc(hwnd);
    if (g_engine == nullptr || original == nullptr)
        return original ? CallWindowProcA(original, hwnd, msg, wParam, lParam) : DefWindowProcA(hwnd, msg, wParam, lParam);
    switch (msg) {
    case WM_NCPAINT:
        if (IsIconic(hwnd))
            break;
        PaintNonClient(hwnd);
        return 0;
    case WM_NCACTIVATE:
        SetFlags(hwnd, wParam ? (Flags(hwnd) | kActive) : (Flags(hwnd) & ~kActive));
        if (IsIconic(hwnd))
            break;
        PaintNonClient(hwnd);
        return TRUE;
    case WM_SETTEXT:
    case WM_SETICON: {
        const LRESULT result = CallWindowProcA(original, hwnd, msg, wParam, lParam);
        PaintNonClient(hwnd);
        return result;
    }
    case WM_NCHITTEST:
        return HitTest(hwnd, wParam, lParam);
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        if (wParam == HTCLOSE || wParam == HTMINBUTTON)
            return msg == WM_NCLBUTTONDOWN ? StartTracking(hwnd, wParam) : 0;
        break;
    case WM_NCMOUSEMOVE:
        UpdateHover(hwnd, wParam);
        break;
    case WM_NCMOUSELEAVE:
        SetFlags(hwnd, Flags(hwnd) & ~kLeaveTracked);
        SetFlag(hwnd, kHotClose | kHotMinimize, false);
        break;
    case WM_MOUSEMOVE:
        if (Tracking(hwnd))
            return TrackMove(hwnd, lParam);
        SetFlag(hwnd, kHotClose | kHotMinimize, false);
        break;
    case WM_LBUTTONUP:
        if (Tracking(hwnd))
            return TrackRelease(hwnd, lParam);
        break;
    case WM_CAPTURECHANGED:
        if (Tracking(hwnd) && reinterpret_cast<HWND>(lParam) != hwnd) {
            SetFlags(hwnd, Flags(hwnd) & ~(kPressClose | kPressMinimize | kInside));
            PaintNonClient(hwnd);
        }
        break;
    case WM_ERASEBKGND: {
        RECT client{};
        GetClientRect(hwnd, &client);
        if (DrawBackdropFor(hwnd, reinterpret_cast<HDC>(wParam), client))
            return 1;
        break;
    }
    case WM_CTLCOLORDLG:
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    case WM_INITDIALOG: {
        // The platform lays a message box out here; the skin's band needs room of its own.
        const LRESULT result = CallWindowProcA(original, hwnd, msg, wParam, lParam);
        if (IsDialogClass(hwnd))
            LayOutMessageBox(hwnd);
        return result;
    }
    case WM_WINDOWPOSCHANGED: {
        const WINDOWPOS* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (pos != nullptr && !(pos->flags & SWP_NOSIZE)) {
            InvalidateBackdrop(hwnd);
            UpdateShape(hwnd);
        }
        break;
    }
    case WM_NCDESTROY:
        ReleaseBackdrop(hwnd);
        UnskinWindow(hwnd);
        return CallWindowProcA(original, hwnd, msg, wParam, lParam);
    default:
        break;
    }
    return CallWindowProcA(original, hwnd, msg, wParam, lParam);
}
