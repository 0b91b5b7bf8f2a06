// Skin application: the engine is reached only through the in-memory loader, and is
// never called at address 0 (a failed load leaves the window plain).
#include "skins/skins.h"

#include <cstdint>

#include "memmodule/call_address.h"
#include "memmodule/memory_module.h"
#include "skins/skin_table.h"

MemoryModule* skinEngineModule = nullptr;

namespace {

const char kAttachExport[] = "SkinH_AttachRes";

}  // namespace

void LoadSkinEngine()
{
    if (skinEngineModule != nullptr)
        skinEngineModule->Load(skinEngineImage);
}

void SelectSkin(int number)
{
    if (const ByteBuffer* skin = SkinTableEntry(number))
        ApplySkin(*skin);
}

void ApplySkin(const ByteBuffer& skin)
{
    if (skinEngineModule == nullptr)
        return;
    const uint64_t proc = skinEngineModule->GetProc(kAttachExport);
    if (proc == 0)
        return;
    const uintptr_t data = reinterpret_cast<uintptr_t>(skin.bytes());
    CallAddress(static_cast<uintptr_t>(proc), data, skin.length, 0, 0, 0, 0, 0, 0, 0, 0);
}
