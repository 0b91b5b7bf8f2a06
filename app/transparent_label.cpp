// Transparent label window procedure. It never erases: the parent paints
// beneath it first (WS_EX_TRANSPARENT, parents without WS_CLIPCHILDREN), and
// the label then draws its text with a transparent background and no clipping.
#include "app/transparent_label.h"

#include <memory>
#include <string>

#include "skins/label_colour.h"

namespace {

// Owned by the label window from WM_NCCREATE, freed at WM_NCDESTROY; until
// WM_NCCREATE, by its maker. UI thread only.
struct LabelState {
    COLORREF colour;
    HFONT font;
    UINT format;
    HCURSOR cursor;
    void (*onPress)();
};

UINT DrawFormat(const LabelLook& look)
{
    // Prefix processing stays on: no DT_NOPREFIX.
    UINT format = DT_NOCLIP;
    switch (look.horizontal) {
    case HorizontalAlign::Left: format |= DT_LEFT; break;
    case HorizontalAlign::Centre: format |= DT_CENTER; break;
    case HorizontalAlign::Right: format |= DT_RIGHT; break;
    }
    if (look.wordWrap)
        return format | DT_WORDBREAK;  // vertical alignment does not apply to wrapped text
    format |= DT_SINGLELINE;
    switch (look.vertical) {
    case VerticalAlign::Top: format |= DT_TOP; break;
    case VerticalAlign::Centre: format |= DT_VCENTER; break;
    case VerticalAlign::Bottom: format |= DT_BOTTOM; break;
    }
    return format;
}

LabelState* StateOf(HWND label)
{
    return reinterpret_cast<LabelState*>(GetWindowLongPtrA(label, GWLP_USERDATA));
}

void Paint(HWND label, const LabelState& state)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(label, &paint);
    const int length = GetWindowTextLengthA(label);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    GetWindowTextA(label, text.data(), length + 1);
    RECT client;
    GetClientRect(label, &client);
    const int savedDc = SaveDC(dc);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, state.colour);
    SelectObject(dc, state.font);
    DrawTextA(dc, text.c_str(), length, &client, state.format);
    RestoreDC(dc, savedDc);
    EndPaint(label, &paint);
}

LRESULT CALLBACK LabelProcedure(HWND label, UINT message, WPARAM wParam, LPARAM lParam)
{
    LabelState* state = StateOf(label);
    switch (message) {
    case WM_NCCREATE: {
        // The window takes the state over here, so a creation that fails after
        // this frees it once, at WM_NCDESTROY, and one that fails before it
        // leaves it with its maker.
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        state = static_cast<std::unique_ptr<LabelState>*>(create->lpCreateParams)->release();
        SetWindowLongPtrA(label, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
        SetPropA(label, kLabelColourProperty, reinterpret_cast<HANDLE>(UINT_PTR(state->colour) | kLabelColourPresent));
        break;
    }
    case WM_NCDESTROY:
        RemovePropA(label, kLabelColourProperty);
        SetWindowLongPtrA(label, GWLP_USERDATA, 0);
        delete state;
        break;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint(label, *state);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(state->font);
    case WM_SETCURSOR:
        if (state && state->cursor) {
            SetCursor(state->cursor);
            return TRUE;
        }
        break;
    case WM_LBUTTONDOWN:
        if (state && state->onPress) {
            state->onPress();
            return 0;
        }
        break;
    }
    return DefWindowProcA(label, message, wParam, lParam);
}

}  // namespace

bool RegisterTransparentLabelClass(HINSTANCE instance)
{
    WNDCLASSA labelClass = {};
    labelClass.lpfnWndProc = LabelProcedure;
    labelClass.hInstance = instance;
    labelClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    labelClass.hbrBackground = nullptr;  // paints no background
    labelClass.lpszClassName = kTransparentLabelClass;
    return RegisterClassA(&labelClass) != 0;
}

HWND CreateTransparentLabel(HWND parent, int id, const ControlRow& row, HFONT font,
                            void (*onPress)())
{
    const Rgb& rgb = row.look.colour;
    auto state = std::make_unique<LabelState>(LabelState{
        RGB(rgb.red, rgb.green, rgb.blue), font, DrawFormat(row.look),
        row.look.handCursor ? LoadCursorA(nullptr, IDC_HAND) : nullptr, onPress});
    HWND label = CreateWindowExA(WS_EX_TRANSPARENT, kTransparentLabelClass, row.caption,
                                 WS_CHILD | WS_VISIBLE, row.left, row.top, row.width,
                                 row.height, parent, reinterpret_cast<HMENU>(INT_PTR(id)),
                                 reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE)),
                                 &state);
    return label;
}
