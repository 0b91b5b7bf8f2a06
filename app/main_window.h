// MainWindow: the board's only window with its 52 controls, the dispatch of
// clicks to actions, and the creation handler OnCreated. UI thread only.
#pragma once

#include <windows.h>

#include <array>

#include "app/layout.h"
#include "platform/gdi_handles.h"

constexpr char kMainWindowClass[] = "BoardMainWindow";
constexpr int kIconResource = 1;

class MainWindow {
public:
    explicit MainWindow(HINSTANCE instance);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    static bool RegisterClasses(HINSTANCE instance);

    // Makes the hidden window with all its controls.
    bool Create();
    // The creation handler: skin, welcome prompt, hotkeys. Runs once all controls exist.
    void OnCreated();
    void Show();
    // Closes exactly as the close button does.
    void Close();
    // True for the window itself and every control in it.
    bool Holds(HWND window) const;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool CreateControls();
    void OnCommand(int id, int code);
    void OnDestroy();

    HINSTANCE instance_;
    HWND window_ = nullptr;
    // The fonts outlive every control that uses them.
    UniqueFont statementFont_;
    UniqueFont linkFont_;
    UniqueFont noteFont_;
    std::array<HWND, kControlCount> controls_{};
};
