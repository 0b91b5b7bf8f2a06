// The PE/COFF constants the loader tests against, with the format's own names.
// Portable code only: <windows.h> defines the same names as macros.
#pragma once

#include <cstdint>

constexpr uint16_t IMAGE_DOS_SIGNATURE = 0x5A4D;
constexpr uint32_t IMAGE_NT_SIGNATURE = 0x00004550;
constexpr uint16_t IMAGE_FILE_EXECUTABLE_IMAGE = 0x0002;
constexpr uint16_t IMAGE_FILE_DLL = 0x2000;

constexpr uint16_t IMAGE_FILE_MACHINE_I386 = 0x014C;
constexpr uint16_t IMAGE_FILE_MACHINE_AMD64 = 0x8664;
constexpr uint16_t IMAGE_NT_OPTIONAL_HDR32_MAGIC = 0x10B;
constexpr uint16_t IMAGE_NT_OPTIONAL_HDR64_MAGIC = 0x20B;

constexpr int IMAGE_DIRECTORY_ENTRY_EXPORT = 0;
constexpr int IMAGE_DIRECTORY_ENTRY_IMPORT = 1;
constexpr int IMAGE_DIRECTORY_ENTRY_EXCEPTION = 3;
constexpr int IMAGE_DIRECTORY_ENTRY_BASERELOC = 5;
constexpr int IMAGE_DIRECTORY_ENTRY_TLS = 9;

constexpr uint16_t IMAGE_REL_BASED_ABSOLUTE = 0;
constexpr uint16_t IMAGE_REL_BASED_HIGHLOW = 3;
constexpr uint16_t IMAGE_REL_BASED_DIR64 = 10;
constexpr uint32_t IMAGE_ORDINAL_FLAG32 = 0x80000000;
constexpr uint64_t IMAGE_ORDINAL_FLAG64 = 0x8000000000000000;

constexpr uint32_t DLL_PROCESS_DETACH = 0;
constexpr uint32_t DLL_PROCESS_ATTACH = 1;
