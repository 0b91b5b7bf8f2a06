// MainWindow: creates the controls from the layout table, binds each button's
// click to its action and runs the start-up steps of the creation handler.
#include "app/main_window.h"

#include "app/actions.h"
#include "app/addresses.h"
#include "app/group_box.h"
#include "app/main_window_look.h"
#include "app/transparent_label.h"
#include "app/welcome.h"
#include "app/window_geometry.h"

#include "skins/skins.h"
#include "hotkeys/hotkey_table.h"

#ifdef BOARD_INSPECTABLE
#include "tests/app/control_probe.h"
#endif

namespace {

constexpr char kTitle[] =
    "【禾木*主持人音效软件】-【" BOARD_SITE_NAME ":" BOARD_SITE_ADDRESS "】-【By禾木】";
constexpr int kFirstControlId = 1000;
constexpr int kSkinNumber = 10;

void RunAction(const ControlRow& row)
{
    switch (row.action) {
    case ActionKind::None: break;
    case ActionKind::PlaySfx: PlaySfxNumber(row.sfx); break;
    case ActionKind::StopSfx: StopSfx(); break;
    case ActionKind::OpenSiteAddress: OpenSiteAddress(); break;
    case ActionKind::OpenContactLink: OpenContactLink(); break;
    case ActionKind::OpenGroupLink: OpenGroupLink(); break;
    }
}

void (*PressAction(ActionKind action))()
{
    return action == ActionKind::OpenSiteAddress ? OpenSiteAddress : nullptr;
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance)
    : instance_(instance), statementFont_(MakeFont(LabelLogFont(LabelFont::Statement))),
      linkFont_(MakeFont(LabelLogFont(LabelFont::Link))), noteFont_(MakeFont(LabelLogFont(LabelFont::Note)))
{
}

MainWindow::~MainWindow()
{
    if (window_)
        DestroyWindow(window_);
}

bool MainWindow::RegisterClasses(HINSTANCE instance)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(kIconResource));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kMainWindowClass;
    return RegisterClassA(&windowClass) != 0 && RegisterTransparentLabelClass(instance);
}

bool MainWindow::Create()
{
    // Keep the outer size unless this system's frame leaves too little client area.
    RECT frame = {0, 0, kLayoutWidth, kLayoutHeight};
    AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
    const OuterRect place = PlaceMainWindow(
        GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
        (frame.right - frame.left) - kLayoutWidth, (frame.bottom - frame.top) - kLayoutHeight,
        kLayoutWidth, kLayoutHeight);
    CreateWindowExA(0, kMainWindowClass, kTitle, kWindowStyle, place.left, place.top, place.width,
                    place.height, nullptr, nullptr, instance_, this);
    return window_ != nullptr;
}

void MainWindow::OnCreated()
{
    SelectSkin(kSkinNumber);
    ShowWelcomePrompt();
    hotkeyTable->Register(StopSfxHotkey, VK_F1);
    hotkeyTable->Register(PlayLaughterHotkey, VK_F2);
}

void MainWindow::Show()
{
    ShowWindow(window_, SW_SHOWNORMAL);
    SetForegroundWindow(window_);
    UpdateWindow(window_);
}

void MainWindow::Close()
{
    SendMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
}

bool MainWindow::Holds(HWND window) const
{
    return window_ && window && (window == window_ || IsChild(window_, window));
}

bool MainWindow::CreateControls()
{
    HFONT guiFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    for (int i = 0; i < kControlCount; ++i) {
        const ControlRow& row = kControls[i];
        HWND parent = row.container == kInWindow ? window_ : controls_[row.container];
        const int id = kFirstControlId + i;
        HWND control = nullptr;
        HFONT font = guiFont;
        switch (row.kind) {
        case ControlKind::GroupBox:
            control = CreateGroupBox(parent, id, row.left, row.top, row.width, row.height,
                                     row.caption);
            break;
        case ControlKind::Button:
            control = CreateWindowExA(0, "BUTTON", row.caption, kButtonStyle, row.left, row.top,
                                      row.width, row.height, parent,
                                      reinterpret_cast<HMENU>(INT_PTR(id)), instance_, nullptr);
            break;
        case ControlKind::Label:
            font = row.look.font == LabelFont::Statement ? statementFont_.get()
                 : row.look.font == LabelFont::Link      ? linkFont_.get()
                                                          : noteFont_.get();
            control = CreateTransparentLabel(parent, id, row, font, PressAction(row.action));
            break;
        }
        if (!control)
            return false;
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
#ifdef BOARD_INSPECTABLE
        PublishControl(control, font);
#endif
        controls_[i] = control;
    }
    return true;
}

void MainWindow::OnCommand(int id, int code)
{
    const int index = id - kFirstControlId;
    if (code != BN_CLICKED || index < 0 || index >= kControlCount)
        return;
    if (kControls[index].kind == ControlKind::Button)
        RunAction(kControls[index]);
}

void MainWindow::OnDestroy()
{
#ifdef BOARD_INSPECTABLE
    for (HWND control : controls_)
        if (control)
            WithdrawControl(control);
#endif
    controls_.fill(nullptr);
    window_ = nullptr;
    // Hidden windows of the platform or a library must not keep the process alive.
    PostQuitMessage(0);
}

LRESULT CALLBACK MainWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
    case WM_NCCREATE: {
        self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        break;
    }
    case WM_CREATE:
        return self->CreateControls() ? 0 : -1;
    case WM_COMMAND:
        if (self)
            self->OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_DESTROY:
        if (self)
            self->OnDestroy();
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
