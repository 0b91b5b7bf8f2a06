// The two image formats the loader reads, PE32 and PE32+: one table of what tells
// them apart, and readers that take either layout of the NT headers and the TLS
// directory into one record the rest of the loader uses. Portable; no behaviour
// beyond reading.
#pragma once

#include <cstdint>

#include "memmodule/image_view.h"
#include "memmodule/pe_format.h"

enum class ImageFormat : uint8_t { Pe32, Pe32Plus };

struct ImageFormatTraits {
    uint16_t machine;             // FileHeader.Machine
    uint16_t magic;               // OptionalHeader.Magic
    uint16_t optionalHeaderSize;  // FileHeader.SizeOfOptionalHeader
    uint32_t ntHeadersSize;       // where the section table starts after e_lfanew
    uint32_t pointerSize;         // absolute addresses, thunks, TLS callback slots
    uint16_t relocationType;      // the one base relocation type applied
    uint64_t ordinalFlag;         // a thunk with this bit imports by ordinal
};

const ImageFormatTraits& TraitsOf(ImageFormat format);

// The optional header of either layout, every field at the wider of its two widths;
// BaseOfData exists only in PE32 and reads 0 for PE32+.
struct ImageOptionalHeader {
    uint16_t Magic;
    uint8_t MajorLinkerVersion;
    uint8_t MinorLinkerVersion;
    uint32_t SizeOfCode;
    uint32_t SizeOfInitializedData;
    uint32_t SizeOfUninitializedData;
    uint32_t AddressOfEntryPoint;
    uint32_t BaseOfCode;
    uint32_t BaseOfData;
    uint64_t ImageBase;
    uint32_t SectionAlignment;
    uint32_t FileAlignment;
    uint16_t MajorOperatingSystemVersion;
    uint16_t MinorOperatingSystemVersion;
    uint16_t MajorImageVersion;
    uint16_t MinorImageVersion;
    uint16_t MajorSubsystemVersion;
    uint16_t MinorSubsystemVersion;
    uint32_t Win32VersionValue;
    uint32_t SizeOfImage;
    uint32_t SizeOfHeaders;
    uint32_t CheckSum;
    uint16_t Subsystem;
    uint16_t DllCharacteristics;
    uint64_t SizeOfStackReserve;
    uint64_t SizeOfStackCommit;
    uint64_t SizeOfHeapReserve;
    uint64_t SizeOfHeapCommit;
    uint32_t LoaderFlags;
    uint32_t NumberOfRvaAndSizes;
    pe::IMAGE_DATA_DIRECTORY DataDirectory[pe::kDirectoryEntries];
};

struct ImageNtHeaders {
    uint32_t Signature;
    pe::IMAGE_FILE_HEADER FileHeader;
    ImageOptionalHeader OptionalHeader;
};

// Reads the NT headers at offset in format's layout; false when they do not fit.
// Checks nothing else: whether the header says it is of that format is for the caller.
bool ReadNtHeaders(const ImageView& view, uint64_t offset, ImageFormat format, ImageNtHeaders& out);

// True when the headers declare format: its machine, its magic, its optional header size.
bool DeclaresFormat(const ImageNtHeaders& headers, ImageFormat format);

// Reads the TLS directory at offset in format's layout (as the 64-bit one).
bool ReadTlsDirectory(const ImageView& view, uint64_t offset, ImageFormat format, pe::IMAGE_TLS_DIRECTORY64& out);

// One pointer-sized little-endian value of format (4 or 8 bytes).
bool ReadPointer(const ImageView& view, uint64_t offset, ImageFormat format, uint64_t& out);
