// The embedded skin set and the skin engine's DLL image, as the program carries them.
#pragma once

#include "base/byte_buffer.h"

constexpr int kSkinCount = 33;

extern "C" const ByteBuffer skinEngineImage;

// Skin number 1..kSkinCount, or null for any other number.
const ByteBuffer* SkinTableEntry(int number);
