// Energy share above a frequency, from 8,192-point spectra: fine enough (5.4 Hz bins at
// 44,100 Hz) that a 150 Hz cut-off is not smeared by the window.
#include "tests/assets/band_energy.h"

#include <cmath>
#include <complex>
#include <vector>

#include "testsupport/fft.h"

namespace {

constexpr size_t kPoints = 8192;
constexpr size_t kHop = kPoints / 2;   // a Hann window at half overlap weighs every sample alike
constexpr double kPi = 3.14159265358979323846;

}  // namespace

double EnergyShareAbove(const std::vector<double>& samples, uint16_t channels, uint32_t rate, double hz)
{
    const size_t frames = samples.size() / channels;
    const size_t firstBin = static_cast<size_t>(std::ceil(hz * kPoints / rate));
    std::vector<double> window(kPoints);
    for (size_t i = 0; i < kPoints; ++i)
        window[i] = 0.5 - 0.5 * std::cos(2 * kPi * static_cast<double>(i) / kPoints);
    double total = 0, above = 0;
    std::vector<std::complex<double>> a(kPoints);
    for (uint16_t c = 0; c < channels; ++c) {
        for (size_t start = 0; start < frames; start += kHop) {
            for (size_t i = 0; i < kPoints; ++i) {
                const size_t f = start + i;
                a[i] = f < frames ? samples[f * channels + c] * window[i] : 0.0;
            }
            Fft(a);
            for (size_t k = 0; k <= kPoints / 2; ++k) {
                const double e = std::norm(a[k]);
                total += e;
                if (k >= firstBin)
                    above += e;
            }
        }
    }
    return total > 0 ? above / total : 0.0;
}
