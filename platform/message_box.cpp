// ShowMessageBox on Windows: applies the style rule, shows the box with no owner
// and maps its result. Runs on the calling (message-loop) thread until closed.
#include "platform/message_box.h"

#include <windows.h>

#include "platform/message_box_rules.h"

int ShowMessageBox(const char* text, int flags, const char* title)
{
    const int result = MessageBoxA(nullptr, text, title, static_cast<UINT>(MessageBoxStyle(flags)));
    return MessageBoxResult(result);
}
