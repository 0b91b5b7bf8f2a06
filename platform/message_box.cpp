// ShowMessageBox on Windows: applies the style rule, shows the box with no owner
// and maps its result. Runs on the calling (message-loop) thread until closed.
#include "platform/message_box.h"

#include <windows.h>

#include "platform/message_box_rules.h"

// What message_box.h publishes is the platform's own numbering.
static_assert(kMessageBoxOk == MB_OK && kMessageBoxOkCancel == MB_OKCANCEL &&
                  kMessageBoxAbortRetryIgnore == MB_ABORTRETRYIGNORE && kMessageBoxYesNoCancel == MB_YESNOCANCEL &&
                  kMessageBoxYesNo == MB_YESNO && kMessageBoxRetryCancel == MB_RETRYCANCEL,
              "button sets");
static_assert(kMessageBoxError == MB_ICONERROR && kMessageBoxQuestion == MB_ICONQUESTION &&
                  kMessageBoxWarning == MB_ICONWARNING && kMessageBoxInformation == MB_ICONINFORMATION,
              "icons");
static_assert(kMessageBoxSystemModal == MB_SYSTEMMODAL && kMessageBoxTaskModal == MB_TASKMODAL, "modality");
static_assert(kAnswerOk == IDOK - 1 && kAnswerCancel == IDCANCEL - 1 && kAnswerAbort == IDABORT - 1 &&
                  kAnswerRetry == IDRETRY - 1 && kAnswerIgnore == IDIGNORE - 1 && kAnswerYes == IDYES - 1 &&
                  kAnswerNo == IDNO - 1,
              "answers are the platform's results less one");

int ShowMessageBox(const char* text, int flags, const char* title)
{
    const int result = MessageBoxA(nullptr, text, title, static_cast<UINT>(MessageBoxStyle(flags)));
    return MessageBoxResult(result);
}
