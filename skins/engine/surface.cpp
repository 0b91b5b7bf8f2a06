// The memory surface every skinned paint draws into before one blit to the screen.
#include "skins/engine/engine.h"

Surface::Surface(HDC reference, int width, int height)
{
    if (width <= 0 || height <= 0)
        return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;   // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    dc_ = CreateCompatibleDC(reference);
    if (dc_ == nullptr)
        return;
    bitmap_ = CreateDIBSection(reference, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap_ == nullptr || bits == nullptr) {
        if (bitmap_)
            DeleteObject(bitmap_);
        bitmap_ = nullptr;
        return;
    }
    previous_ = SelectObject(dc_, bitmap_);
    canvas_ = Canvas{static_cast<uint32_t*>(bits), width, height};
    SetBkMode(dc_, TRANSPARENT);
}

Surface::~Surface()
{
    if (dc_ && previous_)
        SelectObject(dc_, previous_);
    if (bitmap_)
        DeleteObject(bitmap_);
    if (dc_)
        DeleteDC(dc_);
}

HFONT FontOf(HWND hwnd)
{
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0));
    return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

COLORREF ToColorRef(Rgb c) { return RGB(c.r, c.g, c.b); }
