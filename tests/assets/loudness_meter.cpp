// Runs ffmpeg's ebur128 filter on a scratch copy of an entry and reads the summary's
// "I: ... LUFS" and true-peak "Peak: ... dBFS" lines.
#include "tests/assets/loudness_meter.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

// The summary comes last; its lines are the last ones carrying these labels.
bool LastNumberAfter(const std::string& text, const std::string& label, double* value)
{
    const size_t at = text.rfind(label);
    if (at == std::string::npos)
        return false;
    *value = std::strtod(text.c_str() + at + label.size(), nullptr);
    return true;
}

}  // namespace

Loudness MeasureLoudness(const uint8_t* bytes, uint32_t length)
{
    Loudness result{false, 0, 0, ""};
    const char* tmp = std::getenv("TMPDIR");
    std::string path = std::string(tmp ? tmp : "/tmp") + "/bank-entry-XXXXXX.wav";
    const int fd = mkstemps(&path[0], 4);
    if (fd < 0) {
        result.error = "cannot make a scratch file";
        return result;
    }
    const bool written = write(fd, bytes, length) == static_cast<ssize_t>(length);
    close(fd);
    std::string output;
    if (written) {
        const std::string command = "ffmpeg -nostats -hide_banner -i '" + path +
                                    "' -filter_complex ebur128=peak=true -f null - 2>&1";
        if (FILE* pipe = popen(command.c_str(), "r")) {
            char chunk[4096];
            size_t got;
            while ((got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0)
                output.append(chunk, got);
            if (pclose(pipe) != 0)
                result.error = "ffmpeg failed: " + output.substr(output.size() > 400 ? output.size() - 400 : 0);
        }
    }
    std::remove(path.c_str());
    const size_t summary = output.rfind("Summary:");
    if (summary == std::string::npos) {
        if (result.error.empty())
            result.error = "no ebur128 summary from ffmpeg";
        return result;
    }
    const std::string tail = output.substr(summary);
    result.measured = LastNumberAfter(tail, "I:", &result.lufs) &&
                      LastNumberAfter(tail, "Peak:", &result.truePeakDb);
    return result;
}
