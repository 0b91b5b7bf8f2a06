// Fuzzes the LZMA decoder: first byte picks the declared output size, the rest is the
// stream. The output buffer is exactly that size, so ASan catches any write past it.
#include <cstdint>
#include <memory>
#include <vector>

#include "skins/lzma_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const size_t outLength = size_t(data[0]) * 64 + data[1];
    std::vector<uint8_t> out(outLength);
    static LzmaState state;
    LzmaProperties props;
    props.dictionarySize = 0x00800000;
    LzmaDecode(state, props, data + 2, size - 2, out.data(), out.size());
    return 0;
}
