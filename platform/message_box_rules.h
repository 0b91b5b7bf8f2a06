// The portable rules of the message box service: which style reaches the
// platform for given flags, and which small number a platform result becomes.
#pragma once

#include <cstdint>

#include "platform/message_box.h"

// flags | task-modal, unless the caller asked for system-modal.
int32_t MessageBoxStyle(int32_t flags);

// Platform results 1..7 (OK..No) become 0..6; anything else, failure included, 0.
int32_t MessageBoxResult(int32_t platformResult);
