// Plays one Standard MIDI File from memory through a MIDI stream: merges the tracks by
// time, converts them into 12-byte stream records and keeps two 1,024-byte buffers
// circulating, each closed when full or when it spans about 60 ms. The file is read in place.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <type_traits>
#include <vector>

#include "audio/midi_done_event.h"
#include "audio/midi_file.h"
#include "audio/midi_stream.h"

// One stream buffer: the platform header, then the fill bookkeeping. Owns the
// 1,024-byte block at header.data. Standard layout, so a header the device kept
// converts back to its buffer.
struct StreamBuffer {
    StreamBuffer() = default;
    ~StreamBuffer() { delete[] header.data; }
    StreamBuffer(const StreamBuffer&) = delete;
    StreamBuffer& operator=(const StreamBuffer&) = delete;

    MidiHeader header{};
    uint32_t startOffset = 0;
    uint32_t capacity = 0;
    uint32_t used = 0;
    uint32_t sliceStart = 0;                // lastTick when the first record went in
    uint32_t sliceFlag = 0;                 // the slice has been exceeded once
    bool prepared = false;                  // header prepared and not yet unprepared
};
static_assert(std::is_standard_layout<StreamBuffer>::value, "header first, convertible");

class MidiStreamPlayer : private MidiStreamClient {
public:
    static constexpr uint32_t kBufferCount = 2;
    static constexpr uint32_t kBufferSize = 1024;
    static constexpr uint32_t kRecordSize = 12;
    static constexpr uint32_t kStopWaitMs = 2000;
    static constexpr uint32_t kSliceMicroseconds = 60000;

    enum State : uint32_t { Running = 0, Stopping = 100, Stopped = 200, Ended = 300 };
    enum FillFlag : uint32_t { AllEnded = 1, ReadError = 2, Pending = 4 };
    enum FillResult : int32_t {
        FillReady = 0, ReadFailed = -101, StillFailed = -102, EndOfData = -103,
        BufferFull = -104, SkipEvent = -105,
    };

    MidiStreamPlayer();                              // the platform's MIDI stream
    explicit MidiStreamPlayer(MidiStream& device);   // any stream, e.g. a test device
    virtual ~MidiStreamPlayer();
    MidiStreamPlayer(const MidiStreamPlayer&) = delete;
    MidiStreamPlayer& operator=(const MidiStreamPlayer&) = delete;

    // Parses the file (kept by the caller until Close) and primes a paused stream.
    bool Open(const uint8_t* data, uint32_t length);
    bool Play(bool loop);
    void Close();

protected:
    // Every refused stream call, with the platform's code; nothing by default.
    virtual void OnError(uint32_t code);

private:
    void OnStreamMessage(uint32_t message, MidiHeader* header) override;
    void OnDone(MidiHeader* header);

    void CloseFile();
    bool Stop(bool reprime);
    bool Prime();
    bool Rewind();
    int32_t FillBuffer(bool first, StreamBuffer& buffer);
    int32_t PutEvent(MidiEvent& event, StreamBuffer& buffer);
    void FreeBuffers();
    void CloseStream(MidiStreamHandle old);
    bool AllocateBuffer(uint32_t index);
    void StartFill(StreamBuffer& buffer);
    void WriteRecord(StreamBuffer& buffer, uint32_t delta, uint32_t eventWord);

    MidiStream& device_;

    // Serialises Open, Play and Close (any caller's thread) with each other.
    std::mutex callLock_;

    // Guards everything the callback thread touches: state, playing, looping,
    // queuedBuffers, currentBuffer, the buffers and the fill fields below. The
    // callback holds it for all of OnDone; no stream stop, reset or close is called
    // while it is held, so a platform that waits for its callback cannot deadlock.
    std::mutex fillLock_;

    // Set by Open, cleared by Close; read by the fill under fillLock_.
    const uint8_t* fileData = nullptr;
    uint32_t division = 0;

    bool playing = false;                    // fillLock_
    MidiStreamHandle stream = 0;             // caller's thread (under callLock_)
    bool looping = false;                    // fillLock_
    uint32_t lastTick = 0;                   // fill fields: fillLock_
    uint32_t ticksPerSlice = 0;
    uint32_t tempo = 0;
    bool insertTempo = false;
    uint32_t currentBuffer = 0;              // fillLock_
    uint32_t queuedBuffers = 0;              // with the device, not yet back: fillLock_
    State state = Running;                   // fillLock_
    MidiDoneEvent doneEvent;                 // callback → waiting Stop
    std::vector<MidiTrack> tracks;           // fillLock_ while a stream exists
    // Heap-held so that a header the device never gave back can be left to it.
    std::array<std::unique_ptr<StreamBuffer>, kBufferCount> buffers;   // fillLock_
    uint32_t fillFlags = 0;                  // fillLock_
    MidiEvent pending;                       // fillLock_; owns its data block
};
