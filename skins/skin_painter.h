// Draws every skinned element (frame and title bar, caption buttons, backdrop, group
// frames, push buttons, message box areas) onto a Canvas; text is left to the caller.
// Also lays out and hit-tests the title bar. Portable.
#pragma once

#include "skins/skin_raster.h"

enum class FrameHit { Client, Caption, Close, Minimize, Border };
enum class CaptionButton { Close, Minimize };

struct FrameLayout {
    PixelRect window, client, caption, close, minimize, icon, text;
    bool hasMinimize;
};

// window is (0,0,w,h); client is the client area in window coordinates.
FrameLayout LayoutFrame(int width, int height, PixelRect client, bool hasMinimize, bool hasIcon);
FrameHit HitTestFrame(const FrameLayout& layout, int x, int y);

struct ButtonVisual {
    bool pressed = false, hot = false, focused = false, disabled = false;
};

void PaintFrame(Canvas& c, const Skin& s, const FrameLayout& layout, bool active);
void PaintCaptionButton(Canvas& c, const Skin& s, PixelRect r, CaptionButton kind, ButtonVisual v,
                        bool active);
// Fills area with the client gradient and texture as if the canvas were placed at
// (originX, originY) of a surface of surfaceHeight (width) rows, so pieces line up.
void PaintBackdrop(Canvas& c, const Skin& s, PixelRect area, int originX, int originY, int surfaceExtent);
// Group frame around box; the caption (captionWidth x captionHeight) is centred on the top
// line. Returns where the caption text goes.
PixelRect PaintGroupFrame(Canvas& c, const Skin& s, PixelRect box, int captionWidth, int captionHeight);
// Inside a group frame: clear of its lines and below its caption (or header band).
PixelRect GroupInterior(const Skin& s, PixelRect box, int captionHeight);
void PaintButtonFace(Canvas& c, const Skin& s, PixelRect r, ButtonVisual v);
void PaintDialogBand(Canvas& c, const Skin& s, PixelRect band);
void PaintIconArea(Canvas& c, const Skin& s, PixelRect r);

// Text colour for a button in state v.
Rgb ButtonTextColor(const Skin& s, ButtonVisual v);
