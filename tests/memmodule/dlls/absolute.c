/* Code that works only if the image's absolute addresses were fixed up:
   a pointer in data and a table of function pointers. */
#include <stdint.h>

#define ABSOLUTE_VALUE 0x5EED

static int value = ABSOLUTE_VALUE;
static int* volatile pointerToValue = &value;

static int __stdcall Twice(int x) { return 2 * x; }
static int(__stdcall* volatile doubler)(int) = Twice;

__declspec(dllexport) int __stdcall ReadThroughPointer(void) { return doubler(*pointerToValue) / 2; }
__declspec(dllexport) uintptr_t __stdcall ValueAddress(void) { return (uintptr_t)&value; }
