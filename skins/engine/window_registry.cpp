// Which windows the engine draws and how: classification, subclassing through
// window properties (no tables to outgrow), the creation hook and the first sweep.
#include "skins/engine/engine.h"

namespace {

const char kProcProp[] = "BoardSkin.Proc";
const char kKindProp[] = "BoardSkin.Kind";
const char kFlagsProp[] = "BoardSkin.Flags";
constexpr int kClassNameLength = 64;
constexpr LONG kButtonTypeMask = 0x0F;

bool SameName(const char* a, const char* b) { return lstrcmpiA(a, b) == 0; }

// The board's own transparent labels: a class of the program itself with no background brush.
bool IsOwnTransparentClass(HWND hwnd)
{
    return GetClassLongPtrA(hwnd, GCLP_HBRBACKGROUND) == 0 &&
           reinterpret_cast<HMODULE>(GetClassLongPtrA(hwnd, GCLP_HMODULE)) == GetModuleHandleA(nullptr);
}

SkinKind Classify(HWND hwnd, const char* className, DWORD style)
{
    if (!(style & WS_CHILD))
        return (style & WS_CAPTION) == WS_CAPTION ? SkinKind::Frame : SkinKind::None;
    if (SameName(className, "Button")) {
        const LONG type = style & kButtonTypeMask;
        if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON)
            return SkinKind::PushButton;
        return type == BS_GROUPBOX ? SkinKind::GroupBox : SkinKind::None;
    }
    if (SameName(className, "Static")) {
        HWND parent = GetParent(hwnd);
        if (parent == nullptr || !IsDialogClass(parent))
            return SkinKind::None;
        const LONG type = style & SS_TYPEMASK;
        if (type == SS_ICON)
            return SkinKind::DialogIcon;
        return type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_LEFTNOWORDWRAP
                   ? SkinKind::DialogText
                   : SkinKind::None;
    }
    return IsOwnTransparentClass(hwnd) ? SkinKind::Label : SkinKind::None;
}

WNDPROC ProcFor(SkinKind kind)
{
    switch (kind) {
    case SkinKind::Frame: return FrameProc;
    case SkinKind::PushButton: return PushButtonProc;
    case SkinKind::GroupBox: return GroupBoxProc;
    case SkinKind::Label: return LabelProc;
    case SkinKind::DialogText:
    case SkinKind::DialogIcon: return DialogStaticProc;
    default: return nullptr;
    }
}

LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && g_engine != nullptr) {
        HWND hwnd = reinterpret_cast<HWND>(wParam);
        const CBT_CREATEWNDA* create = reinterpret_cast<const CBT_CREATEWNDA*>(lParam);
        char name[kClassNameLength] = {};
        GetClassNameA(hwnd, name, kClassNameLength);
        if (create != nullptr && create->lpcs != nullptr) {
            SkinWindow(hwnd, name, create->lpcs->style);
            if (create->lpcs->style & WS_CHILD)
                InvalidateBackdrop(create->lpcs->hwndParent ? TopLevelOf(create->lpcs->hwndParent) : nullptr);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL CALLBACK SkinChild(HWND hwnd, LPARAM)
{
    char name[kClassNameLength] = {};
    GetClassNameA(hwnd, name, kClassNameLength);
    SkinWindow(hwnd, name, static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE)));
    return TRUE;
}

BOOL CALLBACK SkinTopLevel(HWND hwnd, LPARAM)
{
    SkinChild(hwnd, 0);
    EnumChildWindows(hwnd, SkinChild, 0);
    if (KindOf(hwnd) == SkinKind::Frame) {
        InvalidateBackdrop(hwnd);
        RepaintFrame(hwnd);
        RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
    return TRUE;
}

}  // namespace

bool IsDialogClass(HWND hwnd)
{
    char name[kClassNameLength] = {};
    GetClassNameA(hwnd, name, kClassNameLength);
    return SameName(name, "#32770");
}

SkinKind KindOf(HWND hwnd) { return static_cast<SkinKind>(reinterpret_cast<UINT_PTR>(GetPropA(hwnd, kKindProp))); }

WNDPROC OriginalProc(HWND hwnd) { return reinterpret_cast<WNDPROC>(GetPropA(hwnd, kProcProp)); }

UINT_PTR Flags(HWND hwnd) { return reinterpret_cast<UINT_PTR>(GetPropA(hwnd, kFlagsProp)); }

void SetFlags(HWND hwnd, UINT_PTR flags) { SetPropA(hwnd, kFlagsProp, reinterpret_cast<HANDLE>(flags)); }

void SkinWindow(HWND hwnd, const char* className, DWORD style)
{
    if (hwnd == nullptr || KindOf(hwnd) != SkinKind::None)
        return;
    const SkinKind kind = Classify(hwnd, className, style);
    WNDPROC proc = ProcFor(kind);
    if (proc == nullptr)
        return;
    WNDPROC original = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
    if (original == nullptr || !SetPropA(hwnd, kProcProp, reinterpret_cast<HANDLE>(original)))
        return;
    SetPropA(hwnd, kKindProp, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(kind)));
    SetFlags(hwnd, 0);
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
}

void UnskinWindow(HWND hwnd)
{
    WNDPROC original = OriginalProc(hwnd);
    if (original != nullptr && reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC)) == ProcFor(KindOf(hwnd)))
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    RemovePropA(hwnd, kProcProp);
    RemovePropA(hwnd, kKindProp);
    RemovePropA(hwnd, kFlagsProp);
}

void SkinThreadWindows() { EnumThreadWindows(GetCurrentThreadId(), SkinTopLevel, 0); }

bool InstallCreationHook()
{
    if (g_engine->hook == nullptr)
        g_engine->hook = SetWindowsHookExA(WH_CBT, CreationHook, nullptr, GetCurrentThreadId());
    return g_engine->hook != nullptr;
}

LRESULT CallHidden(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    const LONG style = GetWindowLongA(hwnd, GWL_STYLE);
    const bool hide = (style & WS_VISIBLE) != 0;
    if (hide)
        SetWindowLongA(hwnd, GWL_STYLE, style & ~WS_VISIBLE);
    const LRESULT result = CallWindowProcA(OriginalProc(hwnd), hwnd, msg, wParam, lParam);
    if (hide)
        SetWindowLongA(hwnd, GWL_STYLE, GetWindowLongA(hwnd, GWL_STYLE) | WS_VISIBLE);
    return result;
}
