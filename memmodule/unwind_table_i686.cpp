// i686: frames unwind through the stack's own handler chain; there is no function
// table to register, so registering succeeds and nothing is kept.
#include "memmodule/unwind_table.h"

bool AddUnwindTable(uint64_t, uint32_t, uint64_t) { return true; }

void DeleteUnwindTable(uint64_t) {}
