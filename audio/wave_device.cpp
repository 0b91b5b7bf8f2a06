// The winmm wave output device behind the player's seam. Results of the calls
// other than the open are ignored, as the player has nothing to do about them.
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
    void Prepare(WAVEHDR* header) override { waveOutPrepareHeader(device_, header, sizeof *header); }
    void Write(WAVEHDR* header) override { waveOutWrite(device_, header, sizeof *header); }
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
