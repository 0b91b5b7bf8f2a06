// MainWindow: the board's only window with its 52 controls, the dispatch of
// clicks to actions, and the creation handler OnCreated. UI thread only.
#pragma once

#include <windows.h>

#include <array>

#include "app/layout.h"

constexpr char kMainWindowClass[] = "BoardMainWindow";
constexpr int kIconResource = 1;

// Owns one GDI font.
class Font {
public:
    explicit Font(const LOGFONTA& logFont) : font_(CreateFontIndirectA(&logFont)) {}
    ~Font() { if (font_) DeleteObject(font_); }
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    HFONT get() const { return font_; }

private:
    HFONT font_;
};

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
    Font statementFont_;
    Font linkFont_;
    Font noteFont_;
    std::array<HWND, kControlCount> controls_{};
};
