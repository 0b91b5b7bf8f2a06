// Contact sheet tool: applies each of the 33 skins in turn to the board-like test
// window and saves what the window shows as skinNN.bmp in the given folder.
// Usage: skin_contact_sheet ENGINE.dll OUTDIR
#include <windows.h>

#include <cstdio>
#include <vector>

#include "platform/gdi_handles.h"
#include "skins/skin_table.h"
#include "tests/skins/test_board.h"

namespace {

using Attach = BOOL(WINAPI*)(const uint8_t*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t);

bool SaveWindow(HWND hwnd, const char* path)
{
    RECT r;
    GetWindowRect(hwnd, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;   // bottom-up, as BMP files store rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    const WindowDc windowDc = WholeWindowDcOf(hwnd);
    const MemoryDc memory(CreateCompatibleDC(windowDc.get()));
    const UniqueBitmap bitmap(CreateDIBSection(windowDc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const SelectedObject selection = Select(memory.get(), bitmap.get());
    BitBlt(memory.get(), 0, 0, w, h, windowDc.get(), 0, 0, SRCCOPY);
    GdiFlush();
    bool ok = false;
    if (FILE* f = std::fopen(path, "wb")) {
        const DWORD imageSize = DWORD(w) * h * 4;
        BITMAPFILEHEADER file{};
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof file + sizeof info.bmiHeader;
        file.bfSize = file.bfOffBits + imageSize;
        ok = std::fwrite(&file, sizeof file, 1, f) == 1 && std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, f) == 1 &&
             std::fwrite(bits, imageSize, 1, f) == 1;
        std::fclose(f);
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    HMODULE engine = LoadLibraryA(argv[1]);
    const Attach attach =
        engine ? reinterpret_cast<Attach>(reinterpret_cast<void*>(GetProcAddress(engine, "SkinH_AttachRes"))) : nullptr;
    if (attach == nullptr)
        return 1;
    TestBoard board;
    if (!CreateTestBoard(board))
        return 1;
    SetForegroundWindow(board.window);
    int failures = 0;
    for (int n = 1; n <= kSkinCount; ++n) {
        const ByteBuffer* skin = SkinTableEntry(n);
        if (!attach(skin->bytes(), skin->length, 0, 0, 0, 0))
            ++failures;
        RedrawWindow(board.window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpMessages();
        char path[MAX_PATH];
        std::snprintf(path, sizeof path, "%s\\skin%02d.bmp", argv[2], n);
        if (!SaveWindow(board.window, path))
            ++failures;
    }
    DestroyWindow(board.window);
    return failures == 0 ? 0 : 1;
}
