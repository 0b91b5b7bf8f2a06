// The loaded side of MemoryModule: export lookup by name, the accessors, unload,
// copying and releasing the records. Lookups read only inside the reservation.
// A forwarded export's address points into the export directory and is returned
// like any other.
#include <cstring>

#include "memmodule/image_view.h"
#include "memmodule/pe_constants.h"
#include "memmodule/memory_module.h"

using namespace pe;

// Each entry of the name pointer table is read on its own (names need not lie back
// to back); a table, name or ordinal outside the image or function table gives 0.
uint64_t MemoryModule::GetProc(const char* name)
{
    if (base == 0 || name == nullptr)
        return 0;
    const IMAGE_DATA_DIRECTORY& entry = ntHeaders.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (entry.Size == 0)
        return 0;
    const ImageView image(image_.bytes, image_.size);
    IMAGE_EXPORT_DIRECTORY directory{};
    if (!image.Read(entry.VirtualAddress, directory))
        return 0;
    const uint64_t functionBytes = sizeof(uint32_t) * uint64_t{directory.NumberOfFunctions};
    if (!image.Contains(directory.AddressOfFunctions, functionBytes))
        return 0;
    std::vector<uint32_t> functions(directory.NumberOfFunctions);
    if (functionBytes != 0)
        std::memcpy(functions.data(), image.At(directory.AddressOfFunctions), functionBytes);

    for (uint64_t n = 0; n < directory.NumberOfNames; ++n) {
        uint32_t nameAddress = 0;
        if (!image.Read(directory.AddressOfNames + sizeof(uint32_t) * n, nameAddress))
            return 0;
        const char* candidate = image.String(nameAddress);
        if (!candidate)
            return 0;
        if (std::strcmp(candidate, name) != 0)
            continue;
        uint16_t index = 0;
        if (!image.Read(directory.AddressOfNameOrdinals + sizeof(uint16_t) * n, index) ||
            index >= functions.size())
            return 0;
        return base + functions[index];
    }
    return 0;
}

uint64_t MemoryModule::EntryPoint()
{
    return base == 0 ? 0 : base + ntHeaders.OptionalHeader.AddressOfEntryPoint;
}

uint64_t MemoryModule::Handle() { return base; }

// The callback list is read again from the image, where the image may have changed it;
// a list that now leaves the image is not called.
void MemoryModule::Unload()
{
    if (base == 0)
        return;
    if (ntHeaders.FileHeader.Characteristics & IMAGE_FILE_DLL) {
        std::vector<uint64_t> callbacks;
        if (TlsCallbacks(image_, callbacks))
            CallEach(callbacks, DLL_PROCESS_DETACH);
        platform_->CallEntry(EntryPoint(), 0, DLL_PROCESS_DETACH, 0);
    }
    if (functionTable_ != 0)
        platform_->DeleteFunctionTable(functionTable_);
    functionTable_ = 0;
    platform_->Free(image_);
    image_ = ImageMemory{};
    base = 0;
}

void MemoryModule::ReleaseRecords()
{
    dosHeader = IMAGE_DOS_HEADER{};
    ntHeaders = ImageNtHeaders{};
    std::vector<IMAGE_SECTION_HEADER>().swap(sections);
}

std::unique_ptr<MemoryModule> MemoryModule::Copy()
{
    std::unique_ptr<MemoryModule> copy(new MemoryModule(*platform_));
    copy->base = base;
    copy->image_ = image_;
    copy->functionTable_ = functionTable_;
    copy->dosHeader = dosHeader;
    copy->ntHeaders = ntHeaders;
    copy->sections = sections;
    return copy;
}
