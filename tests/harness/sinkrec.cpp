// Records the sound server's "board" sink until SIGINT or SIGTERM and writes
// it as a mono wave file. With --clock FILE it also writes the wall-clock time
// (seconds since the epoch) at which the recording's first sample was played,
// so a test can time a sound from the moment it triggered it.
//   sinkrec OUT.wav [--clock FILE]
// The clock file appears once the first samples have arrived: a caller that
// waits for it knows the recording is running.
#include <pulse/error.h>
#include <pulse/simple.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "tests/harness/wav_io.h"

namespace {

constexpr uint32_t kRate = 44100;
constexpr uint32_t kFramesPerRead = kRate / 100;
constexpr pa_usec_t kMaxLatencyUs = 5000000;
volatile std::sig_atomic_t stopRequested = 0;

void RequestStop(int) { stopRequested = 1; }

double WallSeconds()
{
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

bool WriteClock(const std::string& path, double firstSample)
{
    FILE* file = std::fopen(path.c_str(), "w");
    if (!file)
        return false;
    std::fprintf(file, "%.6f\n", firstSample);
    return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool shapeKnown = argc == 2 || (argc == 4 && !std::strcmp(argv[2], "--clock"));
    if (!shapeKnown || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: sinkrec OUT.wav [--clock FILE]\n");
        return 2;
    }
    const std::string clockPath = argc == 4 ? argv[3] : "";

    struct sigaction action = {};
    action.sa_handler = RequestStop;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    const pa_sample_spec sampleFormat = {PA_SAMPLE_S16LE, kRate, 2};
    pa_buffer_attr attr;
    std::memset(&attr, 0xff, sizeof attr);
    attr.fragsize = kFramesPerRead * 4;
    int error = 0;
    pa_simple* stream = pa_simple_new(nullptr, "sinkrec", PA_STREAM_RECORD, "board.monitor", "recording",
                                      &sampleFormat, nullptr, &attr, &error);
    if (!stream) {
        std::fprintf(stderr, "sinkrec: %s\n", pa_strerror(error));
        return 1;
    }

    MonoSignal recording;
    recording.rate = kRate;
    int16_t frames[kFramesPerRead * 2];
    // Each read dates the first sample anew; the earliest estimate has the least scheduling delay in it.
    double firstSample = 1e300;
    bool clockWritten = clockPath.empty();
    while (!stopRequested) {
        if (pa_simple_read(stream, frames, sizeof frames, &error) < 0) {
            if (stopRequested)
                break;
            std::fprintf(stderr, "sinkrec: %s\n", pa_strerror(error));
            pa_simple_free(stream);
            return 1;
        }
        const double arrived = WallSeconds();
        int latencyError = 0;
        const pa_usec_t latency = pa_simple_get_latency(stream, &latencyError);
        for (uint32_t i = 0; i < kFramesPerRead; ++i)
            recording.samples.push_back((float(frames[2 * i]) + float(frames[2 * i + 1])) / 65536.0f);
        // A read whose latency the server cannot tell dates nothing.
        if (latency == static_cast<pa_usec_t>(-1) || latency > kMaxLatencyUs)
            continue;
        const double estimate = arrived - double(latency) * 1e-6 - double(recording.samples.size()) / kRate;
        if (estimate < firstSample)
            firstSample = estimate;
        if (!clockWritten && recording.samples.size() >= 5 * kFramesPerRead)
            clockWritten = WriteClock(clockPath + ".part", firstSample) &&
                           std::rename((clockPath + ".part").c_str(), clockPath.c_str()) == 0;
    }
    pa_simple_free(stream);
    if (!clockPath.empty() && !WriteClock(clockPath, firstSample))
        return 1;
    return WriteWave(argv[1], recording) ? 0 : 1;
}
