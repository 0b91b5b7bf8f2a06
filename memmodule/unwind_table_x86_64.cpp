// x86-64: the image's exception directory goes to the system's unwinder as a
// dynamic function table, for the whole time the image is loaded.
#include "memmodule/unwind_table.h"

#include <windows.h>

bool AddUnwindTable(uint64_t table, uint32_t count, uint64_t base)
{
    return RtlAddFunctionTable(reinterpret_cast<PRUNTIME_FUNCTION>(static_cast<uintptr_t>(table)), count, base);
}

void DeleteUnwindTable(uint64_t table)
{
    RtlDeleteFunctionTable(reinterpret_cast<PRUNTIME_FUNCTION>(static_cast<uintptr_t>(table)));
}
