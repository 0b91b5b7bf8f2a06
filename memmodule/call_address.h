// Calls a code address in the platform's WINAPI convention with ten pointer-sized
// argument slots, a1 first; the caller's stack pointer is restored afterwards, so a
// callee taking fewer arguments (or, on i686, cdecl) leaves the caller intact.
// One assembly file per architecture implements it.
#pragma once

#include <cstdint>

extern "C" uintptr_t CallAddress(uintptr_t code, uintptr_t a1, uintptr_t a2, uintptr_t a3, uintptr_t a4,
                                 uintptr_t a5, uintptr_t a6, uintptr_t a7, uintptr_t a8, uintptr_t a9,
                                 uintptr_t a10);
