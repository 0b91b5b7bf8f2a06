// Group boxes that are real containers: a standard group box swallows its
// children's notifications, so ours hands them on to the top window.
#pragma once

#include <windows.h>

HWND CreateGroupBox(HWND parent, int id, int left, int top, int width, int height,
                    const char* caption);
