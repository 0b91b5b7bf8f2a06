// A modal message box without an owner that reports the button which closed it
// as a small number (OK 0, Cancel 1, ... Yes 5, No 6).
#pragma once

// Result: platform result − 1 for the classic buttons, 0 otherwise (failure too).
int ShowMessageBox(const char* text, int flags, const char* title = "信息：");
