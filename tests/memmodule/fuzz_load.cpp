// Fuzzes the whole load path (parse, size, map, relocate, bind, attach) and the
// export lookup over arbitrary bytes, against the in-memory fake platform.
#include <cstddef>
#include <cstdint>

#include "memmodule/memory_module.h"
#include "tests/memmodule/fake_loader.h"

namespace {

// Resolves every library and function, so the walks run as far as the bytes allow.
class AnythingLoader : public FakeLoader {
public:
    uint32_t FindLoadedLibrary(const char*) override { return kLibrary; }
    uint32_t FindProcByName(uint32_t, const char* name) override { return name[0] ? kFunction : 0; }
    uint32_t FindProcByOrdinal(uint32_t, uint16_t ordinal) override { return kFunction + ordinal; }

private:
    static constexpr uint32_t kLibrary = 0x7000;
    static constexpr uint32_t kFunction = 0x70010000;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > FakeLoader::kLargestReservation)
        return 0;
    AnythingLoader loader;
    loader.preferredFree = (size & 1) == 0;  // odd sizes exercise the rebase
    MemoryModule module(loader);
    const OwnedByteBuffer image(data, static_cast<uint32_t>(size));
    if (module.Load(image.get())) {
        module.GetProc("SkinH_AttachRes");
        module.GetProc("Alpha");
        module.Load(image.get());
        module.Unload();
    }
    return 0;
}
