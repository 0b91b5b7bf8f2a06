// A library image (PE32 or PE32+, the one the platform runs) loaded from memory:
// header checks, mapping, relocation, import binding, unwind data, TLS callbacks
// and the entry point call, then export lookup by name and unload.
// Portable: every platform call goes through a LoaderPlatform.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "base/byte_buffer.h"
#include "memmodule/loader_platform.h"
#include "memmodule/image_format.h"
#include "memmodule/pe_format.h"

// Thread: single-threaded; every call comes from the user-interface thread, no locks.
// The virtual table is the object's table of operations, in its fixed order
// (ReleaseRecords .. BindImports); the destructor's slots come after them.
class MemoryModule {
public:
    // The Windows build's object, bound to the system's own loader (windows_loader.h).
    MemoryModule();
    explicit MemoryModule(LoaderPlatform& platform);
    MemoryModule(const MemoryModule&) = delete;
    MemoryModule& operator=(const MemoryModule&) = delete;

    // Frees the header records (they read as a new object's afterwards); the image stays.
    virtual void ReleaseRecords();
    // A new object with copies of every record, the same platform and the same base:
    // both then describe one image in memory, so at most one of them may Unload.
    virtual std::unique_ptr<MemoryModule> Copy();
    // Reads the bytes in place and keeps no reference to image; false on any refusal.
    virtual bool Load(const ByteBuffer& image);
    // Detaches (reason 0) a DLL, its TLS callbacks first, then its entry point;
    // removes its function table and releases the image; nothing when empty.
    virtual void Unload();
    // base + the named export's address, or 0. Addresses are 64-bit on every build.
    virtual uint64_t GetProc(const char* name);
    virtual uint64_t EntryPoint();
    virtual uint64_t Handle();

    // Steps of Load, public so tests can pin each one.
    virtual bool ParseHeaders(const uint8_t* data, int32_t length);
    // The image size by the low-16-bit VirtualSize rule; 0 when it cannot be computed.
    virtual int32_t ImageSize();
    // value rounded up to a multiple of alignment; 0 when alignment is not positive,
    // value is negative, or the result does not fit in a signed 32-bit count.
    virtual int32_t AlignUp(int64_t value, int32_t alignment);
    // Copies headers and section data, then re-reads the records from the image;
    // false when any of that would leave the source or the reservation.
    virtual bool MapImage(const ImageMemory& target, const uint8_t* source, int32_t length);
    virtual void Relocate(const ImageMemory& target);
    virtual bool BindImports(const ImageMemory& target);

    // Releases the records only: the loaded image (if any) stays until the process
    // ends, as the skin engine does; call Unload first to detach and free it.
    virtual ~MemoryModule();

private:
    // What Load reserves: ImageSize, widened to cover every section's whole VirtualSize.
    int32_t ReservationSize();
    ImageMemory ReserveImage(uint64_t preferred, int32_t size);
    // The exception directory as the platform registers it; false when it leaves the image.
    bool FunctionTable(const ImageMemory& target, uint64_t& table, uint32_t& count);
    // The image's TLS callback addresses in order; false when the list leaves the image.
    bool TlsCallbacks(const ImageMemory& target, std::vector<uint64_t>& callbacks);
    void CallEach(const std::vector<uint64_t>& callbacks, uint32_t reason);
    bool CallAttach(const ImageMemory& target);
    ImageFormat Format() const { return platform_->Format(); }

    LoaderPlatform* platform_;
    uint64_t base = 0;                       // written last by a successful Load
    ImageMemory image_;                      // the reservation behind base
    uint64_t functionTable_ = 0;             // registered exception directory, or 0
    pe::IMAGE_DOS_HEADER dosHeader{};
    ImageNtHeaders ntHeaders{};              // either layout, as image_format.h reads it
    std::vector<pe::IMAGE_SECTION_HEADER> sections;
};
