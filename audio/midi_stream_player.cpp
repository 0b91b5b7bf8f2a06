// The MIDI stream player's logic: parsing on Open, converting events into stream
// records, the two circulating buffers and the stop/re-arm sequence. Portable: the
// stream itself is reached only through MidiStream.
#include "audio/midi_stream_player.h"

#include <chrono>
#include <new>

namespace {

constexpr uint32_t kShortMessage = 0;   // MEVT_SHORTMSG
constexpr uint32_t kTempoRecord = 1;    // MEVT_TEMPO
constexpr uint32_t kTempoDataBytes = 3;

void PutLittleEndian32(uint8_t* p, uint32_t value)
{
    p[0] = uint8_t(value);
    p[1] = uint8_t(value >> 8);
    p[2] = uint8_t(value >> 16);
    p[3] = uint8_t(value >> 24);
}

}  // namespace

MidiStreamPlayer::MidiStreamPlayer(MidiStream& device) : device_(device) {}

MidiStreamPlayer::~MidiStreamPlayer() { Close(); }

void MidiStreamPlayer::OnError(uint32_t) {}

// Of the stream's notices only a returned buffer asks anything of the player.
void MidiStreamPlayer::OnStreamMessage(uint32_t message, MidiHeader* header)
{
    if (message == kMomDone)
        OnDone(header);
}

bool MidiStreamPlayer::Open(const uint8_t* data, uint32_t length)
{
    std::lock_guard<std::mutex> calls(callLock_);
    if (fileData)
        CloseFile();

    MidiFileHeader header;
    std::lock_guard<std::mutex> fill(fillLock_);
    if (!ParseMidiFile(data, length, header, tracks)) {
        tracks.clear();
        return false;
    }
    division = header.division;
    fileData = data;
    return Prime();
}

bool MidiStreamPlayer::Play(bool loop)
{
    std::lock_guard<std::mutex> calls(callLock_);
    bool wasPlaying;
    { std::lock_guard<std::mutex> fill(fillLock_); wasPlaying = playing; }
    // After the end this is the re-arm: the callback only marked the end.
    if (wasPlaying)
        Stop(true);

    // Held across the restart so that no buffer comes back before playing is set.
    std::lock_guard<std::mutex> fill(fillLock_);
    state = Running;
    if (!looping)
        insertTempo = true;
    looping = loop;
    if (const MidiResult result = device_.Restart(stream)) {
        OnError(result);
        return false;
    }
    playing = true;
    return true;
}

void MidiStreamPlayer::Close()
{
    std::lock_guard<std::mutex> calls(callLock_);
    CloseFile();
}

void MidiStreamPlayer::CloseFile()
{
    Stop(false);
    std::lock_guard<std::mutex> fill(fillLock_);
    pending = MidiEvent();
    fileData = nullptr;
    division = 0;
    playing = false;
    looping = false;
    lastTick = 0;
    ticksPerSlice = 0;
    tempo = 0;
    insertTempo = false;
    currentBuffer = 0;
    queuedBuffers = 0;
    state = Running;
    tracks.clear();
    fillFlags = 0;
}

bool MidiStreamPlayer::Stop(bool reprime)
{
    bool buffersOut;
    {
        std::lock_guard<std::mutex> fill(fillLock_);
        playing = false;
        if (state != Stopped && state != Ended)
            state = Stopping;
        buffersOut = queuedBuffers != 0;
        doneEvent.Clear();
    }
    // A failed stop or reset still goes on to the release.
    if (const MidiResult result = device_.Stop(stream))
        OnError(result);
    if (const MidiResult result = device_.Reset(stream))
        OnError(result);
    if (buffersOut && !doneEvent.Wait(std::chrono::milliseconds(kStopWaitMs))) {
        std::lock_guard<std::mutex> fill(fillLock_);
        state = Stopped;
    }

    const MidiStreamHandle old = stream;
    bool primed = true;
    {
        std::lock_guard<std::mutex> fill(fillLock_);
        state = Running;
        FreeBuffers();
        stream = 0;
        queuedBuffers = 0;
        if (reprime) {
            // Rewind first, so the primed buffers start at the top.
            if (!looping && Rewind())
                fillFlags = 0;
            primed = Prime();
        }
    }
    CloseStream(old);
    return primed;
}

void MidiStreamPlayer::CloseStream(MidiStreamHandle old)
{
    if (old == 0)
        return;
    if (const MidiResult result = device_.Close(old))
        OnError(result);
}

bool MidiStreamPlayer::AllocateBuffer(uint32_t index)
{
    std::unique_ptr<StreamBuffer> buffer(new (std::nothrow) StreamBuffer);
    if (!buffer)
        return false;
    buffer->header.data = new (std::nothrow) uint8_t[kBufferSize];
    if (!buffer->header.data)
        return false;
    buffer->header.bufferLength = kBufferSize;
    StartFill(*buffer);
    buffers[index] = std::move(buffer);
    return true;
}

void MidiStreamPlayer::StartFill(StreamBuffer& buffer)
{
    buffer.startOffset = 0;
    buffer.capacity = kBufferSize;
    buffer.used = 0;
    buffer.sliceStart = 0;
    buffer.sliceFlag = 0;
}

bool MidiStreamPlayer::Prime()
{
    if (stream == 0) {
        if (const MidiResult result = device_.Open(stream, kMidiMapper, *this)) {
            stream = 0;
            OnError(result);
            return false;
        }
    }
    if (const MidiResult result = device_.SetTimeDivision(stream, division)) {
        OnError(result);
        return false;
    }
    queuedBuffers = 0;
    currentBuffer = 0;
    for (uint32_t index = 0; index < kBufferCount; ++index) {
        if (!AllocateBuffer(index))
            return false;
        StreamBuffer& buffer = *buffers[index];
        const int32_t filled = FillBuffer(index == 0, buffer);
        const bool endReached = filled == EndOfData;
        if (filled != FillReady && !endReached)
            return false;
        buffer.header.bytesRecorded = buffer.used;
        if (const MidiResult result = device_.PrepareHeader(stream, buffer.header)) {
            OnError(result);
            return false;
        }
        buffer.prepared = true;
        if (const MidiResult result = device_.Out(stream, buffer.header)) {
            OnError(result);   // the file still counts as opened
            return true;
        }
        ++queuedBuffers;
        if (endReached)
            return true;
    }
    return true;
}

void MidiStreamPlayer::FreeBuffers()
{
    for (std::unique_ptr<StreamBuffer>& buffer : buffers) {
        if (!buffer)
            continue;
        if (buffer->prepared) {
            if (const MidiResult result = device_.UnprepareHeader(stream, buffer->header)) {
                OnError(result);
                buffer.release();   // the device still owns it: leave it there
                continue;
            }
            buffer->prepared = false;
        }
        buffer.reset();
    }
}

bool MidiStreamPlayer::Rewind()
{
    if (!fileData)
        return false;
    for (MidiTrack& track : tracks) {
        if (!RewindTrack(track))
            return false;
    }
    lastTick = 0;
    return true;
}

int32_t MidiStreamPlayer::FillBuffer(bool first, StreamBuffer& buffer)
{
    buffer.used = 0;
    if (first) {
        fillFlags = 0;
        pending = MidiEvent();
    }
    if (fillFlags & AllEnded) {
        if (!looping)
            return EndOfData;
        if (!Rewind()) {
            fillFlags = ReadError;
            return ReadFailed;
        }
        fillFlags = 0;
    } else if (fillFlags & ReadError) {
        return StillFailed;
    } else if (fillFlags & Pending) {
        fillFlags &= ~uint32_t(Pending);
        if (pending.IsEndOfTrack()) {
            pending = MidiEvent();
        } else if (PutEvent(pending, buffer) == BufferFull) {
            fillFlags |= Pending;
            return FillReady;
        }
    }

    uint32_t usedAtPassStart = 0;
    for (;;) {
        MidiTrack* earliest = nullptr;
        for (MidiTrack& track : tracks) {
            if (!(track.flags & kTrackEnded) && (!earliest || track.time < earliest->time))
                earliest = &track;
        }
        if (!earliest) {
            fillFlags |= AllEnded;
            if (!looping)
                return FillReady;
            // A loop goes on in this buffer, unless this pass wrote nothing into it.
            // A whole pass into an empty buffer means a file without records: it
            // ends, rather than cycling empty buffers through the device for ever.
            if (buffer.used == usedAtPassStart)
                return buffer.used == 0 ? EndOfData : FillReady;
            if (!Rewind()) {
                fillFlags = ReadError;
                return ReadFailed;
            }
            fillFlags = 0;
            usedAtPassStart = buffer.used;
            continue;
        }
        if (!ReadEvent(*earliest, pending)) {
            fillFlags |= ReadError;
            return ReadFailed;
        }
        if (pending.IsEndOfTrack()) {
            pending = MidiEvent();
            continue;
        }
        if (PutEvent(pending, buffer) == BufferFull) {
            fillFlags |= Pending;
            return FillReady;
        }
    }
}

void MidiStreamPlayer::WriteRecord(StreamBuffer& buffer, uint32_t delta, uint32_t eventWord)
{
    uint8_t* record = buffer.header.data + buffer.used;
    PutLittleEndian32(record, delta);
    PutLittleEndian32(record + 4, 0);   // stream identifier
    PutLittleEndian32(record + 8, eventWord);
    buffer.used += kRecordSize;
}

int32_t MidiStreamPlayer::PutEvent(MidiEvent& event, StreamBuffer& buffer)
{
    if (buffer.used == 0)
        buffer.sliceStart = lastTick;
    if (lastTick - buffer.sliceStart > ticksPerSlice) {
        if (buffer.sliceFlag) {
            buffer.sliceFlag = 0;
            return BufferFull;
        }
        buffer.sliceFlag = 1;
    }
    const auto room = [&buffer] { return buffer.capacity - buffer.used; };
    if (insertTempo && tempo != 0 && room() >= kRecordSize) {
        insertTempo = false;
        WriteRecord(buffer, 0, kTempoRecord << 24 | tempo);
    } else if (insertTempo && tempo == 0) {
        insertTempo = false;
    }

    if (event.status < kSysExStatus) {
        if (room() < kRecordSize)
            return BufferFull;
        WriteRecord(buffer, event.time - lastTick,
                    kShortMessage << 24 | uint32_t(event.data2) << 16 | uint32_t(event.data1) << 8 |
                        event.status);
        lastTick = event.time;
        return FillReady;
    }
    if (event.status == kSysExStatus || event.status == kSysExEscapeStatus) {
        event.data.reset();
        return FillReady;
    }
    // A set-tempo event too short to hold a value, or of value 0, is skipped like any
    // other meta event: the old tempo stays.
    const bool usableTempo = event.status == kMetaStatus && event.data1 == kMetaSetTempo &&
                             event.length >= kTempoDataBytes &&
                             (event.data[0] | event.data[1] | event.data[2]) != 0;
    if (!usableTempo) {
        event.data.reset();
        return SkipEvent;
    }
    if (room() < kRecordSize)
        return BufferFull;
    tempo = uint32_t(event.data[0]) << 16 | uint32_t(event.data[1]) << 8 | event.data[2];
    WriteRecord(buffer, event.time - lastTick, kTempoRecord << 24 | tempo);
    ticksPerSlice = division * kSliceMicroseconds / tempo;
    event.data.reset();
    lastTick = event.time;
    return FillReady;
}

void MidiStreamPlayer::OnDone(MidiHeader* header)
{
    std::lock_guard<std::mutex> fill(fillLock_);
    const bool ours = (buffers[0] && header == &buffers[0]->header) ||
                      (buffers[1] && header == &buffers[1]->header);
    if (!ours || state == Stopped)
        return;
    --queuedBuffers;
    if (state == Ended || state == Stopping) {
        // Only the end is marked here; a stream call from this thread is not allowed,
        // so the re-arm after the end waits for the next Play or Close.
        if (queuedBuffers == 0) {
            state = Stopped;
            doneEvent.Set();
        }
        return;
    }
    if (!playing || !buffers[currentBuffer])
        return;
    StreamBuffer& buffer = *buffers[currentBuffer];
    StartFill(buffer);
    const int32_t filled = FillBuffer(false, buffer);
    if (filled == EndOfData) {
        state = Ended;
        if (queuedBuffers == 0) {
            state = Stopped;
            doneEvent.Set();
        }
        return;
    }
    if (filled != FillReady)
        return;   // nothing more is queued; the stream runs dry
    buffer.header.bytesRecorded = buffer.used;
    if (const MidiResult result = device_.Out(stream, buffer.header)) {
        OnError(result);
        return;
    }
    ++queuedBuffers;
    currentBuffer = (currentBuffer + 1) % kBufferCount;
}
