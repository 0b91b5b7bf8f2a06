// Style and result rules of the message box service; no platform calls here.
#include "platform/message_box_rules.h"

namespace {

constexpr int32_t kFirstClassicButton = 1; // OK
constexpr int32_t kLastClassicButton = 7;  // No

} // namespace

int32_t MessageBoxStyle(int32_t flags)
{
    return (flags & kMessageBoxSystemModal) ? flags : (flags | kMessageBoxTaskModal);
}

int32_t MessageBoxResult(int32_t platformResult)
{
    if (platformResult < kFirstClassicButton || platformResult > kLastClassicButton)
        return 0;
    return platformResult - kFirstClassicButton;
}
