// Fuzzes the whole skin path the engine takes: container header, LZMA stream into a
// buffer of the declared size, then the skin records; also the records on their own.
#include <cstdint>
#include <vector>

#include "skins/skin_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Skin skin;
    ParseSkin(data, size, skin);
    SkinContainer c;
    if (!ParseSkinContainer(data, size, c))
        return 0;
    std::vector<uint8_t> payload(c.payloadSize);
    static LzmaState state;
    if (LzmaDecode(state, c.props, c.stream, c.streamLength, payload.data(), payload.size()) == LzmaResult::Ok)
        ParseSkin(payload.data(), payload.size(), skin);
    return 0;
}
