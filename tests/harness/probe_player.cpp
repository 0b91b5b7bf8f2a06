// Test program, not the product: plays one PCM wave file through waveOut*
// and exits when the device has returned the buffer, so the harness can check
// that exactly these samples reached the sound card.
#include <windows.h>
#include <mmsystem.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/handles.h"

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    FILE* file = std::fopen(argv[1], "rb");
    if (!file)
        return 2;
    std::vector<char> bytes;
    char chunk[65536];
    for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
        bytes.insert(bytes.end(), chunk, chunk + got);
    std::fclose(file);
    // The probe files are written by the checker: a 16-byte fmt chunk, then data.
    if (bytes.size() < 44)
        return 2;
    WAVEFORMATEX format = {};
    std::memcpy(&format, bytes.data() + 20, 16);
    const UniqueHandle done(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    HWAVEOUT device;
    if (waveOutOpen(&device, WAVE_MAPPER, &format, DWORD_PTR(done.get()), 0, CALLBACK_EVENT) != MMSYSERR_NOERROR)
        return 3;
    WAVEHDR header = {};
    header.lpData = bytes.data() + 44;
    header.dwBufferLength = DWORD(bytes.size() - 44);
    waveOutPrepareHeader(device, &header, sizeof header);
    waveOutWrite(device, &header, sizeof header);
    while (!(header.dwFlags & WHDR_DONE))
        WaitForSingleObject(done.get(), 100);
    waveOutUnprepareHeader(device, &header, sizeof header);
    waveOutClose(device);
    return 0;
}
