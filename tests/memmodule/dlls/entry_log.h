/* What a test library's entry point and TLS callbacks record, and how a test tells
   it what to do: the test finds the magic words in the image bytes and patches the
   fields after them. */
#pragma once

#include <stdint.h>

#define ENTRY_LOG_CAPACITY 16

/* who: 0 for the entry point, n for the n-th TLS callback. */
struct EntryCall {
    uint32_t who, handle, reason, reserved;
};

struct EntryLog {
    uint32_t count;
    struct EntryCall calls[ENTRY_LOG_CAPACITY];
};

#define ENTRY_CONFIG_MAGIC0 0x4D4D4346u
#define ENTRY_CONFIG_MAGIC1 0x474946E0u

struct EntryConfig {
    uint32_t magic[2];
    uint32_t attachResult; /* what the attach call returns (detach always 1) */
    uint32_t unused;       /* keeps logAddress at the same offset on both architectures */
    uint64_t logAddress;   /* a struct EntryLog in the test, or 0 */
};

/* Appends one call to the log, if the test gave one. */
void RecordEntryCall(uint32_t who, void* handle, uint32_t reason, void* reserved);
