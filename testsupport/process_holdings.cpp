// What the process holds, counted from the inside: heap bytes by walking every heap,
// handles by asking each handle value for its type.
#include "testsupport/process_holdings.h"

#include <windows.h>
#include <winternl.h>

size_t HeapBytesInUse()
{
    HANDLE heaps[64];
    const DWORD count = GetProcessHeaps(64, heaps);
    size_t busy = 0;
    for (DWORD i = 0; i < count && i < 64; ++i) {
        PROCESS_HEAP_ENTRY entry = {};
        HeapLock(heaps[i]);
        while (HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                busy += entry.cbData;
        HeapUnlock(heaps[i]);
    }
    return busy;
}

int HandlesOfType(const wchar_t* type, bool liveThreadsOnly)
{
    using QueryObject = NTSTATUS(WINAPI*)(HANDLE, int, PVOID, ULONG, PULONG);
    static const auto query = reinterpret_cast<QueryObject>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryObject")));
    constexpr int kObjectTypeInformation = 2;
    int count = 0;
    DWORD flags;
    for (uintptr_t value = 4; value < 0x20000; value += 4) {
        HANDLE handle = reinterpret_cast<HANDLE>(value);
        if (!GetHandleInformation(handle, &flags))
            continue;
        alignas(8) unsigned char info[512] = {};
        if (query(handle, kObjectTypeInformation, info, sizeof info, nullptr) < 0)
            continue;
        const UNICODE_STRING& name = *reinterpret_cast<const UNICODE_STRING*>(info);
        if (name.Buffer == nullptr || lstrcmpiW(name.Buffer, type) != 0)
            continue;
        DWORD exitCode = STILL_ACTIVE;
        if (liveThreadsOnly)
            GetExitCodeThread(handle, &exitCode);
        count += exitCode == STILL_ACTIVE;
    }
    return count;
}

Holdings Now()
{
    return {HandlesOfType(L"Semaphore"), HandlesOfType(L"Thread", true), HeapBytesInUse()};
}

