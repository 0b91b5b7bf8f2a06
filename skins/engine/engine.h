// Shared state and helpers of the skin engine DLL. Everything runs on the thread that
// called SkinH_AttachRes (the user-interface thread); no field is touched elsewhere.
#pragma once

#include <windows.h>

#include "platform/gdi_handles.h"
#include "platform/memory_blocks.h"
#include "skins/skin_painter.h"

enum class SkinKind : UINT_PTR { None, Frame, PushButton, GroupBox, Label, DialogText, DialogIcon };

struct EngineState {
    Skin skin;
    UniqueHeapBlock<uint8_t> payload;   // decompressed skin; skin.tile points into it
    UniqueFont titleFont;
    HHOOK hook;
};

// Null until the first good skin arrives; then the engine draws. Made once and kept
// for the life of the process: windows call into it until the very end.
extern EngineState* g_engine;

// A 32-bit top-down DIB selected into a memory DC, seen as a Canvas. Owns both.
class Surface {
public:
    Surface(HDC reference, int width, int height);
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    bool Ok() const { return static_cast<bool>(bitmap_); }
    HDC Dc() const { return dc_.get(); }
    Canvas& Pixels() { GdiFlush(); return canvas_; }

private:
    // In this order, so the bitmap leaves the DC before either is deleted.
    MemoryDc dc_;
    UniqueBitmap bitmap_;
    SelectedObject selection_;
    Canvas canvas_{nullptr, 0, 0};
};

// Window bookkeeping (window_registry.cpp).
SkinKind KindOf(HWND hwnd);
bool IsDialogClass(HWND hwnd);   // the platform's dialog class, message boxes among them
WNDPROC OriginalProc(HWND hwnd);
UINT_PTR Flags(HWND hwnd);
void SetFlags(HWND hwnd, UINT_PTR flags);
void SkinWindow(HWND hwnd, const char* className, DWORD style);   // subclasses when it is ours to draw
void UnskinWindow(HWND hwnd);
void SkinThreadWindows();
bool InstallCreationHook();
// Calls the original procedure with the window hidden from drawing, for messages on
// which the platform control paints directly; the caller repaints afterwards.
LRESULT CallHidden(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// A message box's button band starts this far above its highest button, and its
// icon's panel reaches this far around the icon (backdrop.cpp, message_box_layout.cpp).
constexpr int kDialogBandPadding = 10;
constexpr int kDialogIconPadding = 8;

// Backdrop of a top-level client area (backdrop.cpp): gradient, texture, group frames.
void InvalidateBackdrop(HWND topLevel);
void ReleaseBackdrop(HWND topLevel);
// Copies the backdrop under child's client rectangle (dest at 0,0 of dc), or false.
bool DrawBackdropFor(HWND child, HDC dc, const RECT& clientPart);
HWND TopLevelOf(HWND hwnd);
// A child's window rectangle in its top-level window's client coordinates.
RECT RectIn(HWND topLevel, HWND child);

// Lays a message box out again from measured sizes once the platform has laid it
// out (message_box_layout.cpp): text and icon panel above the band, grown if need be.
void LayOutMessageBox(HWND box);

// Window procedures (frame_skin.cpp, control_skin.cpp).
LRESULT CALLBACK FrameProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK PushButtonProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK GroupBoxProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK LabelProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK DialogStaticProc(HWND, UINT, WPARAM, LPARAM);
void RepaintFrame(HWND hwnd);

HFONT FontOf(HWND hwnd);
COLORREF ToColorRef(Rgb c);
