// Hand-built PE32 and PE32+ images for the native tests and the fuzz seeds: headers,
// a section table and section data laid out as a linker would, every field settable
// in one record whatever the format; Build writes the format's own layout.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "memmodule/image_format.h"
#include "memmodule/pe_constants.h"
#include "memmodule/pe_format.h"

inline void Put16(std::vector<uint8_t>& bytes, size_t offset, uint16_t value)
{
    if (bytes.size() < offset + 2)
        bytes.resize(offset + 2);
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}

inline void Put32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value)
{
    if (bytes.size() < offset + 4)
        bytes.resize(offset + 4);
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}

inline void Put64(std::vector<uint8_t>& bytes, size_t offset, uint64_t value)
{
    if (bytes.size() < offset + 8)
        bytes.resize(offset + 8);
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}

// A pointer-sized value of format: 4 or 8 bytes.
inline void PutPointer(std::vector<uint8_t>& bytes, size_t offset, uint64_t value, ImageFormat format)
{
    if (format == ImageFormat::Pe32Plus)
        Put64(bytes, offset, value);
    else
        Put32(bytes, offset, static_cast<uint32_t>(value));
}

inline void PutText(std::vector<uint8_t>& bytes, size_t offset, const std::string& text)
{
    if (bytes.size() < offset + text.size() + 1)
        bytes.resize(offset + text.size() + 1);
    std::memcpy(bytes.data() + offset, text.c_str(), text.size() + 1);
}

struct PeSection {
    uint32_t virtualAddress;
    uint32_t virtualSize;
    std::vector<uint8_t> data;
};

class PeBuilder {
public:
    static constexpr int32_t kNtOffset = 0x40;
    static constexpr uint32_t kFileAlignment = 0x200;
    static constexpr uint64_t kPe32Base = 0x10000000;
    static constexpr uint64_t kPe32PlusBase = 0x180000000;  // above 4 GiB

    explicit PeBuilder(ImageFormat imageFormat = ImageFormat::Pe32) : format(imageFormat)
    {
        const ImageFormatTraits& traits = TraitsOf(format);
        dos.e_magic = IMAGE_DOS_SIGNATURE;
        dos.e_lfanew = kNtOffset;
        nt.Signature = IMAGE_NT_SIGNATURE;
        nt.FileHeader.Machine = traits.machine;
        nt.FileHeader.SizeOfOptionalHeader = traits.optionalHeaderSize;
        nt.FileHeader.Characteristics = IMAGE_FILE_EXECUTABLE_IMAGE | IMAGE_FILE_DLL;
        nt.OptionalHeader.Magic = traits.magic;
        nt.OptionalHeader.ImageBase = format == ImageFormat::Pe32Plus ? kPe32PlusBase : kPe32Base;
        nt.OptionalHeader.SectionAlignment = 0x1000;
        nt.OptionalHeader.FileAlignment = kFileAlignment;
        nt.OptionalHeader.SizeOfHeaders = 0x400;
        nt.OptionalHeader.NumberOfRvaAndSizes = pe::kDirectoryEntries;
    }

    PeSection& AddSection(uint32_t virtualAddress, uint32_t virtualSize, std::vector<uint8_t> data = {})
    {
        sections.push_back(PeSection{virtualAddress, virtualSize, std::move(data)});
        return sections.back();
    }

    void Directory(int index, uint32_t address, uint32_t size)
    {
        nt.OptionalHeader.DataDirectory[index] = pe::IMAGE_DATA_DIRECTORY{address, size};
    }

    // Section data follows the headers at file-aligned offsets; tests corrupt the
    // returned bytes where they need a field the builder keeps consistent.
    std::vector<uint8_t> Build() const
    {
        ImageNtHeaders headers = nt;
        if (!keepSectionCount)
            headers.FileHeader.NumberOfSections = static_cast<int16_t>(sections.size());
        const std::vector<uint8_t> layout = format == ImageFormat::Pe32Plus
                                                ? Layout<pe::IMAGE_NT_HEADERS64>(headers)
                                                : Layout<pe::IMAGE_NT_HEADERS32>(headers);
        std::vector<uint8_t> file(nt.OptionalHeader.SizeOfHeaders);
        const size_t tableStart = SectionHeaderOffset(0, format);
        const size_t tableEnd = tableStart + sizeof(pe::IMAGE_SECTION_HEADER) * sections.size();
        if (file.size() < tableEnd)
            file.resize(tableEnd);
        std::memcpy(file.data(), &dos, sizeof dos);
        std::memcpy(file.data() + kNtOffset, layout.data(), layout.size());
        size_t raw = AlignFile(file.size());
        for (size_t i = 0; i < sections.size(); ++i) {
            const PeSection& s = sections[i];
            pe::IMAGE_SECTION_HEADER h{};
            std::memcpy(h.Name, ".sect", 5);
            h.Misc.VirtualSize = s.virtualSize;
            h.VirtualAddress = s.virtualAddress;
            h.SizeOfRawData = static_cast<uint32_t>(AlignFile(s.data.size()));
            h.PointerToRawData = s.data.empty() ? 0 : static_cast<uint32_t>(raw);
            std::memcpy(file.data() + tableStart + sizeof h * i, &h, sizeof h);
            if (!s.data.empty()) {
                file.resize(raw + h.SizeOfRawData);
                std::memcpy(file.data() + raw, s.data.data(), s.data.size());
                raw += h.SizeOfRawData;
            }
        }
        return file;
    }

    static size_t SectionHeaderOffset(size_t index, ImageFormat format = ImageFormat::Pe32)
    {
        return kNtOffset + TraitsOf(format).ntHeadersSize + sizeof(pe::IMAGE_SECTION_HEADER) * index;
    }

    ImageFormat format;
    pe::IMAGE_DOS_HEADER dos{};
    ImageNtHeaders nt{};
    std::vector<PeSection> sections;
    bool keepSectionCount = false;  // use nt.FileHeader.NumberOfSections as set

private:
    static size_t AlignFile(size_t n) { return (n + kFileAlignment - 1) / kFileAlignment * kFileAlignment; }

    // The record in one layout; fields the layout lacks (BaseOfData in PE32+) are
    // dropped and wider values are cut to the layout's width, as a hand edit would.
    template <typename Raw>
    static std::vector<uint8_t> Layout(const ImageNtHeaders& from)
    {
        Raw raw{};
        raw.Signature = from.Signature;
        raw.FileHeader = from.FileHeader;
        const ImageOptionalHeader& f = from.OptionalHeader;
        auto& o = raw.OptionalHeader;
        using Address = decltype(o.ImageBase);
        SetBaseOfData(o, f.BaseOfData);
        o.Magic = f.Magic;
        o.MajorLinkerVersion = f.MajorLinkerVersion;
        o.MinorLinkerVersion = f.MinorLinkerVersion;
        o.SizeOfCode = f.SizeOfCode;
        o.SizeOfInitializedData = f.SizeOfInitializedData;
        o.SizeOfUninitializedData = f.SizeOfUninitializedData;
        o.AddressOfEntryPoint = f.AddressOfEntryPoint;
        o.BaseOfCode = f.BaseOfCode;
        o.ImageBase = static_cast<Address>(f.ImageBase);
        o.SectionAlignment = f.SectionAlignment;
        o.FileAlignment = f.FileAlignment;
        o.MajorOperatingSystemVersion = f.MajorOperatingSystemVersion;
        o.MinorOperatingSystemVersion = f.MinorOperatingSystemVersion;
        o.MajorImageVersion = f.MajorImageVersion;
        o.MinorImageVersion = f.MinorImageVersion;
        o.MajorSubsystemVersion = f.MajorSubsystemVersion;
        o.MinorSubsystemVersion = f.MinorSubsystemVersion;
        o.Win32VersionValue = f.Win32VersionValue;
        o.SizeOfImage = f.SizeOfImage;
        o.SizeOfHeaders = f.SizeOfHeaders;
        o.CheckSum = f.CheckSum;
        o.Subsystem = f.Subsystem;
        o.DllCharacteristics = f.DllCharacteristics;
        o.SizeOfStackReserve = static_cast<Address>(f.SizeOfStackReserve);
        o.SizeOfStackCommit = static_cast<Address>(f.SizeOfStackCommit);
        o.SizeOfHeapReserve = static_cast<Address>(f.SizeOfHeapReserve);
        o.SizeOfHeapCommit = static_cast<Address>(f.SizeOfHeapCommit);
        o.LoaderFlags = f.LoaderFlags;
        o.NumberOfRvaAndSizes = f.NumberOfRvaAndSizes;
        for (int i = 0; i < pe::kDirectoryEntries; ++i)
            o.DataDirectory[i] = f.DataDirectory[i];
        std::vector<uint8_t> bytes(sizeof raw);
        std::memcpy(bytes.data(), &raw, sizeof raw);
        return bytes;
    }
    static void SetBaseOfData(pe::IMAGE_OPTIONAL_HEADER32& o, uint32_t value) { o.BaseOfData = value; }
    static void SetBaseOfData(pe::IMAGE_OPTIONAL_HEADER64&, uint32_t) {}
};

// An export table laid out inside one section's data at sectionOffset, for a
// section at sectionAddress: directory, function table, name pointers, ordinals, names.
struct ExportTable {
    std::vector<uint32_t> functions;       // addresses relative to base
    std::vector<std::string> names;        // in name pointer table order
    std::vector<uint16_t> ordinals;        // one per name
};

inline void PutExports(std::vector<uint8_t>& data, uint32_t sectionAddress, uint32_t sectionOffset,
                       const ExportTable& table)
{
    const uint32_t functions = sectionOffset + sizeof(pe::IMAGE_EXPORT_DIRECTORY);
    const uint32_t names = functions + 4 * static_cast<uint32_t>(table.functions.size());
    const uint32_t ordinals = names + 4 * static_cast<uint32_t>(table.names.size());
    uint32_t text = ordinals + 2 * static_cast<uint32_t>(table.names.size());
    pe::IMAGE_EXPORT_DIRECTORY directory{};
    directory.Base = 1;
    directory.NumberOfFunctions = static_cast<uint32_t>(table.functions.size());
    directory.NumberOfNames = static_cast<uint32_t>(table.names.size());
    directory.AddressOfFunctions = sectionAddress + functions;
    directory.AddressOfNames = sectionAddress + names;
    directory.AddressOfNameOrdinals = sectionAddress + ordinals;
    if (data.size() < sectionOffset + sizeof directory)
        data.resize(sectionOffset + sizeof directory);
    std::memcpy(data.data() + sectionOffset, &directory, sizeof directory);
    for (size_t i = 0; i < table.functions.size(); ++i)
        Put32(data, functions + 4 * i, table.functions[i]);
    for (size_t i = 0; i < table.names.size(); ++i) {
        Put32(data, names + 4 * i, sectionAddress + text);
        Put16(data, ordinals + 2 * i, table.ordinals[i]);
        PutText(data, text, table.names[i]);
        text += static_cast<uint32_t>(table.names[i].size() + 1);
    }
}
