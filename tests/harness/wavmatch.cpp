// Command-line checker for sound tests: is this reference in that recording,
// which reference fits best, how loud is a stretch, when does sound start.
//   wavmatch match REC REF [--ref-from S] [--ref-seconds S] [--threshold C]
//   wavmatch best REC REF... [--ref-seconds S]
//   wavmatch level REC FROM TO
//   wavmatch extent REC [THRESHOLD_DB]
//   wavmatch probe OUT SEED SECONDS [RATE]
// Exit status 0 when the check holds (match: correlation >= threshold), 1 when not, 2 on bad input.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "tests/harness/signal_match.h"

namespace {

MonoSignal Slice(const MonoSignal& s, double from, double seconds)
{
    MonoSignal out;
    out.rate = s.rate;
    size_t a = std::min(s.samples.size(), size_t(from * s.rate));
    size_t b = seconds > 0 ? std::min(s.samples.size(), a + size_t(seconds * s.rate)) : s.samples.size();
    out.samples.assign(s.samples.begin() + long(a), s.samples.begin() + long(b));
    return out;
}

bool Load(const char* path, MonoSignal& s)
{
    if (ReadWave(path, s))
        return true;
    std::fprintf(stderr, "wavmatch: cannot read %s\n", path);
    return false;
}

double Option(int argc, char** argv, const char* name, double fallback)
{
    for (int i = 0; i + 1 < argc; ++i)
        if (!std::strcmp(argv[i], name))
            return std::atof(argv[i + 1]);
    return fallback;
}

std::vector<const char*> Positional(int argc, char** argv, int from)
{
    std::vector<const char*> out;
    for (int i = from; i < argc; ++i) {
        if (!std::strncmp(argv[i], "--", 2)) {
            ++i;
            continue;
        }
        out.push_back(argv[i]);
    }
    return out;
}

int Match(int argc, char** argv)
{
    auto args = Positional(argc, argv, 2);
    MonoSignal rec, ref;
    if (args.size() != 2 || !Load(args[0], rec) || !Load(args[1], ref))
        return 2;
    ref = Slice(Resample(ref, rec.rate), Option(argc, argv, "--ref-from", 0), Option(argc, argv, "--ref-seconds", 0));
    MatchResult m = FindSignal(rec, ref);
    double threshold = Option(argc, argv, "--threshold", 0.9);
    std::printf("offset_ms=%.1f correlation=%.4f\n", m.offsetSeconds * 1000, m.correlation);
    return m.correlation >= threshold ? 0 : 1;
}

int Best(int argc, char** argv)
{
    auto args = Positional(argc, argv, 2);
    MonoSignal rec;
    if (args.size() < 2 || !Load(args[0], rec))
        return 2;
    const uint32_t analysisRate = 11025;
    rec = Resample(rec, analysisRate);
    double seconds = Option(argc, argv, "--ref-seconds", 0);
    int best = 0;
    double bestCorrelation = -2;
    for (size_t i = 1; i < args.size(); ++i) {
        MonoSignal ref;
        if (!Load(args[i], ref))
            return 2;
        // The recording starts before the sound is asked for, so the sound starts inside
        // it: a reference's tail matched before the recording began is no answer.
        MatchResult m = FindSignal(rec, Slice(Resample(ref, analysisRate), 0, seconds), true);
        std::printf("ref=%zu offset_ms=%.1f correlation=%.4f\n", i, m.offsetSeconds * 1000, m.correlation);
        if (m.correlation > bestCorrelation) {
            bestCorrelation = m.correlation;
            best = int(i);
        }
    }
    std::printf("best=%d\n", best);
    return 0;
}

int Level(int argc, char** argv)
{
    auto args = Positional(argc, argv, 2);
    MonoSignal rec;
    if (args.size() != 3 || !Load(args[0], rec))
        return 2;
    std::printf("level_db=%.1f\n", LevelDb(rec, std::atof(args[1]), std::atof(args[2])));
    return 0;
}

int ExtentCommand(int argc, char** argv)
{
    auto args = Positional(argc, argv, 2);
    MonoSignal rec;
    if (args.empty() || !Load(args[0], rec))
        return 2;
    Extent e = SoundingExtent(rec, args.size() > 1 ? std::atof(args[1]) : -50);
    std::printf("first_ms=%.0f last_ms=%.0f duration_ms=%.0f\n", e.first * 1000, e.last * 1000,
                (e.last - e.first) * 1000);
    return e.first >= 0 ? 0 : 1;
}

int Probe(int argc, char** argv)
{
    auto args = Positional(argc, argv, 2);
    if (args.size() < 3)
        return 2;
    uint32_t rate = args.size() > 3 ? uint32_t(std::atoi(args[3])) : 44100;
    return WriteWave(args[0], ProbeSignal(unsigned(std::atoi(args[1])), std::atof(args[2]), rate)) ? 0 : 2;
}

// Every "--" argument must be an option some command knows, followed by its value,
// so a mistyped flag is an error rather than a file name or a silent default.
bool OptionsKnown(int argc, char** argv)
{
    static const char* const known[] = {"--ref-from", "--ref-seconds", "--threshold"};
    for (int i = 2; i < argc; ++i) {
        if (std::strncmp(argv[i], "--", 2))
            continue;
        if (std::none_of(std::begin(known), std::end(known), [&](const char* k) { return !std::strcmp(argv[i], k); }) ||
            i + 1 == argc) {
            std::fprintf(stderr, "wavmatch: unknown option or missing value: %s\n", argv[i]);
            return false;
        }
        ++i;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && OptionsKnown(argc, argv)) {
        std::string command = argv[1];
        if (command == "match")
            return Match(argc, argv);
        if (command == "best")
            return Best(argc, argv);
        if (command == "level")
            return Level(argc, argv);
        if (command == "extent")
            return ExtentCommand(argc, argv);
        if (command == "probe")
            return Probe(argc, argv);
    }
    std::fprintf(stderr, "usage: wavmatch match|best|level|extent|probe ...\n");
    return 2;
}
