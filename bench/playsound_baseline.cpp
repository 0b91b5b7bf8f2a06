// The baseline every board figure is compared with: the smallest Win32 program
// that shows one window and, when its one button is clicked, plays a sound bank
// entry with the platform's own PlaySound (memory image, asynchronous). It sits
// in the screen's top left corner, clear of the board's centred window.
//   playsound_baseline.exe ENTRY   a window filled by the button that plays ENTRY
//   playsound_baseline.exe         one empty window
#include <windows.h>
#include <mmsystem.h>

#include <cstdlib>

#include "assets/sound_bank.h"

namespace {

constexpr int kPlayButton = 1;
const ByteBuffer* entry = nullptr;

LRESULT CALLBACK BaselineProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == kPlayButton && entry != nullptr)
            PlaySoundA(reinterpret_cast<LPCSTR>(entry->bytes()), nullptr, SND_MEMORY | SND_ASYNC);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    const int number = std::atoi(commandLine);
    if (number >= 1 && number <= SoundBank::kEntryCount)
        entry = &SoundBank::Entry(number);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = BaselineProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "BaselineWindow";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowA("BaselineWindow", "baseline", WS_OVERLAPPEDWINDOW, 0, 0, 220, 150, nullptr,
                                nullptr, instance, nullptr);
    if (entry != nullptr) {
        RECT client;
        GetClientRect(window, &client);
        CreateWindowA("BUTTON", "play", WS_CHILD | WS_VISIBLE, 0, 0, client.right, client.bottom, window,
                      reinterpret_cast<HMENU>(kPlayButton), instance, nullptr);
    }
    ShowWindow(window, SW_SHOW);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
