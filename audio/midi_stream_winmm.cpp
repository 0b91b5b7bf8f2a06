// The real MIDI stream: each call goes straight to winmm, and the stream's callback
// routes its notices to the client that opened it.
#include <windows.h>
#include <mmsystem.h>

#include <cstddef>

#include "audio/midi_stream.h"

static_assert(sizeof(MidiHeader) == sizeof(MIDIHDR), "MidiHeader mirrors MIDIHDR");
static_assert(offsetof(MidiHeader, data) == offsetof(MIDIHDR, lpData), "lpData");
static_assert(offsetof(MidiHeader, bufferLength) == offsetof(MIDIHDR, dwBufferLength), "dwBufferLength");
static_assert(offsetof(MidiHeader, bytesRecorded) == offsetof(MIDIHDR, dwBytesRecorded), "dwBytesRecorded");
static_assert(offsetof(MidiHeader, user) == offsetof(MIDIHDR, dwUser), "dwUser");
static_assert(offsetof(MidiHeader, flags) == offsetof(MIDIHDR, dwFlags), "dwFlags");
static_assert(offsetof(MidiHeader, next) == offsetof(MIDIHDR, lpNext), "lpNext");
static_assert(offsetof(MidiHeader, offset) == offsetof(MIDIHDR, dwOffset), "dwOffset");
static_assert(offsetof(MidiHeader, reservedWords) == offsetof(MIDIHDR, dwReserved), "dwReserved");
static_assert(kMomDone == MOM_DONE && kMomOpen == MOM_OPEN && kMomClose == MOM_CLOSE &&
              kMomPositionCb == MOM_POSITIONCB, "stream notices");
static_assert(kMidiStillPlaying == MIDIERR_STILLPLAYING && kMidiInvalidHandle == MMSYSERR_INVALHANDLE,
              "error codes");

namespace {

HMIDISTRM AsStream(MidiStreamHandle stream) { return reinterpret_cast<HMIDISTRM>(stream); }
HMIDIOUT AsOut(MidiStreamHandle stream) { return reinterpret_cast<HMIDIOUT>(stream); }
MIDIHDR* AsHeader(MidiHeader& header) { return reinterpret_cast<MIDIHDR*>(&header); }

// On the platform's callback thread.
void CALLBACK StreamCallback(HMIDIOUT, UINT message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR)
{
    reinterpret_cast<MidiStreamClient*>(instance)->OnStreamMessage(
        message, reinterpret_cast<MidiHeader*>(param1));
}

class WinmmMidiStream final : public MidiStream {
public:
    MidiResult Open(MidiStreamHandle& stream, uint32_t deviceId, MidiStreamClient& client) override
    {
        HMIDISTRM handle = nullptr;
        UINT device = deviceId;
        const MMRESULT result = midiStreamOpen(&handle, &device, 1,
                                               reinterpret_cast<DWORD_PTR>(&StreamCallback),
                                               reinterpret_cast<DWORD_PTR>(&client), CALLBACK_FUNCTION);
        stream = result == MMSYSERR_NOERROR ? reinterpret_cast<MidiStreamHandle>(handle) : 0;
        return result;
    }
    MidiResult SetTimeDivision(MidiStreamHandle stream, uint32_t division) override
    {
        MIDIPROPTIMEDIV property{sizeof property, division};
        return midiStreamProperty(AsStream(stream), reinterpret_cast<LPBYTE>(&property),
                                  MIDIPROP_SET | MIDIPROP_TIMEDIV);
    }
    MidiResult PrepareHeader(MidiStreamHandle stream, MidiHeader& header) override
    {
        return midiOutPrepareHeader(AsOut(stream), AsHeader(header), sizeof(MIDIHDR));
    }
    MidiResult UnprepareHeader(MidiStreamHandle stream, MidiHeader& header) override
    {
        return midiOutUnprepareHeader(AsOut(stream), AsHeader(header), sizeof(MIDIHDR));
    }
    MidiResult Out(MidiStreamHandle stream, MidiHeader& header) override
    {
        return midiStreamOut(AsStream(stream), AsHeader(header), sizeof(MIDIHDR));
    }
    MidiResult Restart(MidiStreamHandle stream) override { return midiStreamRestart(AsStream(stream)); }
    MidiResult Stop(MidiStreamHandle stream) override { return midiStreamStop(AsStream(stream)); }
    MidiResult Reset(MidiStreamHandle stream) override { return midiOutReset(AsOut(stream)); }
    MidiResult Close(MidiStreamHandle stream) override { return midiStreamClose(AsStream(stream)); }
};

}  // namespace

MidiStream& PlatformMidiStream()
{
    static WinmmMidiStream stream;
    return stream;
}
