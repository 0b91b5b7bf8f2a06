// The click search: a 4th-order Butterworth high-pass at 10 kHz (two biquads), energy in
// 1 ms windows, and each window held against the mean of the 20 ms around it.
#include "tests/assets/click_search.h"

#include <cmath>
#include <cstdlib>

namespace {

constexpr double kBandHz = 10000.0;
constexpr double kWindowSeconds = 0.001;
constexpr int kAroundWindows = 10;  // ten windows either side: the surrounding 20 ms
constexpr int kNearWindows = 1;     // a click may spill into the next window: not its surround
constexpr double kRiseDb = 20.0;
constexpr double kFloorDb = -60.0;  // quieter bursts than this are no audible click
constexpr double kPi = 3.14159265358979323846;
// The pole pairs of a 4th-order Butterworth: Q = 1 / (2 cos(pi/8)) and 1 / (2 cos(3pi/8)).
constexpr double kSectionQ[] = {0.54119610014619701, 1.3065629648763766};

struct Biquad {
    double b0, b1, b2, a1, a2;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;

    double Step(double x)
    {
        const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }
};

// A high-pass section by the bilinear transform with its corner pre-warped.
Biquad HighPass(double cornerHz, double q, uint32_t rate)
{
    const double w = 2 * kPi * cornerHz / rate;
    const double alpha = std::sin(w) / (2 * q);
    const double a0 = 1 + alpha;
    const double c = std::cos(w);
    return Biquad{(1 + c) / 2 / a0, -(1 + c) / a0, (1 + c) / 2 / a0, -2 * c / a0, (1 - alpha) / a0};
}

}  // namespace

std::vector<double> FindClicks(const std::vector<double>& samples, uint16_t channels, uint32_t rate)
{
    std::vector<double> found;
    if (rate / 2.0 <= kBandHz || channels == 0)
        return found;
    const size_t frames = samples.size() / channels;
    const size_t width = static_cast<size_t>(kWindowSeconds * rate);
    const size_t count = frames / width;
    std::vector<double> energy(count, 0.0);
    for (uint16_t c = 0; c < channels; ++c) {
        Biquad first = HighPass(kBandHz, kSectionQ[0], rate);
        Biquad second = HighPass(kBandHz, kSectionQ[1], rate);
        for (size_t f = 0; f < count * width; ++f) {
            const double y = second.Step(first.Step(samples[f * channels + c]));
            energy[f / width] += y * y / static_cast<double>(width);
        }
    }
    const double floor = std::pow(10.0, kFloorDb / 10);
    const double rise = std::pow(10.0, kRiseDb / 10);
    for (size_t i = 0; i < count; ++i) {
        if (energy[i] < floor)
            continue;
        double around = 0;
        int n = 0;
        for (long j = static_cast<long>(i) - kAroundWindows; j <= static_cast<long>(i) + kAroundWindows; ++j) {
            if (j < 0 || j >= static_cast<long>(count) || std::labs(j - static_cast<long>(i)) <= kNearWindows)
                continue;
            around += energy[static_cast<size_t>(j)];
            ++n;
        }
        if (n > 0 && energy[i] >= rise * around / n)
            found.push_back(static_cast<double>(i) * kWindowSeconds);
    }
    return found;
}
