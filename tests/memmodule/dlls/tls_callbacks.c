/* Two TLS callbacks placed the way MinGW's runtime collects them (pointers in
   .CRT$XL? sections, gathered by its _tls_used directory), which the runtime's own
   callbacks join. Each records its calls in the entry log, as callback 1 and 2. */
#include <windows.h>

#include "entry_log.h"

extern const IMAGE_TLS_DIRECTORY _tls_used;
/* Pulls the runtime's TLS directory into the image; nothing else refers to it. */
__attribute__((used)) const void* const tlsDirectory = &_tls_used;

static void NTAPI FirstCallback(PVOID handle, DWORD reason, PVOID reserved)
{
    RecordEntryCall(1, handle, reason, reserved);
}

static void NTAPI SecondCallback(PVOID handle, DWORD reason, PVOID reserved)
{
    RecordEntryCall(2, handle, reason, reserved);
}

__attribute__((section(".CRT$XLB"), used)) const PIMAGE_TLS_CALLBACK firstCallback = FirstCallback;
__attribute__((section(".CRT$XLY"), used)) const PIMAGE_TLS_CALLBACK secondCallback = SecondCallback;

/* Something to call, so the test sees the image working. */
__declspec(dllexport) uint32_t TlsLibraryAnswer(void) { return 0x715; }
