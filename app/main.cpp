// The start routine: process-wide objects, the skin engine, the window and its
// creation handler, the message loop, and the teardown in reverse.
#include <windows.h>

#include "app/main_window.h"
#include "app/process_objects.h"

#include "skins/skins.h"

namespace {

// Every window of the thread, so the windowless hotkey timer ticks too. Esc
// closes the window whenever it or one of its controls has the focus; it is
// taken here because a focused button would otherwise swallow it.
void RunMessageLoop(MainWindow& window)
{
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE &&
            window.Holds(message.hwnd)) {
            window.Close();
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    ProcessObjects objects;  // released last, after the window and its fonts
    LoadSkinEngine();
    if (!MainWindow::RegisterClasses(instance))
        return 0;
    MainWindow window(instance);
    if (!window.Create())
        return 0;
    window.OnCreated();
    window.Show();
    RunMessageLoop(window);
    return 0;
}
