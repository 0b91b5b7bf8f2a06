// Subclassed BUTTON/BS_GROUPBOX forwarding WM_COMMAND and WM_CTLCOLOR* to the
// top-level window, so a button inside a box (or a box in a box) runs its action.
#include "app/group_box.h"

namespace {

// The BUTTON class procedure, the same for every box. Written once on the UI thread.
WNDPROC buttonProcedure = nullptr;

LRESULT CALLBACK GroupBoxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
        return SendMessageA(GetAncestor(box, GA_ROOT), message, wParam, lParam);
    }
    return CallWindowProcA(buttonProcedure, box, message, wParam, lParam);
}

}  // namespace

HWND CreateGroupBox(HWND parent, int id, int left, int top, int width, int height,
                    const char* caption)
{
    HWND box = CreateWindowExA(0, "BUTTON", caption, WS_CHILD | WS_VISIBLE | BS_GROUPBOX | BS_CENTER,
                               left, top, width, height, parent,
                               reinterpret_cast<HMENU>(INT_PTR(id)),
                               reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE)),
                               nullptr);
    if (!box)
        return nullptr;
    WNDPROC previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GroupBoxProcedure)));
    if (!buttonProcedure)
        buttonProcedure = previous;
    return box;
}
