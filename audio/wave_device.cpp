// The winmm wave output device behind the player's seam. The open, prepare and
// write report refusals; the player cannot act on the others' results.
#include "audio/wave_device.h"

namespace {

class WinmmWaveDevice final : public WaveDevice {
public:
    ~WinmmWaveDevice() override { Close(); }

    bool Open(const std::vector<uint8_t>& format, WaveDoneFunction done, DWORD_PTR instance) override
    {
        if (waveOutGetNumDevs() == 0)
            return false;
        const auto* wfx = reinterpret_cast<const WAVEFORMATEX*>(format.data());
        return waveOutOpen(&device_, WAVE_MAPPER, wfx, reinterpret_cast<DWORD_PTR>(done), instance,
                           CALLBACK_FUNCTION) == MMSYSERR_NOERROR;
    }
    bool Prepare(WAVEHDR* header) override
    {
        return waveOutPrepareHeader(device_, header, sizeof *header) == MMSYSERR_NOERROR;
    }
    bool Write(WAVEHDR* header) override { return waveOutWrite(device_, header, sizeof *header) == MMSYSERR_NOERROR; }
    void Unprepare(WAVEHDR* header) override { waveOutUnprepareHeader(device_, header, sizeof *header); }
    void Pause() override { waveOutPause(device_); }
    void Reset() override { waveOutReset(device_); }
    void Close() override
    {
        if (device_)
            waveOutClose(device_);
        device_ = nullptr;
    }

private:
    HWAVEOUT device_ = nullptr;
};

}  // namespace

std::unique_ptr<WaveDevice> MakeWinmmWaveDevice() { return std::make_unique<WinmmWaveDevice>(); }
