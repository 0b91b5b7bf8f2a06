// The bench's checker of recordings by onset (native):
//   onset_latency latency REC TRIGGERS [THRESHOLD_DB]
//       TRIGGERS: "WALL_SECONDS REF_PATH LABEL" per line, in time order, each sound
//       beginning in silence. Each onset is the first loud millisecond after its
//       trigger, less the reference's own lead-in; a line through the "baseline"
//       onsets turns wall time into recording time, so every label's delays are
//       given against the baseline's mean delay (ms). Prints one line per trigger too.
//   onset_latency tones REC FROM F0 STEP COUNT AMPLITUDE SPACING_MS
//       COUNT sines at F0, F0+STEP, ... started SPACING_MS apart after FROM (s):
//       each one's onset, how many came up, and a frequency never played as control.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/onsets.h"

namespace {

constexpr double kDefaultThresholdDb = -40;
constexpr double kLead = 0.3;    // a trigger's sound is sought from this long before its expected place
constexpr double kSearch = 1.5;  // ... to this long after it

struct Trigger {
    double wall;
    std::string ref, label;
    double onset = -1;  // in the recording, lead-in removed
};

double Percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    const size_t rank = size_t(std::ceil(p * double(v.size())));
    return v[std::min(v.size() - 1, rank > 0 ? rank - 1 : 0)];
}

int Latency(int argc, char** argv)
{
    MonoSignal rec;
    FILE* list = argc >= 4 ? std::fopen(argv[3], "r") : nullptr;
    if (!list || !ReadWave(argv[2], rec))
        return 2;
    const double threshold = argc >= 5 ? std::atof(argv[4]) : kDefaultThresholdDb;
    std::vector<Trigger> triggers;
    char path[1024], label[64];
    double wall;
    while (std::fscanf(list, "%lf %1023s %63s", &wall, path, label) == 3)
        triggers.push_back({wall, path, label});
    std::fclose(list);
    if (triggers.empty())
        return 2;
    std::vector<std::pair<std::string, double>> leadIns;
    auto leadIn = [&](const std::string& ref) {
        for (auto& known : leadIns)
            if (known.first == ref)
                return known.second;
        MonoSignal sound;
        const double lead = ReadWave(ref, sound) ? FirstLoud(sound, 0, 1e9, threshold) : -1;
        leadIns.emplace_back(ref, lead);
        return lead;
    };
    // The first sound is sought from the start; each later one where the one
    // before was found plus the wall time between their triggers.
    double previousWall = triggers.front().wall, previousOnset = -1;
    for (Trigger& t : triggers) {
        const double lead = leadIn(t.ref);
        if (lead < 0)
            continue;
        const double expected = previousOnset < 0 ? 0 : previousOnset + (t.wall - previousWall);
        const double from = previousOnset < 0 ? 0 : std::max(0.0, expected - kLead);
        const double loud = FirstLoud(rec, from, previousOnset < 0 ? 4.0 : expected + kSearch, threshold);
        if (loud < 0)
            continue;
        t.onset = loud - lead;
        previousWall = t.wall;
        previousOnset = t.onset;
    }
    double n = 0, sw = 0, so = 0, sww = 0, swo = 0;
    const double wall0 = triggers.front().wall;
    for (const Trigger& t : triggers)
        if (t.label == "baseline" && t.onset >= 0) {
            const double w = t.wall - wall0;
            n += 1, sw += w, so += t.onset, sww += w * w, swo += w * t.onset;
        }
    if (n < 2)
        return 1;
    const double slope = (n * swo - sw * so) / (n * sww - sw * sw);
    const double offset = (so - slope * sw) / n;
    std::printf("drift_ppm=%.0f\n", (slope - 1) * 1e6);
    std::vector<std::string> labels;
    for (const Trigger& t : triggers) {
        if (std::find(labels.begin(), labels.end(), t.label) == labels.end())
            labels.push_back(t.label);
        if (t.onset >= 0)
            std::printf("trigger label=%s wall=%.6f delay_ms=%.1f\n", t.label.c_str(), t.wall,
                        (t.onset - (slope * (t.wall - wall0) + offset)) * 1000);
    }
    for (const std::string& l : labels) {
        std::vector<double> delays;
        size_t asked = 0;
        for (const Trigger& t : triggers) {
            if (t.label != l)
                continue;
            ++asked;
            if (t.onset >= 0)
                delays.push_back((t.onset - (slope * (t.wall - wall0) + offset)) * 1000);
        }
        if (delays.empty()) {
            std::printf("label=%s found=0 of %zu\n", l.c_str(), asked);
            continue;
        }
        std::printf("label=%s found=%zu of %zu median_ms=%.1f p90_ms=%.1f\n", l.c_str(), delays.size(), asked,
                    Percentile(delays, 0.5), Percentile(delays, 0.9));
    }
    return 0;
}

int Tones(int argc, char** argv)
{
    MonoSignal rec;
    if (argc != 9 || !ReadWave(argv[2], rec))
        return 2;
    const double from = std::atof(argv[3]), f0 = std::atof(argv[4]), step = std::atof(argv[5]);
    const int count = std::atoi(argv[6]);
    const double amplitude = std::atof(argv[7]), spacing = std::atof(argv[8]) / 1000;
    const double to = double(rec.samples.size()) / rec.rate;
    int found = 0;
    double first = -1, worstSlip = 0;
    for (int i = 0; i < count; ++i) {
        const double onset = ToneOnset(rec, f0 + i * step, amplitude, from, to);
        if (onset < 0) {
            std::printf("tone=%d hertz=%.0f missing\n", i + 1, f0 + i * step);
            continue;
        }
        ++found;
        if (first < 0)
            first = onset - i * spacing;
        worstSlip = std::max(worstSlip, std::fabs(onset - first - i * spacing));
        std::printf("tone=%d hertz=%.0f onset_ms=%.1f\n", i + 1, f0 + i * step, onset * 1000);
    }
    double control = 0;
    for (double at = from; at + 0.02 <= to; at += 0.01)
        control = std::max(control, ToneAmplitude(rec, f0 + count * step, at));
    std::printf("found=%d of %d worst_slip_ms=%.1f control_amplitude=%.4f expected_amplitude=%.4f\n", found, count,
                worstSlip * 1000, control, amplitude);
    return found == count ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && !std::strcmp(argv[1], "latency"))
        return Latency(argc, argv);
    if (argc >= 2 && !std::strcmp(argv[1], "tones"))
        return Tones(argc, argv);
    std::fprintf(stderr, "usage: onset_latency latency REC TRIGGERS [THRESHOLD_DB] | tones REC FROM F0 STEP COUNT "
                         "AMPLITUDE SPACING_MS\n");
    return 2;
}
