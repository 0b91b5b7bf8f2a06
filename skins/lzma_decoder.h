// Our own LZMA1 decoder for the skins: whole-buffer, bounds-checked, no allocation
// and no C library, so the skin engine DLL and the native tests share it.
#pragma once

#include <stddef.h>
#include <stdint.h>

enum class LzmaResult {
    Ok,
    BadProperties,   // lc/lp/pb outside what this decoder supports
    Truncated,       // the input ended before the declared output was complete
    Corrupt,         // impossible distance, stray data, bad range coder state
};

struct LzmaProperties {
    uint32_t lc = 3, lp = 0, pb = 2;
    uint32_t dictionarySize = 0;
};

// Splits the 5 properties bytes (lc/lp/pb byte, then the dictionary size LE).
bool ParseLzmaProperties(const uint8_t props[5], LzmaProperties& out);

// Probability model: sized for lc + lp <= kMaxLiteralBits.
struct LzmaState {
    static constexpr uint32_t kMaxLiteralBits = 4;
    static constexpr uint32_t kModelProbs = 2048;
    static constexpr uint32_t kLiteralProbs = 0x300u << kMaxLiteralBits;
    uint16_t probs[kModelProbs + kLiteralProbs];
};

// Decodes exactly outLength bytes from a raw LZMA1 stream into out. The stream may
// carry an end marker after those bytes; a marker before them is Truncated.
// Never writes outside out[0, outLength).
LzmaResult LzmaDecode(LzmaState& state, const LzmaProperties& props, const uint8_t* in,
                      size_t inLength, uint8_t* out, size_t outLength);
