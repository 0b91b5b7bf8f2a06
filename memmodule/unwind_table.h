// Registers a loaded image's function table with the system's unwinder, so that
// exceptions can pass through the image's frames. One file per architecture
// implements it: x86-64 has such tables, i686 has none and only reports success.
#pragma once

#include <cstdint>

// count 12-byte RUNTIME_FUNCTION entries at table, relative to base.
bool AddUnwindTable(uint64_t table, uint32_t count, uint64_t base);
void DeleteUnwindTable(uint64_t table);
