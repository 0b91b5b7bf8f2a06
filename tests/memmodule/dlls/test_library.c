/* The main test library: exports of 0, 2, 6 and 10 arguments (stdcall and cdecl)
   that fold their arguments in order, and imports by name and by ordinal. */
#include <stdint.h>
#include <windows.h>

#define FOLD(r, x) ((r) * 31u + (x))

__declspec(dllexport) uint32_t __stdcall Sum0(void) { return 0x600D; }
__declspec(dllexport) uint32_t __stdcall Sum2(uint32_t a, uint32_t b) { return FOLD(FOLD(7, a), b); }
__declspec(dllexport) uint32_t __stdcall Sum6(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t e,
                                              uint32_t f)
{
    return FOLD(FOLD(FOLD(FOLD(FOLD(FOLD(7, a), b), c), d), e), f);
}
__declspec(dllexport) uint32_t __stdcall Sum10(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t e,
                                               uint32_t f, uint32_t g, uint32_t h, uint32_t i, uint32_t j)
{
    return FOLD(FOLD(FOLD(FOLD(FOLD(FOLD(FOLD(FOLD(FOLD(FOLD(7, a), b), c), d), e), f), g), h), i), j);
}
__declspec(dllexport) uint32_t __cdecl CdeclSum2(uint32_t a, uint32_t b) { return Sum2(a, b); }
__declspec(dllexport) uint32_t __cdecl CdeclSum6(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t e,
                                                 uint32_t f)
{
    return Sum6(a, b, c, d, e, f);
}
__declspec(dllexport) uint32_t __cdecl CdeclSum10(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t e,
                                                  uint32_t f, uint32_t g, uint32_t h, uint32_t i, uint32_t j)
{
    return Sum10(a, b, c, d, e, f, g, h, i, j);
}

/* kernel32 and user32 by name. */
__declspec(dllexport) uint32_t __stdcall ProcessIdByName(void) { return GetCurrentProcessId(); }
__declspec(dllexport) uint32_t __stdcall ScreenWidthByName(void) { return (uint32_t)GetSystemMetrics(SM_CXSCREEN); }

/* user32 by ordinal (import library made from user32_ordinal.def): the bound slot. */
__declspec(dllimport) int UserByOrdinal(void);
__declspec(dllexport) uintptr_t __stdcall OrdinalSlot(void) { return (uintptr_t)&UserByOrdinal; }
