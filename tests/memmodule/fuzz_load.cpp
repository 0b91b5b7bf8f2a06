// Fuzzes the whole load path (parse, size, map, relocate, bind, function table,
// TLS callbacks, attach) and the export lookup over arbitrary bytes, against the
// in-memory fake platform, once as a PE32 process and once as a PE32+ one.
#include <cstddef>
#include <cstdint>

#include "memmodule/memory_module.h"
#include "tests/memmodule/fake_loader.h"

namespace {

// Resolves every library and function, so the walks run as far as the bytes allow.
class AnythingLoader : public FakeLoader {
public:
    explicit AnythingLoader(ImageFormat format) : FakeLoader(format) {}
    uint64_t FindLoadedLibrary(const char*) override { return kLibrary; }
    uint64_t FindProcByName(uint64_t, const char* name) override { return name[0] ? kFunction : 0; }
    uint64_t FindProcByOrdinal(uint64_t, uint16_t ordinal) override { return kFunction + ordinal; }

private:
    static constexpr uint64_t kLibrary = 0x7000;
    static constexpr uint64_t kFunction = 0x70010000;
};

void LoadAs(ImageFormat format, const OwnedByteBuffer& image, size_t size)
{
    AnythingLoader loader(format);
    loader.preferredFree = (size & 1) == 0;  // odd sizes exercise the rebase
    MemoryModule module(loader);
    if (module.Load(image.get())) {
        module.GetProc("SkinH_AttachRes");
        module.GetProc("Alpha");
        module.Load(image.get());
        module.Unload();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > FakeLoader::kLargestReservation)
        return 0;
    const OwnedByteBuffer image(data, static_cast<uint32_t>(size));
    LoadAs(ImageFormat::Pe32, image, size);
    LoadAs(ImageFormat::Pe32Plus, image, size);
    return 0;
}
