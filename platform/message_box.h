// A modal message box without an owner that reports the button which closed it
// as a small number (OK 0, Cancel 1, ... Yes 5, No 6).
#pragma once

#include <cstdint>

// Styles: one button set, optionally an icon and a modality, or-ed together.
// The values are the platform's own, so they pass through unchanged.
constexpr int32_t kMessageBoxOk = 0x0;
constexpr int32_t kMessageBoxOkCancel = 0x1;
constexpr int32_t kMessageBoxAbortRetryIgnore = 0x2;
constexpr int32_t kMessageBoxYesNoCancel = 0x3;
constexpr int32_t kMessageBoxYesNo = 0x4;
constexpr int32_t kMessageBoxRetryCancel = 0x5;
constexpr int32_t kMessageBoxError = 0x10;
constexpr int32_t kMessageBoxQuestion = 0x20;
constexpr int32_t kMessageBoxWarning = 0x30;
constexpr int32_t kMessageBoxInformation = 0x40;
constexpr int32_t kMessageBoxSystemModal = 0x1000;
constexpr int32_t kMessageBoxTaskModal = 0x2000;

// Answers: the button that closed the box; kAnswerOk also when the box failed.
constexpr int kAnswerOk = 0;
constexpr int kAnswerCancel = 1;
constexpr int kAnswerAbort = 2;
constexpr int kAnswerRetry = 3;
constexpr int kAnswerIgnore = 4;
constexpr int kAnswerYes = 5;
constexpr int kAnswerNo = 6;

// Result: platform result − 1 for the classic buttons, 0 otherwise (failure too).
int ShowMessageBox(const char* text, int flags, const char* title = "信息：");
