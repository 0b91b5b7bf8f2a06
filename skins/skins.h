// Loading the skin engine from its embedded image and handing it one skin of the table.
#pragma once

#include "base/byte_buffer.h"

class MemoryModule;

// The skin engine's module: nullptr until the start routine creates it; the
// start routine owns it and releases it at exit (the destructor frees the records).
extern MemoryModule* skinEngineModule;

// MemoryModule::Load of skinEngineImage into skinEngineModule; the result is ignored.
void LoadSkinEngine();
// Skin 1..33 of the table through ApplySkin; any other number does nothing.
void SelectSkin(int number);
// Calls the engine's "SkinH_AttachRes" with the skin's address and length (then zeros);
// skipped when the engine is not loaded or lacks the export.
void ApplySkin(const ByteBuffer& skin);
