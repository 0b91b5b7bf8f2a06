// Reading and editing a linked test image (of the process's own format) before it
// is loaded: telling its entry point what to do, permuting its export name-ordinal
// table, finding its header fields.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <windows.h>
#include "tests/memmodule/dlls/entry_log.h"

// The image's NT headers, in the process's own layout.
inline IMAGE_NT_HEADERS NtHeadersOf(const uint8_t* image)
{
    IMAGE_DOS_HEADER dos;
    IMAGE_NT_HEADERS nt;
    std::memcpy(&dos, image, sizeof dos);
    std::memcpy(&nt, image + dos.e_lfanew, sizeof nt);
    return nt;
}

// File offset of an address relative to the image base, or 0 when no section holds it.
inline size_t FileOffsetOf(const std::vector<uint8_t>& file, uint32_t rva)
{
    IMAGE_DOS_HEADER dos;
    IMAGE_NT_HEADERS nt;
    std::memcpy(&dos, file.data(), sizeof dos);
    std::memcpy(&nt, file.data() + dos.e_lfanew, sizeof nt);
    for (int i = 0; i < nt.FileHeader.NumberOfSections; ++i) {
        IMAGE_SECTION_HEADER s;
        std::memcpy(&s, file.data() + dos.e_lfanew + sizeof nt + sizeof s * i, sizeof s);
        if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData)
            return s.PointerToRawData + (rva - s.VirtualAddress);
    }
    return 0;
}

// Points the entry point's log at log and sets what its attach call returns.
inline bool ConfigureEntry(std::vector<uint8_t>& file, uint32_t attachResult, const EntryLog* log)
{
    const uint32_t magic[2] = {ENTRY_CONFIG_MAGIC0, ENTRY_CONFIG_MAGIC1};
    for (size_t i = 0; i + sizeof(EntryConfig) <= file.size(); i += 4) {
        if (std::memcmp(file.data() + i, magic, sizeof magic) != 0)
            continue;
        EntryConfig config;
        std::memcpy(&config, file.data() + i, sizeof config);
        config.attachResult = attachResult;
        config.logAddress = reinterpret_cast<uintptr_t>(log);
        std::memcpy(file.data() + i, &config, sizeof config);
        return true;
    }
    return false;
}

// Swaps the name-ordinal entries of two exported names: each name then leads to
// the other's function, as a linker that stored them out of order would have it.
inline bool SwapExportOrdinals(std::vector<uint8_t>& file, const std::string& a, const std::string& b)
{
    IMAGE_DOS_HEADER dos;
    IMAGE_NT_HEADERS nt;
    std::memcpy(&dos, file.data(), sizeof dos);
    std::memcpy(&nt, file.data() + dos.e_lfanew, sizeof nt);
    const size_t dirAt = FileOffsetOf(file, nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT].VirtualAddress);
    if (dirAt == 0)
        return false;
    IMAGE_EXPORT_DIRECTORY dir;
    std::memcpy(&dir, file.data() + dirAt, sizeof dir);
    const size_t names = FileOffsetOf(file, dir.AddressOfNames);
    const size_t ordinals = FileOffsetOf(file, dir.AddressOfNameOrdinals);
    size_t at[2] = {0, 0};
    for (uint32_t n = 0; n < dir.NumberOfNames; ++n) {
        uint32_t nameRva;
        std::memcpy(&nameRva, file.data() + names + 4 * n, 4);
        const char* name = reinterpret_cast<const char*>(file.data() + FileOffsetOf(file, nameRva));
        if (a == name)
            at[0] = ordinals + 2 * n;
        if (b == name)
            at[1] = ordinals + 2 * n;
    }
    if (at[0] == 0 || at[1] == 0)
        return false;
    std::swap(file[at[0]], file[at[1]]);
    std::swap(file[at[0] + 1], file[at[1] + 1]);
    return true;
}
