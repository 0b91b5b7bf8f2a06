// The skins' LZMA decoding, ours against the system's liblzma on the same
// streams in the same run: the engine decodes a skin at start-up, so this is
// part of the board's time to its prompt. Prints one line per figure.
//   lzma_decode_bench SKIN_DIR [ROUNDS]
#include <lzma.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "skins/lzma_decoder.h"
#include "skins/skin_format.h"

namespace {

constexpr int kSkinCount = 33;
constexpr int kDefaultRounds = 20;

struct Stream {
    std::vector<uint8_t> file;
    SkinContainer container;
};

bool ReadSkin(const std::string& path, Stream& s)
{
    std::ifstream in(path, std::ios::binary);
    s.file.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return ParseSkinContainer(s.file.data(), s.file.size(), s.container);
}

bool DecodeOurs(const Stream& s, std::vector<uint8_t>& out, LzmaState& state)
{
    return LzmaDecode(state, s.container.props, s.container.stream, s.container.streamLength, out.data(),
                      out.size()) == LzmaResult::Ok;
}

bool DecodeLiblzma(const Stream& s, std::vector<uint8_t>& out)
{
    lzma_options_lzma options{};
    options.dict_size = s.container.props.dictionarySize;
    options.lc = s.container.props.lc;
    options.lp = s.container.props.lp;
    options.pb = s.container.props.pb;
    lzma_filter filters[] = {{LZMA_FILTER_LZMA1, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    size_t inPos = 0, outPos = 0;
    lzma_raw_buffer_decode(filters, nullptr, s.container.stream, &inPos, s.container.streamLength, out.data(),
                           &outPos, out.size());
    return outPos == out.size();
}

template <typename Decode>
double MillisecondsPerRound(int rounds, Decode decode)
{
    const auto begun = std::chrono::steady_clock::now();
    for (int r = 0; r < rounds; ++r)
        if (!decode())
            return -1;
    const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - begun;
    return spent.count() / rounds;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: lzma_decode_bench SKIN_DIR [ROUNDS]\n");
        return 2;
    }
    const int rounds = argc > 2 ? std::atoi(argv[2]) : kDefaultRounds;
    std::vector<Stream> skins(kSkinCount);
    for (int n = 1; n <= kSkinCount; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "/skin%02d.she", n);
        if (!ReadSkin(argv[1] + std::string(name), skins[n - 1])) {
            std::fprintf(stderr, "lzma_decode_bench: cannot read skin %d\n", n);
            return 1;
        }
    }
    auto state = std::make_unique<LzmaState>();
    double ours = 0, theirs = 0;
    std::printf("%-8s %12s %12s %8s\n", "skin", "ours (ms)", "liblzma (ms)", "ratio");
    for (int n = 1; n <= kSkinCount; ++n) {
        const Stream& s = skins[n - 1];
        std::vector<uint8_t> out(s.container.payloadSize);
        const double a = MillisecondsPerRound(rounds, [&] { return DecodeOurs(s, out, *state); });
        const double b = MillisecondsPerRound(rounds, [&] { return DecodeLiblzma(s, out); });
        if (a < 0 || b < 0) {
            std::fprintf(stderr, "lzma_decode_bench: skin %d did not decode\n", n);
            return 1;
        }
        ours += a;
        theirs += b;
        std::printf("%-8d %12.3f %12.3f %8.2f\n", n, a, b, a / b);
    }
    std::printf("%-8s %12.3f %12.3f %8.2f\n", "all", ours, theirs, ours / theirs);
    return 0;
}
