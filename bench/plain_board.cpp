// Baselines for the board's start-up and rest: its window built plainly, from the
// same layout table, with the same welcome box, and no skin, loader or sound.
//   plain_board.exe             52 controls, then the welcome box, then the window
//   plain_board.exe board-poll  52 controls and the 255-key poll on its 10 ms timer, no box
//   plain_board.exe window-poll one empty window and the same poll, no box
//   plain_board.exe window      one empty window, nothing else
#include <windows.h>

#include <cstring>

#include "app/layout.h"
#include "app/main_window_look.h"
#include "app/welcome.h"
#include "app/window_geometry.h"
#include "hotkeys/hotkey_table.h"
#include "platform/gdi_handles.h"
#include "platform/message_box.h"

namespace {

DWORD WINAPI NoAction(LPVOID) { return 0; }

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The board's three label fonts, its group boxes, buttons and labels, as stock controls.
void CreateControls(HWND window, HINSTANCE instance, const UniqueFont (&fonts)[3])
{
    HWND controls[kControlCount] = {};
    for (int i = 0; i < kControlCount; ++i) {
        const ControlRow& row = kControls[i];
        HWND parent = row.container == kInWindow ? window : controls[row.container];
        const char* kind = row.kind == ControlKind::Label ? "STATIC" : "BUTTON";
        DWORD style = WS_CHILD | WS_VISIBLE;
        HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        if (row.kind == ControlKind::GroupBox)
            style |= BS_GROUPBOX;
        else if (row.kind == ControlKind::Button)
            style = kButtonStyle;
        else
            font = fonts[int(row.look.font)].get();
        controls[i] = CreateWindowExA(0, kind, row.caption, style, row.left, row.top, row.width, row.height,
                                      parent, reinterpret_cast<HMENU>(INT_PTR(1000 + i)), instance, nullptr);
        SendMessageA(controls[i], WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    const bool poll = std::strstr(commandLine, "poll") != nullptr;
    const bool controls = std::strncmp(commandLine, "window", 6) != 0;
    const bool box = commandLine[0] == 0;
    HotkeyTable table;
    hotkeyTable = &table;
    const UniqueFont fonts[3] = {MakeFont(LabelLogFont(LabelFont::Statement)), MakeFont(LabelLogFont(LabelFont::Link)),
                                 MakeFont(LabelLogFont(LabelFont::Note))};
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = PlainProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "PlainBoard";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "PlainBoard", "plain board", kWindowStyle,
                                  (GetSystemMetrics(SM_CXSCREEN) - kOuterWidth) / 2,
                                  (GetSystemMetrics(SM_CYSCREEN) - kOuterHeight) / 2, kOuterWidth, kOuterHeight,
                                  nullptr, nullptr, instance, nullptr);
    if (controls)
        CreateControls(window, instance, fonts);
    if (box)
        ShowMessageBox(kWelcomeText, kMessageBoxYesNo);
    if (poll) {
        table.Register(NoAction, VK_F1);
        table.Register(NoAction, VK_F2);
    }
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    hotkeyTable = nullptr;
    return 0;
}
