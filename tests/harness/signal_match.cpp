// Cross-correlation by FFT; the exact correlation coefficient is recomputed
// at the winning lag so the reported figure does not depend on the FFT.
#include "tests/harness/signal_match.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <random>

#include "testsupport/fft.h"

namespace {

using Complex = std::complex<double>;

// Correlation coefficient of reference against recording shifted by lag
// (negative lag: the reference started before the recording did).
double CoefficientAt(const std::vector<float>& rec, const std::vector<float>& ref, long lag)
{
    double dot = 0, er = 0, es = 0;
    for (size_t i = 0; i < ref.size(); ++i) {
        long j = long(i) + lag;
        if (j < 0 || j >= long(rec.size()))
            continue;
        dot += double(rec[size_t(j)]) * ref[i];
        er += double(rec[size_t(j)]) * rec[size_t(j)];
        es += double(ref[i]) * ref[i];
    }
    return (er > 0 && es > 0) ? dot / std::sqrt(er * es) : 0;
}

}  // namespace

MatchResult FindSignal(const MonoSignal& recording, const MonoSignal& reference, bool startsInside)
{
    MatchResult result;
    const auto& rec = recording.samples;
    const auto& ref = reference.samples;
    if (rec.empty() || ref.empty())
        return result;
    size_t n = 1;
    while (n < rec.size() + ref.size())
        n <<= 1;
    std::vector<Complex> a(n), b(n);
    std::copy(rec.begin(), rec.end(), a.begin());
    std::copy(ref.begin(), ref.end(), b.begin());
    Fft(a, false);
    Fft(b, false);
    for (size_t i = 0; i < n; ++i)
        a[i] *= std::conj(b[i]);
    Fft(a, true);

    // Normalise by the recording's energy under the reference's window so a loud
    // stretch elsewhere cannot win; lags run from -(ref-1) to rec-1.
    std::vector<double> prefix(rec.size() + 1, 0);
    for (size_t i = 0; i < rec.size(); ++i)
        prefix[i + 1] = prefix[i] + double(rec[i]) * rec[i];
    double refEnergy = 0;
    for (float s : ref)
        refEnergy += double(s) * s;
    double best = -2;
    long bestLag = 0;
    for (long lag = startsInside ? 0 : -long(ref.size()) + 1; lag < long(rec.size()); ++lag) {
        long from = std::max(0L, lag), to = std::min(long(rec.size()), lag + long(ref.size()));
        // Require most of the reference to overlap, or a tiny overlap could score high.
        if (to - from < long(ref.size()) / 2 && to - from < long(rec.size()) / 2)
            continue;
        double energy = prefix[size_t(to)] - prefix[size_t(from)];
        if (energy <= 0)
            continue;
        double dot = a[size_t(lag >= 0 ? lag : long(n) + lag)].real();
        double coefficient = dot / std::sqrt(energy * refEnergy);
        if (coefficient > best) {
            best = coefficient;
            bestLag = lag;
        }
    }
    if (best < -1)
        return result;
    result.offsetSeconds = double(bestLag) / recording.rate;
    result.correlation = CoefficientAt(rec, ref, bestLag);
    return result;
}

double LevelDb(const MonoSignal& signal, double fromSeconds, double toSeconds)
{
    long from = std::max(0L, long(fromSeconds * signal.rate));
    long to = std::min(long(signal.samples.size()), long(toSeconds * signal.rate));
    double sum = 0;
    for (long i = from; i < to; ++i)
        sum += double(signal.samples[size_t(i)]) * signal.samples[size_t(i)];
    if (to <= from || sum <= 0)
        return -200;
    return 10 * std::log10(sum / double(to - from));
}

Extent SoundingExtent(const MonoSignal& signal, double thresholdDb)
{
    Extent extent;
    const double window = 0.01;
    double duration = double(signal.samples.size()) / signal.rate;
    for (double t = 0; t + window <= duration; t += window) {
        if (LevelDb(signal, t, t + window) > thresholdDb) {
            if (extent.first < 0)
                extent.first = t;
            extent.last = t + window;
        }
    }
    return extent;
}

MonoSignal ProbeSignal(unsigned seed, double seconds, uint32_t rate)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> frequency(150, 5000), phase(0, 2 * M_PI), wobble(0.3, 1.0);
    struct Partial {
        double frequency, phase, rate;
    };
    std::vector<Partial> partials(12);
    for (Partial& p : partials)
        p = {frequency(random), phase(random), wobble(random) * 7};
    MonoSignal signal;
    signal.rate = rate;
    signal.samples.resize(size_t(seconds * rate));
    for (size_t i = 0; i < signal.samples.size(); ++i) {
        double t = double(i) / rate, sum = 0;
        for (const Partial& p : partials)
            sum += std::sin(2 * M_PI * p.frequency * t + p.phase) * (0.6 + 0.4 * std::sin(p.rate * t + p.phase));
        signal.samples[i] = float(0.3 * sum / std::sqrt(double(partials.size())));
    }
    return signal;
}
