// The message box under the skin: once the platform has laid it out, its text,
// icon and buttons are placed again from measured sizes, so the button band the
// backdrop paints never covers the text or the icon's panel. The box grows when
// the platform's layout left too little room; it never shrinks.
#include "skins/engine/engine.h"

namespace {

constexpr int kMaxButtons = 8;
constexpr int kTextLength = 1024;
constexpr int kContentGap = 6;   // between the text or the icon's panel and the band or each other

struct BoxParts {
    HWND text;
    HWND icon;   // only an icon control that holds an icon
    HWND buttons[kMaxButtons];
    int buttonCount;
};

BOOL CALLBACK FindPart(HWND hwnd, LPARAM param)
{
    BoxParts& parts = *reinterpret_cast<BoxParts*>(param);
    // The box itself is not shown yet, so IsWindowVisible would be false for every
    // part; what counts is whether the platform left the part shown or hid it.
    const bool shown = (GetWindowLongA(hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
    if (GetParent(hwnd) != GetAncestor(hwnd, GA_ROOT) || !shown)
        return TRUE;
    switch (KindOf(hwnd)) {
    case SkinKind::DialogText:
        if (parts.text == nullptr)
            parts.text = hwnd;
        break;
    case SkinKind::DialogIcon:
        if (SendMessageA(hwnd, STM_GETICON, 0, 0) != 0)
            parts.icon = hwnd;
        break;
    case SkinKind::PushButton:
        if (parts.buttonCount < kMaxButtons)
            parts.buttons[parts.buttonCount++] = hwnd;
        break;
    default:
        break;
    }
    return TRUE;
}

// Height the text takes when drawn as the skin draws it, in the static's own width.
int MeasuredTextHeight(HWND text, int width)
{
    char caption[kTextLength] = {};
    const int length = GetWindowTextA(text, caption, kTextLength);
    const WindowDc dc = ClientDcOf(text);
    if (!dc)
        return 0;
    const SelectedObject font = Select(dc.get(), FontOf(text));
    UINT format = DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS;
    if (GetWindowLongA(text, GWL_STYLE) & SS_NOPREFIX)
        format |= DT_NOPREFIX;
    RECT measure{0, 0, width, 0};
    DrawTextA(dc.get(), caption, length, &measure, format);
    return measure.bottom - measure.top;
}

void MoveBy(HWND box, HWND child, int dx, int dy)
{
    const RECT r = RectIn(box, child);
    SetWindowPos(child, nullptr, r.left + dx, r.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void LayOutMessageBox(HWND box)
{
    BoxParts parts{};
    EnumChildWindows(box, FindPart, reinterpret_cast<LPARAM>(&parts));
    if (parts.text == nullptr || parts.buttonCount == 0)
        return;

    // The text keeps clear of the icon's panel on the left.
    RECT text = RectIn(box, parts.text);
    const RECT icon = parts.icon != nullptr ? RectIn(box, parts.icon) : RECT{};
    int widen = 0;
    if (parts.icon != nullptr) {
        const int textLeft = icon.right + kDialogIconPadding + kContentGap;
        if (text.left < textLeft) {
            widen = textLeft - text.left;
            MoveBy(box, parts.text, widen, 0);
            OffsetRect(&text, widen, 0);
        }
    }
    const int width = text.right - text.left;
    const int height = MeasuredTextHeight(parts.text, width);
    if (height > text.bottom - text.top) {
        SetWindowPos(parts.text, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        text.bottom = text.top + height;
    }

    // The band, which starts above the highest button, comes below text and icon panel.
    int contentBottom = text.bottom;
    if (parts.icon != nullptr && icon.bottom + kDialogIconPadding > contentBottom)
        contentBottom = icon.bottom + kDialogIconPadding;
    int buttonsTop = RectIn(box, parts.buttons[0]).top;
    for (int i = 1; i < parts.buttonCount; ++i) {
        const int top = RectIn(box, parts.buttons[i]).top;
        if (top < buttonsTop)
            buttonsTop = top;
    }
    const int lower = contentBottom + kContentGap + kDialogBandPadding - buttonsTop;
    const int grow = lower > 0 ? lower : 0;
    if (grow == 0 && widen == 0)
        return;

    for (int i = 0; i < parts.buttonCount; ++i)
        MoveBy(box, parts.buttons[i], widen / 2, grow);   // still centred in the wider box
    RECT outer{};
    GetWindowRect(box, &outer);
    SetWindowPos(box, nullptr, outer.left - widen / 2, outer.top - grow / 2, outer.right - outer.left + widen,
                 outer.bottom - outer.top + grow, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateBackdrop(box);
}
