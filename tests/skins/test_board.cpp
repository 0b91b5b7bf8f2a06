// The board-like test window: same kinds of controls and nesting as the real one,
// group boxes forward their children's notifications to the window.
#include "tests/skins/test_board.h"

#include "platform/gdi_handles.h"

namespace {

const char kWindowClass[] = "SkinTestBoard";
const char kLabelClass[] = "SkinTestLabel";
constexpr int kWidth = 566, kHeight = 457;

TestBoard* g_board;

LRESULT CALLBACK LabelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT: {
        // Paints no background: text only, transparent, like the board's labels.
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        char text[128] = {};
        GetWindowTextA(hwnd, text, sizeof text);
        RECT r;
        GetClientRect(hwnd, &r);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(255, 0, 0));
        {
            const SelectedObject font = Select(dc, GetStockObject(DEFAULT_GUI_FONT));
            DrawTextA(dc, text, -1, &r, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
        }
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_LBUTTONDOWN:
        if (g_board)
            ++g_board->labelPresses;
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

WNDPROC g_groupProc;

LRESULT CALLBACK GroupForwardProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COMMAND)
        return SendMessageA(GetParent(hwnd), msg, wParam, lParam);
    return CallWindowProcA(g_groupProc, hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && g_board) {
            ++g_board->clicks;
            g_board->lastClickedId = LOWORD(wParam);
        }
        return 0;
    case WM_CLOSE:
        if (g_board)
            ++g_board->closeRequests;
        DestroyWindow(hwnd);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

HWND Make(const char* cls, const char* text, DWORD style, int x, int y, int w, int h, HWND parent, int id)
{
    HWND hwnd = CreateWindowExA(0, cls, text, style | WS_CHILD | WS_VISIBLE, x, y, w, h, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return hwnd;
}

HWND Group(const char* text, int x, int y, int w, int h, HWND parent)
{
    HWND g = Make("Button", text, BS_GROUPBOX, x, y, w, h, parent, 0);
    g_groupProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(g, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GroupForwardProc)));
    return g;
}

bool Register()
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kWindowClass;
    WNDCLASSA lc{};
    lc.lpfnWndProc = LabelProc;
    lc.hInstance = wc.hInstance;
    lc.hCursor = wc.hCursor;
    lc.lpszClassName = kLabelClass;
    static bool registered = RegisterClassA(&wc) && RegisterClassA(&lc);
    return registered;
}

}  // namespace

bool CreateTestBoard(TestBoard& board)
{
    if (!Register())
        return false;
    g_board = &board;
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    board.window = CreateWindowExA(0, kWindowClass, "Skin test board", style, 40, 30, kWidth, kHeight, nullptr,
                                   nullptr, GetModuleHandleA(nullptr), nullptr);
    if (board.window == nullptr)
        return false;
    HWND w = board.window;
    const DWORD push = BS_PUSHBUTTON | BS_MULTILINE;
    int id = kFirstButtonId;
    const int groupTops[] = {0, 120, 240};
    for (int g = 0; g < 3; ++g) {
        HWND box = Group(g == 0 ? "Common" : g == 1 ? "Background" : "People", 8, groupTops[g], 272, 112, w);
        for (int row = 0; row < 2; ++row)
            for (int col = 0; col < 3; ++col) {
                HWND b = Make("Button", "Sound", push, 8 + col * 88, 24 + row * 40, 80, 32, box, id++);
                if (!board.firstButton)
                    board.firstButton = b;
            }
    }
    HWND big = Group("Other", 282, 0, 272, 352, w);
    for (int row = 0; row < 5; ++row)
        for (int col = 0; col < 3; ++col)
            Make("Button", "Effect", push, 8 + col * 88, 16 + row * 40, 80, 32, big, id++);
    board.nestedGroup = Group("Statement", 4, 218, 264, 130, big);
    board.label = Make(kLabelClass, "First statement line", 0, 35, 14, 192, 16, board.nestedGroup, 0);
    Make(kLabelClass, "Second statement line", 0, 35, 30, 208, 16, board.nestedGroup, 0);
    board.linkLabel = Make(kLabelClass, "Link line to the site", 0, 69, 353, 424, 16, w, 0);
    HWND bottom = Group("More", 0, 378, 560, 48, w);
    board.stopButton = Make("Button", "Stop", push, 8, 16, 112, 24, bottom, kStopButtonId);
    Make("Button", "Site", push, 136, 16, 112, 24, bottom, kStopButtonId + 1);
    ShowWindow(w, SW_SHOW);
    UpdateWindow(w);
    PumpMessages();
    return true;
}

void PumpMessages()
{
    MSG msg;
    for (int round = 0; round < 3; ++round) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(20);
    }
}
