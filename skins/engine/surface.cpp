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
    dc_.reset(CreateCompatibleDC(reference));
    if (!dc_)
        return;
    bitmap_.reset(CreateDIBSection(reference, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap_ || bits == nullptr) {
        bitmap_.reset();
        return;
    }
    selection_ = Select(dc_.get(), bitmap_.get());
    canvas_ = Canvas{static_cast<uint32_t*>(bits), width, height};
    SetBkMode(dc_.get(), TRANSPARENT);
}

HFONT FontOf(HWND hwnd)
{
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0));
    return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

COLORREF ToColorRef(Rgb c) { return RGB(c.r, c.g, c.b); }
