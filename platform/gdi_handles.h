// Owners for GDI: objects (fonts, bitmaps, regions), memory DCs, DCs borrowed from a
// window, and an object selected into a DC, which is put back. Header-only, for the
// skin engine as much as the program.
#pragma once

#include <windows.h>

#include "base/unique_resource.h"

struct DeleteGdiObject {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};

template <typename T>
using UniqueGdiObject = UniqueResource<T, DeleteGdiObject>;
using UniqueFont = UniqueGdiObject<HFONT>;
using UniqueBitmap = UniqueGdiObject<HBITMAP>;
using UniqueRegion = UniqueGdiObject<HRGN>;

inline UniqueFont MakeFont(const LOGFONTA& font) { return UniqueFont(CreateFontIndirectA(&font)); }

struct DeleteMemoryDc {
    void operator()(HDC dc) const { DeleteDC(dc); }
};

// From CreateCompatibleDC.
using MemoryDc = UniqueResource<HDC, DeleteMemoryDc>;

// A DC from GetDC or GetWindowDC goes back to the window it came from.
struct ReleaseWindowDc {
    HWND window;
    void operator()(HDC dc) const { ReleaseDC(window, dc); }
};
using WindowDc = UniqueResource<HDC, ReleaseWindowDc>;

inline WindowDc ClientDcOf(HWND window) { return WindowDc(GetDC(window), ReleaseWindowDc{window}); }
inline WindowDc WholeWindowDcOf(HWND window) { return WindowDc(GetWindowDC(window), ReleaseWindowDc{window}); }

// Holds what SelectObject replaced and selects it again at the end. Declare it after
// the DC and the object it involves, so it ends first and neither goes while selected.
// Not for regions: selecting one returns its complexity, not an object.
struct PutBackSelection {
    HDC dc;
    void operator()(HGDIOBJ previous) const { SelectObject(dc, previous); }
};
using SelectedObject = UniqueResource<HGDIOBJ, PutBackSelection>;

// Empty (nothing to put back) when the selection failed.
inline SelectedObject Select(HDC dc, HGDIOBJ object)
{
    return SelectedObject(SelectObject(dc, object), PutBackSelection{dc});
}
