// The main window's styles and its three label fonts, shared by the board and
// the bench's plain copy of its window, so both build the same controls.
#pragma once

#include <windows.h>

#include <cstring>

#include "app/layout.h"

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kButtonStyle =
    WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | BS_MULTILINE;

inline LOGFONTA LabelLogFont(LabelFont which)
{
    LOGFONTA font = {};
    font.lfHeight = which == LabelFont::Note ? -14 : -12;
    font.lfWeight = which == LabelFont::Link ? FW_BOLD : FW_NORMAL;
    font.lfCharSet = GB2312_CHARSET;
    if (which == LabelFont::Note) {
        std::strncpy(font.lfFaceName, "微软雅黑", LF_FACESIZE - 1);
        font.lfOutPrecision = OUT_STROKE_PRECIS;
        font.lfClipPrecision = CLIP_STROKE_PRECIS;
        font.lfQuality = DRAFT_QUALITY;
        font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    }
    return font;
}
