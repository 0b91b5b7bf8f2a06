// Every embedded sound effect: the exact 44-byte RIFF/WAVE layout and format of its
// row, identity with the committed file, and the quality bar a host relies on (starts at
// once, one BS.1770 loudness under a true-peak ceiling, clean end, no DC, no stray clicks,
// no sound cut off mid-ring, and enough energy above what a small speaker cannot play).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "assets/sound_bank.h"
#include "tests/assets/band_energy.h"
#include "tests/assets/click_search.h"
#include "tests/assets/loudness_meter.h"
#include "tests/assets/wave_measure.h"

namespace {

struct Row {
    int entry;
    uint16_t channels;
    uint32_t rate;
    uint16_t bits;
    uint32_t bufferLength;
};

// The bank's table: channels, sample rate, bits and whole length of every entry.
constexpr Row kRows[] = {
    {1, 2, 44100, 16, 686636},   {2, 1, 22050, 8, 116546},    {3, 2, 44100, 16, 778796},
    {4, 2, 11025, 16, 170044},   {5, 2, 44100, 16, 1617452},  {6, 2, 44100, 16, 608300},
    {7, 2, 44100, 16, 958508},   {8, 2, 44100, 16, 225836},   {9, 2, 44100, 16, 622124},
    {10, 2, 44100, 16, 3474476}, {11, 2, 44100, 16, 3985964}, {12, 2, 44100, 16, 3124268},
    {13, 2, 44100, 16, 400940},  {14, 2, 44100, 16, 857132},  {15, 2, 44100, 16, 410156},
    {16, 2, 44100, 16, 1124396}, {17, 2, 44100, 16, 322564},  {18, 2, 44100, 16, 350252},
    {19, 2, 44100, 16, 502316},  {20, 2, 44100, 16, 359468},  {21, 2, 44100, 16, 7824428},
    {22, 2, 44100, 16, 248876},  {23, 2, 44100, 16, 553004},  {24, 2, 44100, 16, 1027628},
    {25, 2, 44100, 16, 179756},  {26, 2, 44100, 16, 253484},  {27, 2, 44100, 16, 433196},
    {28, 2, 44100, 16, 294956},  {29, 2, 44100, 16, 1032236}, {30, 2, 44100, 16, 3423788},
    {31, 2, 44100, 16, 539180},  {32, 2, 44100, 16, 566828},  {33, 2, 44100, 16, 889388},
};

constexpr uint32_t kBankBytes = 37962922;
constexpr uint32_t kHeaderBytes = 44;
constexpr double kLatestOnsetMs = 10.0;
constexpr double kHighestPeakDb = -1.0;
constexpr double kTargetLufs = -18.0;      // what the generator levels every entry to
constexpr double kLoudnessRangeLu = 1.5;
constexpr double kHighestTruePeakDb = -1.0;
constexpr double kSilentBelowDb = -40.0;
constexpr double kLargestDcOffset = 0.002;
constexpr double kLargestEndLevel = 0.01;
constexpr double kHighestTailDb = -30.0;    // the last 50 ms against the loudest 50 ms
constexpr double kSmallSpeakerHz = 150.0;   // a laptop or a PA without subwoofers plays little below
constexpr double kLeastShareAbove = 0.25;

void PrintTo(const Row& row, std::ostream* os) { *os << "Sfx" << row.entry; }

uint16_t Read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Read32(const uint8_t* p) { return Read16(p) | static_cast<uint32_t>(Read16(p + 2)) << 16; }

std::string FilePath(int entry)
{
    char name[32];
    std::snprintf(name, sizeof name, "/sfx%02d.wav", entry);
    return std::string(BOARD_SOUNDS_DIR) + name;
}

std::vector<uint8_t> ReadFile(const std::string& path)
{
    std::vector<uint8_t> bytes;
    if (FILE* file = std::fopen(path.c_str(), "rb")) {
        uint8_t chunk[65536];
        size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
            bytes.insert(bytes.end(), chunk, chunk + got);
        std::fclose(file);
    }
    return bytes;
}

const WaveMeasures& Measures(int entry)
{
    static std::vector<WaveMeasures> all = [] {
        std::vector<WaveMeasures> m;
        for (int n = 1; n <= SoundBank::kEntryCount; ++n) {
            const ByteBuffer& b = SoundBank::Entry(n);
            m.push_back(MeasureWave(b.bytes(), b.length));
        }
        return m;
    }();
    return all[static_cast<size_t>(entry - 1)];
}

// The generator's table (tools/soundgen/bank.tsv): per entry its format and whether
// its recipe makes it smooth (no isolated clicks) or of hits, and whether it decays
// inside its length or is cut on purpose.
struct GeneratorRow {
    uint16_t channels = 0;
    uint32_t rate = 0;
    uint16_t bits = 0;
    uint32_t dataBytes = 0;
    std::string kind;
    std::string ending;
};

const std::map<int, GeneratorRow>& GeneratorTable()
{
    static const std::map<int, GeneratorRow> table = [] {
        std::map<int, GeneratorRow> rows;
        std::ifstream file(std::string(BOARD_SOUNDGEN_DIR) + "/bank.tsv");
        std::string line;
        while (std::getline(file, line)) {
            if (line.empty() || line[0] == '#')
                continue;
            std::istringstream fields(line);
            int entry = 0;
            double fade = 0;
            GeneratorRow row;
            fields >> entry >> row.channels >> row.rate >> row.bits >> row.dataBytes >> fade >> row.kind >> row.ending;
            rows[entry] = row;
        }
        return rows;
    }();
    return table;
}

class SoundBankEntry : public ::testing::TestWithParam<Row> {};

TEST_P(SoundBankEntry, HasExactlyTheFortyFourByteLayoutOfItsRow)
{
    const Row& row = GetParam();
    const ByteBuffer& b = SoundBank::Entry(row.entry);
    const uint8_t* p = b.bytes();
    ASSERT_EQ(b.length, row.bufferLength);
    EXPECT_EQ(0, std::memcmp(p, "RIFF", 4));
    EXPECT_EQ(Read32(p + 4) + 8, b.length);
    EXPECT_EQ(0, std::memcmp(p + 8, "WAVE", 4));
    EXPECT_EQ(0, std::memcmp(p + 12, "fmt ", 4));
    EXPECT_EQ(Read32(p + 16), 16u);
    EXPECT_EQ(Read16(p + 20), 1u);
    EXPECT_EQ(Read16(p + 22), row.channels);
    EXPECT_EQ(Read32(p + 24), row.rate);
    const uint32_t blockAlign = row.channels * row.bits / 8u;
    EXPECT_EQ(Read32(p + 28), row.rate * blockAlign);
    EXPECT_EQ(Read16(p + 32), blockAlign);
    EXPECT_EQ(Read16(p + 34), row.bits);
    EXPECT_EQ(0, std::memcmp(p + 36, "data", 4));
    EXPECT_EQ(Read32(p + 40) + kHeaderBytes, b.length);
    EXPECT_EQ(Read32(p + 40) % 2, 0u);
    EXPECT_EQ(Read32(p + 40) % blockAlign, 0u);
}

TEST_P(SoundBankEntry, EmbeddedBytesAreTheCommittedFile)
{
    const Row& row = GetParam();
    const ByteBuffer& b = SoundBank::Entry(row.entry);
    const std::vector<uint8_t> file = ReadFile(FilePath(row.entry));
    ASSERT_EQ(file.size(), b.length) << FilePath(row.entry);
    EXPECT_EQ(0, std::memcmp(file.data(), b.bytes(), b.length));
}

TEST_P(SoundBankEntry, MeetsTheQualityBar)
{
    const WaveMeasures& m = Measures(GetParam().entry);
    EXPECT_LE(m.onsetMs, kLatestOnsetMs) << "lead-in silence";
    EXPECT_LE(m.peakDb, kHighestPeakDb) << "too close to clipping";
    EXPECT_GT(m.loudnessDb, kSilentBelowDb) << "silent";
    EXPECT_LE(m.largestDcOffset, kLargestDcOffset) << "DC offset";
    EXPECT_LE(m.endLevel, kLargestEndLevel) << "ends with a click";
}

TEST_P(SoundBankEntry, IsAtTheBanksLoudnessUnderTheTruePeakCeiling)
{
    const ByteBuffer& b = SoundBank::Entry(GetParam().entry);
    const Loudness l = MeasureLoudness(b.bytes(), b.length);
    ASSERT_TRUE(l.measured) << l.error;
    EXPECT_NEAR(l.lufs, kTargetLufs, kLoudnessRangeLu) << "BS.1770 integrated loudness, LUFS";
    EXPECT_LE(l.truePeakDb, kHighestTruePeakDb) << "true peak, dBTP";
}

TEST_P(SoundBankEntry, MatchesTheGeneratorsTable)
{
    const Row& row = GetParam();
    const auto found = GeneratorTable().find(row.entry);
    ASSERT_NE(found, GeneratorTable().end()) << "no row in bank.tsv";
    const GeneratorRow& g = found->second;
    EXPECT_EQ(g.channels, row.channels);
    EXPECT_EQ(g.rate, row.rate);
    EXPECT_EQ(g.bits, row.bits);
    EXPECT_EQ(g.dataBytes + kHeaderBytes, row.bufferLength);
    EXPECT_TRUE(g.kind == "smooth" || g.kind == "hits") << g.kind;
    EXPECT_TRUE(g.ending == "decays" || g.ending == "cut") << g.ending;
}

TEST_P(SoundBankEntry, IsNotCutOffMidRing)
{
    const auto found = GeneratorTable().find(GetParam().entry);
    ASSERT_NE(found, GeneratorTable().end()) << "no row in bank.tsv";
    if (found->second.ending == "cut")
        GTEST_SKIP() << "its recipe cuts it on purpose";
    EXPECT_LE(Measures(GetParam().entry).tailDb, kHighestTailDb) << "last 50 ms against the loudest 50 ms, dB";
}

TEST_P(SoundBankEntry, HasEnergyWhereASmallSpeakerPlays)
{
    const Row& row = GetParam();
    const ByteBuffer& b = SoundBank::Entry(row.entry);
    const double share = EnergyShareAbove(DecodeSamples(b.bytes(), b.length), row.channels, row.rate, kSmallSpeakerHz);
    EXPECT_GE(share, kLeastShareAbove) << "share of the energy above " << kSmallSpeakerHz << " Hz";
}

TEST_P(SoundBankEntry, SmoothEntryHasNoIsolatedClick)
{
    const Row& row = GetParam();
    const auto found = GeneratorTable().find(row.entry);
    ASSERT_NE(found, GeneratorTable().end()) << "no row in bank.tsv";
    if (found->second.kind != "smooth")
        GTEST_SKIP() << "made of hits: every hit is a transient";
    const ByteBuffer& b = SoundBank::Entry(row.entry);
    const std::vector<double> clicks = FindClicks(DecodeSamples(b.bytes(), b.length), row.channels, row.rate);
    std::ostringstream at;
    for (double t : clicks)
        at << ' ' << t << " s";
    EXPECT_TRUE(clicks.empty()) << "clicks at" << at.str();
}

INSTANTIATE_TEST_SUITE_P(AllEntries, SoundBankEntry, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) {
                             char name[16];
                             std::snprintf(name, sizeof name, "Sfx%02d", info.param.entry);
                             return std::string(name);
                         });

TEST(SoundBank, TotalsTheBanksSize)
{
    uint64_t total = 0;
    for (int n = 1; n <= SoundBank::kEntryCount; ++n)
        total += SoundBank::Entry(n).length;
    EXPECT_EQ(total, kBankBytes);
}

TEST(SoundBank, NumbersNoButtonCarriesGiveAnEmptyEntry)
{
    for (int number : {0, -1, SoundBank::kEntryCount + 1, 1000})
        EXPECT_EQ(SoundBank::Entry(number).length, 0u) << number;
    EXPECT_EQ(&SoundBank::Entry(1), &Sfx01);
    EXPECT_EQ(&SoundBank::Entry(SoundBank::kEntryCount), &Sfx33);
}

}  // namespace
