// Calls a code address as a WINAPI (stdcall) function with ten 32-bit argument
// slots, a1 nearest the return address; the caller's stack pointer is restored
// afterwards, so a callee taking fewer arguments (or cdecl) leaves the caller intact.
#pragma once

#include <cstdint>

extern "C" uint32_t CallAddress(uint32_t code, uint32_t a1, uint32_t a2, uint32_t a3, uint32_t a4,
                                uint32_t a5, uint32_t a6, uint32_t a7, uint32_t a8, uint32_t a9,
                                uint32_t a10);
