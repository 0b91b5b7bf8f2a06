// Test tool run beside the board: finds its main window and prints the whole
// control tree, one tab-separated line per window, for the window test to
// compare with its own expected table. Fonts and label colours come from the
// properties the board's inspectable test build publishes (GDI handles do not
// cross processes).
//   window_probe.exe            tree lines (see PrintWindow)
//   window_probe.exe --at       one line per window: caption hex, screen centre
//   window_probe.exe --box [T]  the open message box (waiting T tenths): title, icon, text
//   window_probe.exe --press ID presses button ID of the open message box
//   window_probe.exe --extents  one line per control: caption hex, fits or overflows, measured size
//   window_probe.exe --notepad  the text in the editor of the open notepad window
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr char kBoardClass[] = "BoardMainWindow";
constexpr int kWaitTenths = 1200;  // the board starts slowly under an emulated Wine

std::string Hex(const unsigned char* bytes, size_t length)
{
    std::string out;
    char pair[3];
    for (size_t i = 0; i < length; ++i) {
        std::snprintf(pair, sizeof pair, "%02x", bytes[i]);
        out += pair;
    }
    return out.empty() ? "-" : out;
}

std::string CaptionHex(HWND window)
{
    char text[512] = {};
    // Our labels and standard controls answer WM_GETTEXT across processes.
    const int length = GetWindowTextA(window, text, sizeof text);
    return Hex(reinterpret_cast<unsigned char*>(text), size_t(length));
}

bool DecodeHex(const char* hex, unsigned char* out, size_t length)
{
    if (std::strlen(hex) != 2 * length)
        return false;
    for (size_t i = 0; i < length; ++i) {
        unsigned value = 0;
        if (std::sscanf(hex + 2 * i, "%2x", &value) != 1)
            return false;
        out[i] = static_cast<unsigned char>(value);
    }
    return true;
}

// The control's font as the inspectable build publishes it.
bool PublishedFont(HWND window, LOGFONTA& font)
{
    const auto atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropA(window, "BoardFont")));
    char hex[256] = {};
    return atom && GlobalGetAtomNameA(atom, hex, sizeof hex) &&
           DecodeHex(hex, reinterpret_cast<unsigned char*>(&font), sizeof font);
}

std::string FontText(HWND window)
{
    LOGFONTA font = {};
    if (!PublishedFont(window, font))
        return "-";
    LOGFONTA gui = {};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui);
    if (std::memcmp(&gui, &font, sizeof font) == 0)
        return "gui";
    char text[160];
    std::snprintf(text, sizeof text, "%ld,%ld,%ld,%ld,%ld,%u,%u,%u,%u,%u,%u,%u,%u,", font.lfHeight,
                  font.lfWidth, font.lfEscapement, font.lfOrientation, font.lfWeight,
                  font.lfItalic, font.lfUnderline, font.lfStrikeOut, font.lfCharSet,
                  font.lfOutPrecision, font.lfClipPrecision, font.lfQuality,
                  font.lfPitchAndFamily);
    const size_t faceLength = strnlen(font.lfFaceName, LF_FACESIZE);
    return text + (faceLength ? Hex(reinterpret_cast<unsigned char*>(font.lfFaceName), faceLength)
                              : std::string());
}

std::string ColourText(HWND window)
{
    constexpr UINT_PTR kPresent = 0x01000000;
    const auto value = reinterpret_cast<UINT_PTR>(GetPropA(window, "BoardTextColour"));
    if (!(value & kPresent))
        return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%u,%u,%u", unsigned(GetRValue(value)),
                  unsigned(GetGValue(value)), unsigned(GetBValue(value)));
    return text;
}

// parent caption, class, caption, left,top,width,height (parent client; screen
// for the top window), style, extended style, font, colour
void PrintWindow(HWND window, HWND parent)
{
    char className[128] = {};
    GetClassNameA(window, className, sizeof className);
    RECT rect;
    GetWindowRect(window, &rect);
    if (parent)
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    std::printf("%s\t%s\t%s\t%ld,%ld,%ld,%ld\t%08lx\t%08lx\t%s\t%s\n",
                parent ? CaptionHex(parent).c_str() : "-", className, CaptionHex(window).c_str(),
                rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)),
                static_cast<unsigned long>(GetWindowLongA(window, GWL_EXSTYLE)),
                FontText(window).c_str(), ColourText(window).c_str());
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        PrintWindow(child, window);
}

void PrintCentres(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    std::printf("%s\t%ld\t%ld\t%ld\t%ld\n", CaptionHex(window).c_str(), (rect.left + rect.right) / 2,
                (rect.top + rect.bottom) / 2, rect.left, rect.top);
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        PrintCentres(child);
}

// Room a caption needs in its control, measured with the control's own font the
// way each kind draws it: labels on one line (or wrapped in their width), push
// buttons wrapped inside their padding, group boxes on their top border.
constexpr int kButtonTextPadding = 3;
constexpr int kGroupCaptionMargin = 8;

void PrintExtent(HWND window)
{
    char className[128] = {}, text[512] = {};
    GetClassNameA(window, className, sizeof className);
    const int length = GetWindowTextA(window, text, sizeof text);
    LOGFONTA logFont = {};
    if (length > 0 && PublishedFont(window, logFont)) {
        RECT rect;
        GetClientRect(window, &rect);
        HDC dc = GetDC(nullptr);
        HFONT font = CreateFontIndirectA(&logFont);
        HGDIOBJ old = SelectObject(dc, font);
        const bool button = lstrcmpiA(className, "Button") == 0;
        const bool group = button && (GetWindowLongA(window, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
        int roomWidth = rect.right, roomHeight = rect.bottom;
        UINT format = DT_CALCRECT | DT_SINGLELINE;
        if (group) {
            roomWidth -= 2 * kGroupCaptionMargin;
        } else if (button) {
            roomWidth -= 2 * kButtonTextPadding;
            format = DT_CALCRECT | DT_WORDBREAK;
        } else {
            // A label taller than two lines of its font is a wrapped one.
            TEXTMETRICA metrics = {};
            GetTextMetricsA(dc, &metrics);
            if (rect.bottom >= 2 * metrics.tmHeight)
                format = DT_CALCRECT | DT_WORDBREAK;
        }
        RECT measure{0, 0, roomWidth, 0};
        DrawTextA(dc, text, length, &measure, format);
        SelectObject(dc, old);
        DeleteObject(font);
        ReleaseDC(nullptr, dc);
        const int width = measure.right - measure.left, height = measure.bottom - measure.top;
        std::printf("%s\t%s\t%d,%d in %d,%d\n", CaptionHex(window).c_str(),
                    width <= roomWidth && height <= roomHeight ? "fits" : "overflows", width, height, roomWidth,
                    roomHeight);
    }
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        PrintExtent(child);
}

int PrintNotepadText()
{
    HWND notepad = FindWindowA("Notepad", nullptr);
    HWND editor = notepad ? FindWindowExA(notepad, nullptr, "Edit", nullptr) : nullptr;
    if (!editor)
        return 1;
    char text[1024] = {};
    // GetWindowTextA gives only the caption of another process's window, never an editor's text.
    SendMessageA(editor, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    std::printf("%s\n", text);
    return 0;
}

HWND WaitForBox(int tenths = kWaitTenths)
{
    for (int i = 0; i <= tenths; ++i) {
        HWND box = FindWindowA("#32770", nullptr);
        if (box && IsWindowVisible(box))
            return box;
        Sleep(100);
    }
    return nullptr;
}

// Icon handles do not cross processes under every system, so the icon is told by
// its pixels: the standard icon whose opaque pixels match the screen best, or
// "other" when none comes close. Skins paint their own background behind it.
class IconCanvas {
public:
    explicit IconCanvas(int size)
        : screen_(GetDC(nullptr)), dc_(CreateCompatibleDC(screen_)),
          bitmap_(CreateCompatibleBitmap(screen_, size, size)), old_(SelectObject(dc_, bitmap_)), size_(size)
    {
    }
    ~IconCanvas()
    {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
        ReleaseDC(nullptr, screen_);
    }
    IconCanvas(const IconCanvas&) = delete;
    IconCanvas& operator=(const IconCanvas&) = delete;

    void CopyScreen(POINT at) { BitBlt(dc_, 0, 0, size_, size_, screen_, at.x, at.y, SRCCOPY); }
    void Draw(LPCSTR icon, COLORREF background)
    {
        HBRUSH fill = CreateSolidBrush(background);
        RECT all{0, 0, size_, size_};
        FillRect(dc_, &all, fill);
        DeleteObject(fill);
        DrawIconEx(dc_, 0, 0, LoadIconA(nullptr, icon), size_, size_, 0, nullptr, DI_NORMAL);
    }
    COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }

private:
    HDC screen_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
    int size_;
};

bool Close(COLORREF a, COLORREF b)
{
    return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
               std::abs(GetBValue(a) - GetBValue(b)) <= 48;
}

std::string ShownIconName(HWND iconStatic)
{
    const int size = GetSystemMetrics(SM_CXICON);
    RECT rect;
    GetWindowRect(iconStatic, &rect);
    IconCanvas shown(size), onBlack(size), onWhite(size);
    shown.CopyScreen({rect.left, rect.top});
    const struct { LPCSTR id; const char* name; } candidates[] = {
        {IDI_INFORMATION, "information"}, {IDI_WARNING, "warning"}, {IDI_ERROR, "error"}, {IDI_QUESTION, "question"}};
    std::string best = "other";
    double bestMismatch = 0.25;  // a quarter of the opaque pixels off: not this icon
    for (const auto& candidate : candidates) {
        onBlack.Draw(candidate.id, RGB(0, 0, 0));
        onWhite.Draw(candidate.id, RGB(255, 255, 255));
        int opaque = 0, mismatched = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                if (!Close(onBlack.At(x, y), onWhite.At(x, y)))
                    continue;
                ++opaque;
                mismatched += !Close(onBlack.At(x, y), shown.At(x, y));
            }
        const double mismatch = opaque ? double(mismatched) / opaque : 1.0;
        if (mismatch < bestMismatch) {
            bestMismatch = mismatch;
            best = candidate.name;
        }
    }
    return best;
}

// title hex, icon (information, warning, error, question, other or none), message hex
int PrintBox(int tenths)
{
    HWND box = WaitForBox(tenths);
    if (!box)
        return 1;
    std::string icon = "none", text = "-";
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[64] = {};
        GetClassNameA(child, className, sizeof className);
        if (lstrcmpiA(className, "Static") != 0)
            continue;
        if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            // A box without an icon may keep an empty icon control.
            if (!IsWindowVisible(child) || SendMessageA(child, STM_GETICON, 0, 0) == 0)
                continue;
            icon = ShownIconName(child);
        } else if (GetWindowTextLengthA(child) > 0) {
            text = CaptionHex(child);
        }
    }
    std::printf("%s\t%s\t%s\n", CaptionHex(box).c_str(), icon.c_str(), text.c_str());
    return 0;
}

int PressBoxButton(int id)
{
    HWND box = WaitForBox();
    HWND button = box ? GetDlgItem(box, id) : nullptr;
    if (!button)
        return 1;
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--box") == 0)
        return PrintBox(argc > 2 ? std::atoi(argv[2]) : kWaitTenths);
    if (argc > 2 && std::strcmp(argv[1], "--press") == 0)
        return PressBoxButton(std::atoi(argv[2]));
    if (argc > 1 && std::strcmp(argv[1], "--notepad") == 0)
        return PrintNotepadText();
    HWND board = nullptr;
    for (int i = 0; i < kWaitTenths && !(board = FindWindowA(kBoardClass, nullptr)); ++i)
        Sleep(100);
    if (!board) {
        std::fprintf(stderr, "window_probe: no board window\n");
        return 1;
    }
    if (argc > 1 && std::strcmp(argv[1], "--at") == 0) {
        PrintCentres(board);
    } else if (argc > 1 && std::strcmp(argv[1], "--extents") == 0) {
        PrintExtent(board);
    } else {
        RECT client;
        GetClientRect(board, &client);
        std::printf("client\t%ld,%ld\tscreen\t%d,%d\n", client.right, client.bottom,
                    GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
        PrintWindow(board, nullptr);
    }
    std::fflush(stdout);
    return 0;
}
