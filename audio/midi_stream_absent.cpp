// The MIDI stream of a build without a platform MIDI output: every stream fails to
// open, as on a machine with no MIDI device.
#include "audio/midi_stream.h"

namespace {

constexpr MidiResult kNoDevice = 68;   // MIDIERR_NODEVICE

class AbsentMidiStream final : public MidiStream {
public:
    MidiResult Open(MidiStreamHandle& stream, uint32_t, MidiStreamClient&) override
    {
        stream = 0;
        return kNoDevice;
    }
    MidiResult SetTimeDivision(MidiStreamHandle, uint32_t) override { return kMidiInvalidHandle; }
    MidiResult PrepareHeader(MidiStreamHandle, MidiHeader&) override { return kMidiInvalidHandle; }
    MidiResult UnprepareHeader(MidiStreamHandle, MidiHeader&) override { return kMidiInvalidHandle; }
    MidiResult Out(MidiStreamHandle, MidiHeader&) override { return kMidiInvalidHandle; }
    MidiResult Restart(MidiStreamHandle) override { return kMidiInvalidHandle; }
    MidiResult Stop(MidiStreamHandle) override { return kMidiInvalidHandle; }
    MidiResult Reset(MidiStreamHandle) override { return kMidiInvalidHandle; }
    MidiResult Close(MidiStreamHandle) override { return kMidiInvalidHandle; }
};

}  // namespace

MidiStream& PlatformMidiStream()
{
    static AbsentMidiStream stream;
    return stream;
}
