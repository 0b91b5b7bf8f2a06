// A window built like the board (566 x 457, push buttons, group boxes with a nested
// one, transparent labels of the program's own class) for the skin tests, recording
// what reaches it: button clicks, label presses, close requests.
#pragma once

#include <windows.h>

struct TestBoard {
    HWND window = nullptr;
    HWND firstButton = nullptr;    // in the first group box
    HWND nestedGroup = nullptr;    // inside the big group box
    HWND label = nullptr;          // a transparent label in the nested group box
    HWND linkLabel = nullptr;      // a transparent label directly on the window
    HWND stopButton = nullptr;
    int clicks = 0;                // BN_CLICKED received by the window
    int lastClickedId = 0;
    int labelPresses = 0;
    int closeRequests = 0;
};

constexpr int kFirstButtonId = 101;
constexpr int kStopButtonId = 140;

// Creates and shows the board; the TestBoard must outlive the window.
bool CreateTestBoard(TestBoard& board);
void PumpMessages();
