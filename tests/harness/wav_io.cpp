// Minimal RIFF/WAVE reader and writer for the checkers (tolerates extra
// chunks and the open-ended data chunk that a recorder killed early leaves).
#include "tests/harness/wav_io.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

uint32_t Le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }
uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(v >> (8 * i)));
}
void Put16(std::vector<uint8_t>& out, uint16_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

}  // namespace

bool ReadWave(const std::string& path, MonoSignal& signal)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    std::vector<uint8_t> b((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) || std::memcmp(b.data() + 8, "WAVE", 4))
        return false;
    uint16_t channels = 0, bits = 0;
    uint32_t rate = 0;
    size_t at = 12;
    while (at + 8 <= b.size()) {
        uint32_t size = Le32(&b[at + 4]);
        size_t body = at + 8;
        if (!std::memcmp(&b[at], "fmt ", 4) && body + 16 <= b.size()) {
            if (Le16(&b[body]) != 1 && Le16(&b[body]) != 0xFFFE)
                return false;
            channels = Le16(&b[body + 2]);
            rate = Le32(&b[body + 4]);
            bits = Le16(&b[body + 14]);
        } else if (!std::memcmp(&b[at], "data", 4)) {
            if (channels == 0 || (bits != 8 && bits != 16))
                return false;
            size_t end = (size == 0 || size > b.size() - body) ? b.size() : body + size;
            size_t frameBytes = size_t(channels) * bits / 8;
            signal.rate = rate;
            signal.samples.clear();
            for (size_t f = body; f + frameBytes <= end; f += frameBytes) {
                float sum = 0;
                for (int c = 0; c < channels; ++c) {
                    if (bits == 16)
                        sum += int16_t(Le16(&b[f + 2 * c])) / 32768.0f;
                    else
                        sum += (b[f + c] - 128) / 128.0f;
                }
                signal.samples.push_back(sum / channels);
            }
            return true;
        }
        at = body + size + (size & 1);
    }
    return false;
}

bool WriteWave(const std::string& path, const MonoSignal& signal)
{
    std::vector<uint8_t> out;
    uint32_t dataBytes = uint32_t(signal.samples.size() * 2);
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    Put32(out, 36 + dataBytes);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put32(out, 16);
    Put16(out, 1);
    Put16(out, 1);
    Put32(out, signal.rate);
    Put32(out, signal.rate * 2);
    Put16(out, 2);
    Put16(out, 16);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    Put32(out, dataBytes);
    for (float s : signal.samples) {
        float clamped = std::fmax(-1.0f, std::fmin(1.0f, s));
        Put16(out, uint16_t(int16_t(std::lround(clamped * 32767.0f))));
    }
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(out.data()), std::streamsize(out.size()));
    return bool(file);
}

MonoSignal Resample(const MonoSignal& in, uint32_t rate)
{
    if (in.rate == rate || in.samples.empty())
        return in;
    MonoSignal out;
    out.rate = rate;
    double step = double(in.rate) / rate;
    size_t count = size_t(in.samples.size() / step);
    out.samples.resize(count);
    for (size_t i = 0; i < count; ++i) {
        double pos = i * step;
        size_t j = size_t(pos);
        double frac = pos - j;
        float a = in.samples[j];
        float b = j + 1 < in.samples.size() ? in.samples[j + 1] : a;
        out.samples[i] = float(a + (b - a) * frac);
    }
    return out;
}
