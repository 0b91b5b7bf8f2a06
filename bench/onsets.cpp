// Onsets by level, not by shape: a matcher that correlates a stretch of the
// sound can lock onto a later part of it, a level test cannot.
#include "bench/onsets.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kToneWindow = 0.020;
constexpr double kToneStep = 0.001;

size_t SampleAt(const MonoSignal& signal, double seconds)
{
    if (seconds <= 0)
        return 0;
    return std::min(signal.samples.size(), size_t(std::llround(seconds * signal.rate)));
}

}  // namespace

double FirstLoud(const MonoSignal& signal, double from, double to, double thresholdDb)
{
    const float threshold = float(std::pow(10.0, thresholdDb / 20.0));
    const size_t window = std::max<size_t>(1, signal.rate / 1000);
    const size_t end = SampleAt(signal, to);
    for (size_t start = SampleAt(signal, from); start < end; start += window) {
        const size_t stop = std::min(end, start + window);
        for (size_t i = start; i < stop; ++i)
            if (std::fabs(signal.samples[i]) >= threshold)
                return double(start) / signal.rate;
    }
    return -1;
}

double ToneAmplitude(const MonoSignal& signal, double hertz, double at)
{
    const size_t n = size_t(kToneWindow * signal.rate);
    const size_t start = SampleAt(signal, at);
    if (n < 2 || start + n > signal.samples.size())
        return 0;
    double re = 0, im = 0, weights = 0;
    for (size_t i = 0; i < n; ++i) {
        const double w = 0.5 - 0.5 * std::cos(2 * kPi * double(i) / double(n - 1));
        const double phase = 2 * kPi * hertz * double(i) / signal.rate;
        re += w * signal.samples[start + i] * std::cos(phase);
        im -= w * signal.samples[start + i] * std::sin(phase);
        weights += w;
    }
    return 2 * std::sqrt(re * re + im * im) / weights;
}

double ToneOnset(const MonoSignal& signal, double hertz, double amplitude, double from, double to)
{
    for (double at = std::max(0.0, from); at + kToneWindow <= to; at += kToneStep)
        if (ToneAmplitude(signal, hertz, at) >= amplitude / 2)
            return at + kToneWindow / 2;
    return -1;
}
