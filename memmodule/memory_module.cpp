// Loading side of MemoryModule: header checks, image size, reservation, mapping,
// relocation, import binding, the function table, the TLS callbacks and the entry
// point call. Every read stays inside the source buffer or the reservation, every
// write inside the reservation. PE32 and PE32+ differ only through image_format.h.
#include "memmodule/memory_module.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

#include "memmodule/image_view.h"
#include "memmodule/pe_constants.h"

using namespace pe;

namespace {

constexpr int64_t kMaxCount = std::numeric_limits<int32_t>::max();
constexpr uint16_t kVirtualSizeCountedMask = 0xFFFF;
constexpr uint16_t kRelocationTypeShift = 12;
constexpr uint16_t kRelocationOffsetMask = 0x0FFF;
constexpr uint64_t kOrdinalMask = 0xFFFF;
constexpr uint64_t kHintSize = 2;
constexpr size_t kMaxTlsCallbacks = 1024;  // a longer list is taken as not terminated

// The checked rounding behind AlignUp and the size sums: false on any overflow.
bool CheckedAlignUp(int64_t value, int64_t alignment, int64_t& out)
{
    if (alignment <= 0 || value < 0 || value > kMaxCount)
        return false;
    const int64_t rounded = (value + alignment - 1) / alignment * alignment;
    if (rounded > kMaxCount)
        return false;
    out = rounded;
    return true;
}

// Releases a reservation on every path of Load that does not keep it.
class ReservationGuard {
public:
    ReservationGuard(LoaderPlatform& platform, const ImageMemory& memory)
        : platform_(platform), memory_(memory) {}
    ~ReservationGuard()
    {
        if (memory_.bytes)
            platform_.Free(memory_);
    }
    ReservationGuard(const ReservationGuard&) = delete;
    ReservationGuard& operator=(const ReservationGuard&) = delete;
    const ImageMemory& Memory() const { return memory_; }
    ImageMemory Keep()
    {
        const ImageMemory kept = memory_;
        memory_ = ImageMemory{};
        return kept;
    }

private:
    LoaderPlatform& platform_;
    ImageMemory memory_;
};

// Keeps a function table registered only while Load goes on to succeed.
class FunctionTableGuard {
public:
    explicit FunctionTableGuard(LoaderPlatform& platform) : platform_(platform) {}
    ~FunctionTableGuard()
    {
        if (table_)
            platform_.DeleteFunctionTable(table_);
    }
    FunctionTableGuard(const FunctionTableGuard&) = delete;
    FunctionTableGuard& operator=(const FunctionTableGuard&) = delete;
    bool Add(uint64_t table, uint32_t count, uint64_t base)
    {
        if (!platform_.AddFunctionTable(table, count, base))
            return false;
        table_ = table;
        return true;
    }
    uint64_t Keep() { return std::exchange(table_, 0); }

private:
    LoaderPlatform& platform_;
    uint64_t table_ = 0;
};

uint64_t SectionTableOffset(const IMAGE_DOS_HEADER& dos, ImageFormat format)
{
    return static_cast<uint64_t>(dos.e_lfanew) + TraitsOf(format).ntHeadersSize;
}

// A pointer-sized value of the image, little-endian like the host.
void PutPointer(uint8_t* at, uint64_t value, ImageFormat format)
{
    std::memcpy(at, &value, TraitsOf(format).pointerSize);
}

}  // namespace

MemoryModule::MemoryModule(LoaderPlatform& platform) : platform_(&platform) {}

MemoryModule::~MemoryModule() { ReleaseRecords(); }

bool MemoryModule::Load(const ByteBuffer& image)
{
    if (base != 0)
        return false;
    const uint8_t* data = image.bytes();
    const int32_t length = static_cast<int32_t>(image.length);
    if (!ParseHeaders(data, length))
        return false;
    if (ImageSize() == 0)
        return false;
    const int32_t reserveSize = ReservationSize();
    if (reserveSize == 0)
        return false;
    const uint64_t headerCopy = uint64_t{ntHeaders.OptionalHeader.SizeOfHeaders} +
                                sizeof(IMAGE_SECTION_HEADER) * uint64_t(ntHeaders.FileHeader.NumberOfSections);
    if (headerCopy > uint64_t(length) || headerCopy > uint64_t(reserveSize))
        return false;

    ReservationGuard held(*platform_, ReserveImage(ntHeaders.OptionalHeader.ImageBase, reserveSize));
    const ImageMemory target = held.Memory();
    if (!target.bytes)
        return false;
    if (!MapImage(target, data, length))
        return false;
    if (static_cast<int32_t>(ntHeaders.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_BASERELOC].Size) > 0)
        Relocate(target);
    else if (target.address != ntHeaders.OptionalHeader.ImageBase)
        return false;  // nothing can fix its absolute addresses elsewhere
    if (!BindImports(target))
        return false;
    // Registered before any of the image's code runs, so that code can unwind.
    uint64_t table = 0;
    uint32_t tableCount = 0;
    if (!FunctionTable(target, table, tableCount))
        return false;
    FunctionTableGuard registered(*platform_);
    if (tableCount != 0 && !registered.Add(table, tableCount, target.address))
        return false;
    if ((ntHeaders.FileHeader.Characteristics & IMAGE_FILE_DLL) && !CallAttach(target))
        return false;
    functionTable_ = registered.Keep();
    image_ = held.Keep();
    base = image_.address;
    return true;
}

// The TLS callbacks, then the entry point, with reason attach; a refusal is detached
// again in Unload's order. An entry point of 0 or outside the image would run the
// headers or foreign memory: such an image is refused. Handle 0 goes to every call.
bool MemoryModule::CallAttach(const ImageMemory& target)
{
    const uint32_t entry = ntHeaders.OptionalHeader.AddressOfEntryPoint;
    if (entry == 0 || entry >= target.size)
        return false;
    std::vector<uint64_t> callbacks;
    if (!TlsCallbacks(target, callbacks))
        return false;
    const uint64_t code = target.address + entry;
    CallEach(callbacks, DLL_PROCESS_ATTACH);
    if (platform_->CallEntry(code, 0, DLL_PROCESS_ATTACH, 0) != 0)
        return true;
    CallEach(callbacks, DLL_PROCESS_DETACH);
    platform_->CallEntry(code, 0, DLL_PROCESS_DETACH, 0);
    return false;
}

void MemoryModule::CallEach(const std::vector<uint64_t>& callbacks, uint32_t reason)
{
    for (uint64_t callback : callbacks)
        platform_->CallEntry(callback, 0, reason, 0);
}

// AddressOfCallBacks is an absolute (relocated) address of a list of absolute
// addresses ending in 0. Only the callbacks are supported: the static TLS data
// (the raw data template, AddressOfIndex) gets no slot, so an image that reads
// its variables through the TLS index is not served; MinGW's own runtime keeps
// thread variables without it.
bool MemoryModule::TlsCallbacks(const ImageMemory& target, std::vector<uint64_t>& callbacks)
{
    callbacks.clear();
    const IMAGE_DATA_DIRECTORY& entry = ntHeaders.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_TLS];
    if (entry.Size == 0)
        return true;
    const ImageView image(target.bytes, target.size);
    IMAGE_TLS_DIRECTORY64 directory{};
    if (!ReadTlsDirectory(image, entry.VirtualAddress, Format(), directory))
        return false;
    if (directory.AddressOfCallBacks == 0)
        return true;
    const uint64_t slotSize = TraitsOf(Format()).pointerSize;
    uint64_t slot = directory.AddressOfCallBacks - target.address;  // wraps far outside when below
    for (;; slot += slotSize) {
        uint64_t callback = 0;
        if (callbacks.size() == kMaxTlsCallbacks || !ReadPointer(image, slot, Format(), callback))
            return false;
        if (callback == 0)
            return true;
        if (callback - target.address >= target.size)
            return false;
        callbacks.push_back(callback);
    }
}

// The x64 exception directory: count whole 12-byte entries, all inside the image.
bool MemoryModule::FunctionTable(const ImageMemory& target, uint64_t& table, uint32_t& count)
{
    const IMAGE_DATA_DIRECTORY& entry = ntHeaders.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXCEPTION];
    count = entry.Size / sizeof(RUNTIME_FUNCTION);
    table = target.address + entry.VirtualAddress;
    const ImageView image(target.bytes, target.size);
    return count == 0 || image.Contains(entry.VirtualAddress, uint64_t{count} * sizeof(RUNTIME_FUNCTION));
}

bool MemoryModule::ParseHeaders(const uint8_t* data, int32_t length)
{
    if (data == nullptr || length < int32_t{sizeof(IMAGE_DOS_HEADER)})
        return false;
    const ImageView source(data, uint64_t(length));
    source.Read(0, dosHeader);
    if (dosHeader.e_magic != IMAGE_DOS_SIGNATURE)
        return false;
    if (dosHeader.e_lfanew < 0 || !ReadNtHeaders(source, uint64_t(dosHeader.e_lfanew), Format(), ntHeaders))
        return false;
    if (ntHeaders.Signature != IMAGE_NT_SIGNATURE)
        return false;
    if (!(ntHeaders.FileHeader.Characteristics & IMAGE_FILE_EXECUTABLE_IMAGE))
        return false;
    if (!DeclaresFormat(ntHeaders, Format()))
        return false;  // the other architecture's image, or a malformed one
    const int count = ntHeaders.FileHeader.NumberOfSections;
    if (count < 0)
        return false;
    sections.assign(size_t(count), IMAGE_SECTION_HEADER{});
    const uint64_t table = SectionTableOffset(dosHeader, Format());
    for (int i = 0; i < count; ++i) {
        if (!source.Read(table + sizeof(IMAGE_SECTION_HEADER) * uint64_t(i), sections[size_t(i)]))
            return false;
        const IMAGE_SECTION_HEADER& section = sections[size_t(i)];
        if (uint64_t{section.PointerToRawData} + section.SizeOfRawData > uint64_t(length))
            return false;
    }
    return true;
}

int32_t MemoryModule::AlignUp(int64_t value, int32_t alignment)
{
    int64_t rounded = 0;
    return CheckedAlignUp(value, alignment, rounded) ? static_cast<int32_t>(rounded) : 0;
}

int32_t MemoryModule::ImageSize()
{
    const int64_t alignment = static_cast<int32_t>(ntHeaders.OptionalHeader.SectionAlignment);
    int64_t size = 0;
    if (!CheckedAlignUp(static_cast<int32_t>(ntHeaders.OptionalHeader.SizeOfHeaders), alignment, size))
        return 0;
    for (const IMAGE_SECTION_HEADER& section : sections) {
        const int64_t extent = std::max<int64_t>(static_cast<int32_t>(section.SizeOfRawData),
                                                 section.Misc.VirtualSize & kVirtualSizeCountedMask);
        int64_t end = 0;
        if (!CheckedAlignUp(int64_t{section.VirtualAddress} + extent, alignment, end))
            return 0;
        size = std::max(size, end);
    }
    return static_cast<int32_t>(size);
}

int32_t MemoryModule::ReservationSize()
{
    const int64_t alignment = static_cast<int32_t>(ntHeaders.OptionalHeader.SectionAlignment);
    int64_t size = ImageSize();
    for (const IMAGE_SECTION_HEADER& section : sections) {
        int64_t end = 0;
        if (!CheckedAlignUp(int64_t{section.VirtualAddress} + section.Misc.VirtualSize, alignment, end))
            return 0;
        size = std::max(size, end);
    }
    return static_cast<int32_t>(size);
}

ImageMemory MemoryModule::ReserveImage(uint64_t preferred, int32_t size)
{
    ImageMemory memory = platform_->Allocate(preferred, uint32_t(size));
    if (!memory.bytes)
        memory = platform_->Allocate(0, uint32_t(size));
    memory.size = memory.bytes ? uint32_t(size) : 0;
    return memory;
}

bool MemoryModule::MapImage(const ImageMemory& target, const uint8_t* source, int32_t length)
{
    const ImageView from(source, uint64_t(length));
    const ImageView image(target.bytes, target.size);
    const uint64_t headerCopy = uint64_t{ntHeaders.OptionalHeader.SizeOfHeaders} +
                                sizeof(IMAGE_SECTION_HEADER) * uint64_t(sections.size());
    if (!from.Contains(0, headerCopy) || !image.Contains(0, headerCopy))
        return false;
    std::memcpy(target.bytes, source, headerCopy);
    for (const IMAGE_SECTION_HEADER& section : sections) {
        if (section.VirtualAddress == 0)
            break;
        if (section.SizeOfRawData == 0)
            continue;
        if (!from.Contains(section.PointerToRawData, section.SizeOfRawData) ||
            !image.Contains(section.VirtualAddress, section.SizeOfRawData))
            return false;
        std::memcpy(target.bytes + section.VirtualAddress, source + section.PointerToRawData,
                    section.SizeOfRawData);
    }

    // Sections may have overwritten the headers: the records now come from the image.
    if (!image.Read(0, dosHeader) || dosHeader.e_lfanew < 0 ||
        !ReadNtHeaders(image, uint64_t(dosHeader.e_lfanew), Format(), ntHeaders))
        return false;
    const int count = ntHeaders.FileHeader.NumberOfSections;
    if (count < 0)
        return false;
    sections.assign(size_t(count), IMAGE_SECTION_HEADER{});
    const uint64_t table = SectionTableOffset(dosHeader, Format());
    for (int i = 0; i < count; ++i) {
        if (!image.Read(table + sizeof(IMAGE_SECTION_HEADER) * uint64_t(i), sections[size_t(i)]))
            return false;
    }
    return true;
}

// The walk ends at a block whose page is 0, and also at a block header that does
// not fit, a SizeOfBlock below 8, or a block running past the image: such a block
// is not applied and nothing after it is read. Only the format's own type is applied
// (HIGHLOW for PE32, DIR64 for PE32+), modulo its width; every other type, ABSOLUTE
// padding included, is skipped. Targets outside the image are skipped.
void MemoryModule::Relocate(const ImageMemory& target)
{
    const ImageView image(target.bytes, target.size);
    const uint16_t applied = TraitsOf(Format()).relocationType;
    const uint64_t delta = target.address - ntHeaders.OptionalHeader.ImageBase;
    uint64_t block = ntHeaders.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_BASERELOC].VirtualAddress;
    IMAGE_BASE_RELOCATION header{};
    while (image.Read(block, header) && header.VirtualAddress != 0) {
        if (header.SizeOfBlock < sizeof header || !image.Contains(block, header.SizeOfBlock))
            return;
        const uint32_t count = (header.SizeOfBlock - sizeof header) / sizeof(uint16_t);
        for (uint32_t i = 0; i < count; ++i) {
            uint16_t entry = 0;
            image.Read(block + sizeof header + sizeof entry * i, entry);
            if ((entry >> kRelocationTypeShift) != applied)
                continue;
            const uint64_t place = uint64_t{header.VirtualAddress} + (entry & kRelocationOffsetMask);
            uint64_t value = 0;
            if (!ReadPointer(image, place, Format(), value))
                continue;
            PutPointer(target.bytes + place, value + delta, Format());
        }
        block += header.SizeOfBlock;
    }
}

// Names and ordinals come from FirstThunk, overwritten in place; thunks are
// pointer-sized with the format's ordinal flag. A descriptor, name or thunk outside
// the image refuses the bind like a missing function.
bool MemoryModule::BindImports(const ImageMemory& target)
{
    const ImageView image(target.bytes, target.size);
    const ImageFormatTraits& traits = TraitsOf(Format());
    const uint32_t directory = ntHeaders.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    if (directory == 0)
        return true;
    for (uint64_t desc = directory;; desc += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        IMAGE_IMPORT_DESCRIPTOR descriptor{};
        if (!image.Read(desc, descriptor))
            return false;
        if (descriptor.FirstThunk == 0)
            return true;
        const char* name = image.String(descriptor.Name);
        if (!name)
            return false;
        uint64_t library = platform_->FindLoadedLibrary(name);
        if (library == 0)
            library = platform_->LoadNamedLibrary(name);
        if (library == 0)
            return false;
        for (uint64_t slot = descriptor.FirstThunk;; slot += traits.pointerSize) {
            uint64_t thunk = 0;
            if (!ReadPointer(image, slot, Format(), thunk))
                return false;
            if (thunk == 0)
                break;
            uint64_t proc = 0;
            if (thunk & traits.ordinalFlag) {
                proc = platform_->FindProcByOrdinal(library, uint16_t(thunk & kOrdinalMask));
            } else {
                const char* procName = image.String(thunk + kHintSize);
                if (!procName)
                    return false;
                proc = platform_->FindProcByName(library, procName);
            }
            if (proc == 0)
                return false;
            PutPointer(target.bytes + slot, proc, Format());
        }
    }
}
