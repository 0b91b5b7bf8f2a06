/* What a test library's entry point records, and how a test tells it what to do:
   the test finds kEntryConfigMagic in the image bytes and patches the fields after it. */
#pragma once

#include <stdint.h>

#define ENTRY_LOG_CAPACITY 8

struct EntryCall {
    uint32_t handle, reason, reserved;
};

struct EntryLog {
    uint32_t count;
    struct EntryCall calls[ENTRY_LOG_CAPACITY];
};

#define ENTRY_CONFIG_MAGIC0 0x4D4D4346u
#define ENTRY_CONFIG_MAGIC1 0x474946E0u

struct EntryConfig {
    uint32_t magic[2];
    uint32_t attachResult;  /* what the attach call returns (detach always 1) */
    uint32_t logAddress;    /* a struct EntryLog in the test, or 0 */
};
