// The skin engine DLL under Wine: its entry accepts module handle 0, the export is
// found, a bad skin leaves windows plain, and skin 10 paints the board in its own
// colours while clicks, label presses, caption buttons and message box results work.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "base/byte_buffer.h"
#include "platform/gdi_handles.h"
#include "skins/skin_painter.h"
#include "tests/skins/test_board.h"

extern "C" const ByteBuffer TestSkin10;

namespace {

using Attach = BOOL(WINAPI*)(const uint8_t*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t);
using Entry = BOOL(WINAPI*)(HINSTANCE, DWORD, LPVOID);
constexpr int kChannelTolerance = 3;

HMODULE Engine()
{
    static HMODULE engine = LoadLibraryA(SKIN_ENGINE_PATH);
    return engine;
}

Attach AttachProc()
{
    return reinterpret_cast<Attach>(reinterpret_cast<void*>(GetProcAddress(Engine(), "SkinH_AttachRes")));
}

// The embedded bytes lie behind the length field; hide the object bounds from the optimiser.
const uint8_t* Skin10Bytes()
{
    const uint8_t* p = TestSkin10.bytes();
    asm("" : "+r"(p));
    return p;
}

Skin DecodedSkin10(std::vector<uint8_t>& payload)
{
    SkinContainer c;
    Skin s{};
    EXPECT_TRUE(ParseSkinContainer(Skin10Bytes(), TestSkin10.length, c));
    payload.resize(c.payloadSize);
    auto state = std::make_unique<LzmaState>();
    EXPECT_EQ(LzmaDecode(*state, c.props, c.stream, c.streamLength, payload.data(), payload.size()), LzmaResult::Ok);
    EXPECT_TRUE(ParseSkin(payload.data(), payload.size(), s));
    return s;
}

// What the window shows at (x, y) of its window rectangle.
COLORREF WindowPixel(HWND hwnd, int x, int y)
{
    return GetPixel(WholeWindowDcOf(hwnd).get(), x, y);
}

COLORREF ClientPixel(HWND hwnd, int x, int y)
{
    return GetPixel(ClientDcOf(hwnd).get(), x, y);
}

void ExpectColor(COLORREF actual, uint32_t expected, const char* where)
{
    const Rgb e = UnpackRgb(expected);
    EXPECT_NEAR(GetRValue(actual), e.r, kChannelTolerance) << where;
    EXPECT_NEAR(GetGValue(actual), e.g, kChannelTolerance) << where;
    EXPECT_NEAR(GetBValue(actual), e.b, kChannelTolerance) << where;
}

FrameLayout LayoutOf(HWND hwnd)
{
    RECT window, client;
    GetWindowRect(hwnd, &window);
    GetClientRect(hwnd, &client);
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return LayoutFrame(window.right - window.left, window.bottom - window.top,
                       PixelRect{client.left - window.left, client.top - window.top, client.right - window.left,
                                 client.bottom - window.top},
                       true, true);
}

// The engine draws with the portable painter: paint the same element and read the same pixel.
uint32_t ExpectedFramePixel(const Skin& s, const FrameLayout& l, int x, int y)
{
    std::vector<uint32_t> pixels(size_t(l.window.right) * l.window.bottom);
    Canvas c{pixels.data(), l.window.right, l.window.bottom};
    PaintFrame(c, s, l, true);
    return pixels[size_t(y) * c.width + x];
}

uint32_t ExpectedButtonPixel(const Skin& s, int w, int h, ButtonVisual v, int x, int y)
{
    std::vector<uint32_t> pixels(size_t(w) * h);
    Canvas c{pixels.data(), w, h};
    PaintButtonFace(c, s, PixelRect{0, 0, w, h}, v);
    return pixels[size_t(y) * w + x];
}

TEST(SkinEngine, EntryAcceptsModuleHandleZero)
{
    ASSERT_NE(Engine(), nullptr);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(Engine());
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(reinterpret_cast<const uint8_t*>(Engine()) + dos->e_lfanew);
    EXPECT_EQ(nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_TLS].Size, 0u);
    const Entry entry = reinterpret_cast<Entry>(reinterpret_cast<uintptr_t>(Engine()) +
                                                nt->OptionalHeader.AddressOfEntryPoint);
    EXPECT_TRUE(entry(nullptr, DLL_PROCESS_ATTACH, nullptr));
}

TEST(SkinEngine, ExportsAttachRes)
{
    EXPECT_NE(AttachProc(), nullptr);
}

TEST(SkinEngine, BadSkinsAreRefusedAndTheWindowStaysPlain)
{
    TestBoard board;
    ASSERT_TRUE(CreateTestBoard(board));
    const LONG_PTR plainProc = GetWindowLongPtrA(board.firstButton, GWLP_WNDPROC);
    std::vector<uint8_t> truncated(Skin10Bytes(), Skin10Bytes() + TestSkin10.length / 2);
    std::vector<uint8_t> corrupt(Skin10Bytes(), Skin10Bytes() + TestSkin10.length);
    corrupt[TestSkin10.length / 2] ^= 0x55;
    std::vector<uint8_t> badHeader(Skin10Bytes(), Skin10Bytes() + TestSkin10.length);
    badHeader[0] = 'X';
    struct Case {
        const char* what;
        const uint8_t* data;
        uint32_t length;
    };
    const Case cases[] = {
        {"null", nullptr, 0},
        {"header only", Skin10Bytes(), 15},
        {"truncated", truncated.data(), uint32_t(truncated.size())},
        {"corrupt", corrupt.data(), uint32_t(corrupt.size())},
        {"bad header", badHeader.data(), uint32_t(badHeader.size())},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(AttachProc()(c.data, c.length, 0, 0, 0, 0)) << c.what;
        EXPECT_EQ(GetWindowLongPtrA(board.firstButton, GWLP_WNDPROC), plainProc) << c.what;
    }
    SendMessageA(board.firstButton, BM_CLICK, 0, 0);
    EXPECT_EQ(board.clicks, 1);
    DestroyWindow(board.window);
}

class SkinnedBoard : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CreateTestBoard(board));
        ASSERT_TRUE(AttachProc()(Skin10Bytes(), TestSkin10.length, 0, 0, 0, 0));
        RedrawWindow(board.window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpMessages();
        skin = DecodedSkin10(payload);
    }
    void TearDown() override
    {
        if (IsWindow(board.window))
            DestroyWindow(board.window);
        PumpMessages();
    }
    TestBoard board;
    std::vector<uint8_t> payload;
    Skin skin{};
};

TEST_F(SkinnedBoard, TitleBarShowsSkinTenColours)
{
    const FrameLayout l = LayoutOf(board.window);
    // Points of the title band clear of the icon, title text and caption buttons.
    const int points[][2] = {{l.caption.right * 3 / 5, l.caption.top + 2}, {l.caption.right * 3 / 5, l.caption.bottom - 2},
                             {l.minimize.left - 8, l.caption.top + l.caption.Height() / 2}};
    for (const auto& p : points)
        ExpectColor(WindowPixel(board.window, p[0], p[1]), ExpectedFramePixel(skin, l, p[0], p[1]), "title bar");
}

TEST_F(SkinnedBoard, ButtonShowsItsFaceForNormalHoverAndPressed)
{
    RECT r;
    GetClientRect(board.firstButton, &r);
    const int x = 4, y = r.bottom / 2;
    ExpectColor(ClientPixel(board.firstButton, x, y), ExpectedButtonPixel(skin, r.right, r.bottom, ButtonVisual{}, x, y),
                "normal");
    SendMessageA(board.firstButton, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    ButtonVisual hot;
    hot.hot = true;
    ExpectColor(ClientPixel(board.firstButton, x, y), ExpectedButtonPixel(skin, r.right, r.bottom, hot, x, y), "hover");
    SendMessageA(board.firstButton, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    ButtonVisual pressed = hot;
    pressed.pressed = true;
    pressed.focused = true;
    ExpectColor(ClientPixel(board.firstButton, x, y), ExpectedButtonPixel(skin, r.right, r.bottom, pressed, x, y),
                "pressed");
    SendMessageA(board.firstButton, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(board.clicks, 1);
    EXPECT_EQ(board.lastClickedId, kFirstButtonId);
}

TEST_F(SkinnedBoard, ClicksStillReachTheWindow)
{
    SendMessageA(board.stopButton, BM_CLICK, 0, 0);
    EXPECT_EQ(board.clicks, 1);
    EXPECT_EQ(board.lastClickedId, kStopButtonId);
    // Released outside the button: no click, as without a skin.
    SendMessageA(board.firstButton, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageA(board.firstButton, WM_LBUTTONUP, 0, MAKELPARAM(-50, -50));
    EXPECT_EQ(board.clicks, 1);
}

TEST_F(SkinnedBoard, LabelsKeepTheirPressAndShowTheSkinBackground)
{
    SendMessageA(board.linkLabel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    EXPECT_EQ(board.labelPresses, 1);
    // Right of the label's text the window's skin background shows through, not a plain face.
    RECT r;
    GetClientRect(board.linkLabel, &r);
    POINT p{r.right - 2, r.bottom / 2};
    const COLORREF labelPixel = ClientPixel(board.linkLabel, p.x, p.y);
    MapWindowPoints(board.linkLabel, board.window, &p, 1);
    EXPECT_NE(labelPixel, GetSysColor(COLOR_BTNFACE));
    const COLORREF around = ClientPixel(board.window, p.x, r.bottom + 2 + p.y - r.bottom / 2);
    EXPECT_NEAR(GetRValue(labelPixel), GetRValue(around), 16);
    EXPECT_NEAR(GetBValue(labelPixel), GetBValue(around), 16);
}

TEST_F(SkinnedBoard, CaptionHitTestAndButtonsWork)
{
    const FrameLayout l = LayoutOf(board.window);
    RECT window;
    GetWindowRect(board.window, &window);
    auto hitAt = [&](int x, int y) {
        return SendMessageA(board.window, WM_NCHITTEST, 0, MAKELPARAM(window.left + x, window.top + y));
    };
    const POINT close{(l.close.left + l.close.right) / 2, (l.close.top + l.close.bottom) / 2};
    const POINT minimize{(l.minimize.left + l.minimize.right) / 2, (l.minimize.top + l.minimize.bottom) / 2};
    EXPECT_EQ(hitAt(close.x, close.y), HTCLOSE);
    EXPECT_EQ(hitAt(minimize.x, minimize.y), HTMINBUTTON);
    EXPECT_EQ(hitAt(l.caption.right / 2, l.caption.top + 3), HTCAPTION);
    EXPECT_EQ(hitAt(l.client.left + 300, l.client.top + 200), HTCLIENT);

    // Press on minimize, release inside: the window is minimized, then restored.
    SendMessageA(board.window, WM_NCLBUTTONDOWN, HTMINBUTTON, MAKELPARAM(window.left + minimize.x, window.top + minimize.y));
    POINT inside{window.left + minimize.x, window.top + minimize.y};
    ScreenToClient(board.window, &inside);
    SendMessageA(board.window, WM_LBUTTONUP, 0, MAKELPARAM(inside.x, inside.y));
    PumpMessages();
    EXPECT_TRUE(IsIconic(board.window));
    ShowWindow(board.window, SW_RESTORE);
    PumpMessages();
    GetWindowRect(board.window, &window);

    // Press on close, release outside: nothing; press and release inside: closed.
    SendMessageA(board.window, WM_NCLBUTTONDOWN, HTCLOSE, MAKELPARAM(window.left + close.x, window.top + close.y));
    SendMessageA(board.window, WM_LBUTTONUP, 0, MAKELPARAM(100, 100));
    EXPECT_EQ(board.closeRequests, 0);
    SendMessageA(board.window, WM_NCLBUTTONDOWN, HTCLOSE, MAKELPARAM(window.left + close.x, window.top + close.y));
    POINT closeClient{window.left + close.x, window.top + close.y};
    ScreenToClient(board.window, &closeClient);
    SendMessageA(board.window, WM_MOUSEMOVE, 0, MAKELPARAM(closeClient.x, closeClient.y));
    SendMessageA(board.window, WM_LBUTTONUP, 0, MAKELPARAM(closeClient.x, closeClient.y));
    PumpMessages();
    EXPECT_EQ(board.closeRequests, 1);
    EXPECT_FALSE(IsWindow(board.window));
}

struct BoxCheck {
    bool skinned = false;
    bool found = false;
};
BoxCheck g_box;

void CALLBACK AnswerNo(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND box = FindWindowA("#32770", "Skin test prompt");
    if (box == nullptr)
        return;
    KillTimer(nullptr, timer);
    g_box.found = true;
    g_box.skinned = GetPropA(box, "BoardSkin.Kind") != nullptr &&
                    GetPropA(GetDlgItem(box, IDNO), "BoardSkin.Kind") != nullptr;
    SendMessageA(GetDlgItem(box, IDNO), BM_CLICK, 0, 0);
}

TEST_F(SkinnedBoard, MessageBoxIsSkinnedAndKeepsItsResult)
{
    g_box = BoxCheck{};
    SetTimer(nullptr, 0, 50, AnswerNo);
    const int result = MessageBoxA(nullptr, "Visit the site?", "Skin test prompt", MB_YESNO | MB_TASKMODAL);
    EXPECT_EQ(result, IDNO);
    EXPECT_TRUE(g_box.found);
    EXPECT_TRUE(g_box.skinned);
}

// What a skinned message box shows, measured as the engine measures it: where the
// text ends, where the icon's panel ends, where the button band begins.
struct BoxLayout {
    bool found = false;
    int textBottom = 0;
    int textLeft = 0;
    int iconPanelBottom = 0;
    int iconPanelRight = 0;
    int bandTop = 0;
    bool buttonsInside = true;
};
BoxLayout g_layout;
constexpr char kLayoutBoxTitle[] = "Skin layout box";
constexpr int kBandPadding = 10;   // the band starts this far above the highest button
constexpr int kIconPadding = 8;    // the icon's panel reaches this far around the icon

BOOL CALLBACK MeasureBoxPart(HWND hwnd, LPARAM param)
{
    BoxLayout& l = *reinterpret_cast<BoxLayout*>(param);
    HWND box = GetParent(hwnd);
    RECT r{}, client{};
    GetWindowRect(hwnd, &r);
    MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&r), 2);
    GetClientRect(box, &client);
    char name[16] = {};
    GetClassNameA(hwnd, name, sizeof name);
    const LONG style = GetWindowLongA(hwnd, GWL_STYLE);
    if (!IsWindowVisible(hwnd))
        return TRUE;
    if (lstrcmpiA(name, "Button") == 0) {
        l.bandTop = std::min(l.bandTop, int(r.top) - kBandPadding);
        l.buttonsInside = l.buttonsInside && r.left >= 0 && r.top >= 0 && r.right <= client.right &&
                          r.bottom <= client.bottom;
    } else if (lstrcmpiA(name, "Static") == 0 && (style & SS_TYPEMASK) == SS_ICON) {
        if (SendMessageA(hwnd, STM_GETICON, 0, 0) != 0) {
            l.iconPanelBottom = r.bottom + kIconPadding;
            l.iconPanelRight = r.right + kIconPadding;
        }
    } else if (lstrcmpiA(name, "Static") == 0) {
        char text[1024] = {};
        const int length = GetWindowTextA(hwnd, text, sizeof text);
        const WindowDc dc = ClientDcOf(hwnd);
        const SelectedObject font = Select(dc.get(), reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0)));
        RECT measure{0, 0, r.right - r.left, 0};
        DrawTextA(dc.get(), text, length, &measure, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
        l.textBottom = std::max(int(r.bottom), int(r.top + measure.bottom));
        l.textLeft = r.left;
    }
    return TRUE;
}

void CALLBACK MeasureAndAnswer(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND box = FindWindowA("#32770", kLayoutBoxTitle);
    if (box == nullptr)
        return;
    KillTimer(nullptr, timer);
    g_layout.found = true;
    RECT client{};
    GetClientRect(box, &client);
    g_layout.bandTop = client.bottom;
    EnumChildWindows(box, MeasureBoxPart, reinterpret_cast<LPARAM>(&g_layout));
    for (int id : {IDOK, IDNO})
        if (HWND button = GetDlgItem(box, id))
            SendMessageA(button, BM_CLICK, 0, 0);
}

TEST_F(SkinnedBoard, MessageBoxTextAndIconStayAboveTheButtonBand)
{
    struct Case {
        const char* name;
        const char* text;
        UINT style;
    };
    const Case cases[] = {
        {"Yes and No, no icon", "Welcome to the board: would you like to support us?", MB_YESNO},
        {"information icon, OK", "Thank you!", MB_ICONINFORMATION},
        {"long message on several lines",
         "A first line that is long enough to be wrapped by the box at least once or twice.\n"
         "A second line.\nA third line, and then one more that is long enough to wrap again as well.",
         MB_ICONINFORMATION},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_layout = BoxLayout{};
        SetTimer(nullptr, 0, 50, MeasureAndAnswer);
        MessageBoxA(nullptr, c.text, kLayoutBoxTitle, c.style | MB_TASKMODAL);
        ASSERT_TRUE(g_layout.found);
        EXPECT_LE(g_layout.textBottom, g_layout.bandTop);
        EXPECT_LE(g_layout.iconPanelBottom, g_layout.bandTop);
        EXPECT_LE(g_layout.iconPanelRight, g_layout.textLeft);
        EXPECT_TRUE(g_layout.buttonsInside);
    }
}

}  // namespace
