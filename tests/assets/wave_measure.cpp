// Measures a bank entry the way the generator's measure.py does, so a regenerated
// bank is held to the same numbers that were reported for it.
#include "tests/assets/wave_measure.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr uint32_t kHeaderBytes = 44;
constexpr double kOnsetLevel = 0.01;      // -40 dBFS
constexpr double kBlockSeconds = 0.05;
constexpr double kSoundingRangeDb = 30.0;
constexpr double kEndSeconds = 0.002;

uint16_t Read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Read32(const uint8_t* p) { return Read16(p) | static_cast<uint32_t>(Read16(p + 2)) << 16; }

}  // namespace

std::vector<double> DecodeSamples(const uint8_t* bytes, uint32_t length)
{
    const uint16_t bits = Read16(bytes + 34);
    std::vector<double> x;
    const uint8_t* data = bytes + kHeaderBytes;
    uint32_t count = length - kHeaderBytes;
    if (bits == 16) {
        for (uint32_t i = 0; i + 1 < count; i += 2)
            x.push_back(static_cast<int16_t>(Read16(data + i)) / 32768.0);
    } else {
        for (uint32_t i = 0; i < count; ++i)
            x.push_back((data[i] - 128) / 128.0);
    }
    return x;
}

WaveMeasures MeasureWave(const uint8_t* bytes, uint32_t length)
{
    const uint16_t channels = Read16(bytes + 22);
    const uint32_t rate = Read32(bytes + 24);
    const std::vector<double> x = DecodeSamples(bytes, length);
    const size_t frames = x.size() / channels;
    WaveMeasures m{};

    size_t first = 0;
    while (first < x.size() && std::fabs(x[first]) < kOnsetLevel)
        ++first;
    m.onsetMs = 1000.0 * static_cast<double>(first / channels) / rate;

    double peak = 0;
    for (double v : x)
        peak = std::max(peak, std::fabs(v));
    m.peakDb = 20 * std::log10(std::max(peak, 1e-12));

    const size_t block = static_cast<size_t>(kBlockSeconds * rate) * channels;
    std::vector<double> energies;
    for (size_t s = 0; s + block <= x.size(); s += block) {
        double e = 0;
        for (size_t i = s; i < s + block; ++i)
            e += x[i] * x[i];
        energies.push_back(e / static_cast<double>(block));
    }
    const double top = energies.empty() ? 0 : *std::max_element(energies.begin(), energies.end());
    const double floor = top * std::pow(10.0, -kSoundingRangeDb / 10);
    double sum = 0;
    size_t kept = 0;
    for (double e : energies) {
        if (e >= floor) {
            sum += e;
            ++kept;
        }
    }
    m.loudnessDb = 10 * std::log10(std::max(kept ? sum / static_cast<double>(kept) : 0, 1e-24));

    // A sound still ringing when the file ends leaves its last 50 ms near its loudest.
    const size_t last = std::min(block, x.size());
    double tailEnergy = 0;
    for (size_t i = x.size() - last; i < x.size(); ++i)
        tailEnergy += x[i] * x[i];
    tailEnergy /= static_cast<double>(std::max<size_t>(last, 1));
    m.tailDb = 10 * std::log10(std::max(tailEnergy, 1e-30) / std::max(top, 1e-30));

    for (uint16_t c = 0; c < channels; ++c) {
        double mean = 0;
        for (size_t f = 0; f < frames; ++f)
            mean += x[f * channels + c];
        m.largestDcOffset = std::max(m.largestDcOffset, std::fabs(mean / static_cast<double>(frames)));
    }

    const size_t tail = static_cast<size_t>(kEndSeconds * rate) * channels;
    for (size_t i = x.size() - std::min(tail, x.size()); i < x.size(); ++i)
        m.endLevel = std::max(m.endLevel, std::fabs(x[i]));
    return m;
}
