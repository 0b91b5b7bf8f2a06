// The platform's MIDI stream calls, as the player needs them: an interface so that the
// real device (winmm) and a test device can stand behind the same player.
#pragma once

#include <cstdint>

// Mirrors the platform's MIDIHDR field for field, packed to 1 byte as the platform
// packs it (64 bytes in the 32-bit build, 88 in the 64-bit one).
#pragma pack(push, 1)
struct MidiHeader {
    uint8_t* data;
    uint32_t bufferLength;
    uint32_t bytesRecorded;
    uintptr_t user;
    uint32_t flags;
    MidiHeader* next;
    uintptr_t reserved;
    uint32_t offset;
    uintptr_t reservedWords[8];
};
#pragma pack(pop)
static_assert(sizeof(void*) != 4 || sizeof(MidiHeader) == 64, "MIDIHDR is 64 bytes");

using MidiStreamHandle = uintptr_t;   // 0: no stream
using MidiResult = uint32_t;          // 0: success, else the platform's error code

constexpr MidiResult kMidiOk = 0;
constexpr MidiResult kMidiInvalidHandle = 5;   // MMSYSERR_INVALHANDLE
constexpr MidiResult kMidiStillPlaying = 65;   // MIDIERR_STILLPLAYING
constexpr uint32_t kMidiMapper = 0xFFFFFFFF;

// Stream notices, by their platform numbers.
constexpr uint32_t kMomOpen = 967;
constexpr uint32_t kMomClose = 968;
constexpr uint32_t kMomDone = 969;
constexpr uint32_t kMomPositionCb = 970;

// Receives the stream's notices on the platform's callback thread.
class MidiStreamClient {
public:
    virtual void OnStreamMessage(uint32_t message, MidiHeader* header) = 0;

protected:
    ~MidiStreamClient() = default;
};

class MidiStream {
public:
    virtual ~MidiStream() = default;
    // Opens one stream, paused; notices go to client until Close.
    virtual MidiResult Open(MidiStreamHandle& stream, uint32_t deviceId, MidiStreamClient& client) = 0;
    virtual MidiResult SetTimeDivision(MidiStreamHandle stream, uint32_t division) = 0;
    virtual MidiResult PrepareHeader(MidiStreamHandle stream, MidiHeader& header) = 0;
    virtual MidiResult UnprepareHeader(MidiStreamHandle stream, MidiHeader& header) = 0;
    virtual MidiResult Out(MidiStreamHandle stream, MidiHeader& header) = 0;
    virtual MidiResult Restart(MidiStreamHandle stream) = 0;
    virtual MidiResult Stop(MidiStreamHandle stream) = 0;
    virtual MidiResult Reset(MidiStreamHandle stream) = 0;   // midiOutReset: hands back every buffer
    virtual MidiResult Close(MidiStreamHandle stream) = 0;
};

// The machine's own MIDI stream output (winmm in the Windows build).
MidiStream& PlatformMidiStream();
