/* The test libraries' entry point: appends each call's arguments to the test's
   log and returns what the test asked for. No C runtime: the loader passes a
   module handle of 0, which the usual runtime start-up code does not expect. */
#include <windows.h>

#include "entry_log.h"

volatile struct EntryConfig entryConfig = {{ENTRY_CONFIG_MAGIC0, ENTRY_CONFIG_MAGIC1}, 1, 0, 0};

void RecordEntryCall(uint32_t who, void* handle, uint32_t reason, void* reserved)
{
    struct EntryLog* log = (struct EntryLog*)(uintptr_t)entryConfig.logAddress;
    if (log && log->count < ENTRY_LOG_CAPACITY) {
        log->calls[log->count].who = who;
        log->calls[log->count].handle = (uint32_t)(uintptr_t)handle;
        log->calls[log->count].reason = reason;
        log->calls[log->count].reserved = (uint32_t)(uintptr_t)reserved;
        log->count++;
    }
}

BOOL WINAPI LibraryEntry(HINSTANCE handle, DWORD reason, LPVOID reserved)
{
    RecordEntryCall(0, handle, reason, reserved);
    return reason == DLL_PROCESS_ATTACH ? (BOOL)entryConfig.attachResult : TRUE;
}
