// The main window's control table: every control's name, kind, container,
// rectangle, caption, action and label look. Plain data, no window code.
#pragma once

#include <cstdint>

enum class ControlKind { GroupBox, Button, Label };
enum class ActionKind { None, PlaySfx, StopSfx, OpenSiteAddress, OpenContactLink, OpenGroupLink };
enum class LabelFont { Statement, Link, Note };
enum class HorizontalAlign { Left, Centre, Right };
enum class VerticalAlign { Top, Centre, Bottom };

struct Rgb {
    uint8_t red, green, blue;
};

struct LabelLook {
    LabelFont font;
    Rgb colour;
    HorizontalAlign horizontal;
    VerticalAlign vertical;
    bool wordWrap;
    bool handCursor;
};

struct ControlRow {
    const char* name;
    ControlKind kind;
    int container;  // index of the containing group box in kControls, or kInWindow
    int left, top, width, height;  // in the container's client area
    const char* caption;
    ActionKind action;
    int sfx;  // SoundBank entry for PlaySfx, else 0
    LabelLook look;  // labels only
};

constexpr int kInWindow = -1;
constexpr int kControlCount = 52;

// Containers come before what they hold, so the table is also the creation order.
extern const ControlRow kControls[kControlCount];

// The client area the controls need.
constexpr int kLayoutWidth = 560;
constexpr int kLayoutHeight = 426;
