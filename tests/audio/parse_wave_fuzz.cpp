// libFuzzer target for the chunk walk: any bytes, never a read outside them,
// and an accepted image's bodies and device format lie inside the image.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "audio/wave_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // An exact-size heap copy, so ASan catches a read one past the end.
    std::vector<uint8_t> image(data, data + size);
    ParsedWave wave;
    if (!ParseWave(image.data(), uint32_t(image.size()), wave))
        return 0;
    const uint8_t* end = image.data() + image.size();
    if (wave.dataLength == 0 || wave.data + wave.dataLength > end ||
        wave.format + wave.formatLength > end || wave.formatLength < kPcmFormatBody)
        std::abort();
    const std::vector<uint8_t> format = DeviceFormat(wave);
    if (format.size() < kExtendedFormatBody)
        std::abort();
    return 0;
}
