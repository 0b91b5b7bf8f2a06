// One playing wave sound: Start copies the samples, opens the device and queues
// the first buffers; the player's thread keeps the device fed from a ring of 20
// buffers and releases everything when the sound ends, a stop arrives or the
// device falls silent.
#include "audio/wave_player.h"

#include <cstring>
#include <new>

#include "audio/wave_format.h"
#include "audio/wave_registry.h"

bool WavePlayer::Start(const uint8_t* bytes, uint32_t length, bool loop)
{
    return StartOn(MakeWinmmWaveDevice(), bytes, length, loop);
}

bool WavePlayer::StartOn(std::unique_ptr<WaveDevice> device, const uint8_t* bytes, uint32_t length,
                         bool loop)
{
    ParsedWave wave;
    if (!device || !ParseWave(bytes, length, wave))
        return false;
    std::unique_ptr<WavePlayer> player(new (std::nothrow) WavePlayer(std::move(device), loop));
    if (!player || !player->Create(wave))
        return false;
    if (!player->device->Open(DeviceFormat(wave), WaveDoneCallback, reinterpret_cast<DWORD_PTR>(player.get())))
        return false;
    if (!WaveRegistry::Add(player.get())) {
        player->device->Close();
        return false;
    }
    // The first buffers go out from here, so the sound does not wait for its thread to start.
    player->primed = player->Prime();
    // From here the player's thread owns the player.
    ResumeThread(player.release()->thread.get());
    return true;
}

WavePlayer::WavePlayer(std::unique_ptr<WaveDevice> device, bool loop) : device(std::move(device)), loop(loop) {}

bool WavePlayer::Create(const ParsedWave& wave)
{
    pcm = AllocateHeapBlock<uint8_t>(wave.dataLength);
    if (!pcm)
        return false;
    std::memcpy(pcm.get(), wave.data, wave.dataLength);
    pcmLength = wave.dataLength;
    stopEvent.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    slots.reset(CreateSemaphoreA(nullptr, kBufferCount, kBufferCount, nullptr));
    return pool.Create() && stopEvent && slots;
}

bool WavePlayer::CreateThreadSuspended()
{
    thread.reset(CreateThread(nullptr, 0, Run, this, CREATE_SUSPENDED, &threadId));
    return bool(thread);
}

void WavePlayer::SignalStop() { SetEvent(stopEvent.get()); }

UniqueHandle WavePlayer::DuplicateThread() const
{
    HANDLE copy = nullptr;
    DuplicateHandle(GetCurrentProcess(), thread.get(), GetCurrentProcess(), &copy, SYNCHRONIZE, FALSE, 0);
    return UniqueHandle(copy);
}

DWORD WINAPI WavePlayer::Run(void* self)
{
    auto* player = static_cast<WavePlayer*>(self);
    player->Release(player->Play());
    // The registry tracks the thread to here, rather than the player closing its
    // device while still listed: this also covers the frees after the close, so a
    // waiting stop leaves no player code running.
    WaveRegistry::ThreadEnded();
    return 0;
}

// Start's steps before the thread runs: each takes a slot as the thread's own would.
WavePlayer::Step WavePlayer::Prime()
{
    Step step = Step::Wait;
    for (int i = 0; i < kPrimedBuffers && step == Step::Wait && position < pcmLength; ++i) {
        if (WaitForSingleObject(slots.get(), 0) != WAIT_OBJECT_0)
            break;
        ++slotsTaken;
        step = FillNext();
    }
    return step;
}

bool WavePlayer::Play()
{
    // `slots` first: when both are signalled a free buffer wins over the stop.
    const HANDLE waits[] = {slots.get(), stopEvent.get()};
    Step step = primed;
    while (step == Step::Wait) {
        const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, kWatchdogMs);
        if (woke == WAIT_OBJECT_0) {
            ++slotsTaken;
            step = FillNext();
        } else if (woke == WAIT_OBJECT_0 + 1 || woke == WAIT_TIMEOUT || woke == WAIT_FAILED) {
            // A wait that fails would fail again at once: the player ends instead of spinning.
            step = Step::Stop;
        }
    }
    if (step == Step::Stop) {
        device->Pause();
        device->Reset();
    }
    const bool back = TakeBackEveryNotice();
    if (back)
        UnprepareAll();
    return back;
}

WavePlayer::Step WavePlayer::FillNext()
{
    LONG free;
    {
        ScopedLock hold(lock);
        free = freeBuffers;
    }
    if (free < 1)
        return Step::Wait;
    WAVEHDR& header = pool.Header(nextBuffer);
    if (pool.IsPrepared(nextBuffer))
        device->Unprepare(&header);

    const uint32_t remainder = pcmLength - position;
    if (remainder == 0) {
        if (free < kBufferCount)
            return Step::Wait;  // buffers are still at the device
        if (!loop)
            return Step::Ended;
        // Next pass: every buffer is back; once every notice has also raised its
        // count, `slots` is 0, so raising it by 20 makes it exactly 20.
        if (!TakeBackEveryNotice())
            return Step::Stop;
        {
            ScopedLock hold(lock);
            position = 0;
            nextBuffer = 0;
            freeBuffers = kBufferCount;
        }
        ReleaseSemaphore(slots.get(), kBufferCount, nullptr);
        slotsRaisedHere += kBufferCount;
        return Step::Wait;
    }

    const uint32_t fill = remainder > kBufferSize ? kBufferSize : remainder;
    std::memcpy(header.lpData, pcm.get() + position, fill);
    header.dwBufferLength = fill;
    position += fill;
    // A refused buffer will never come back: stop now rather than wait out the watchdog.
    if (!device->Prepare(&header) || !device->Write(&header))
        return Step::Stop;
    ++written;
    {
        ScopedLock hold(lock);
        --freeBuffers;
    }
    nextBuffer = (nextBuffer + 1) % kBufferCount;
    return Step::Wait;
}

// Every written buffer raises `slots` once, as the last thing its notice does
// with the player; taking every count ever put in proves no notice is still
// running. (Counted as a sum: the player may have taken fewer than it raised.)
bool WavePlayer::TakeBackEveryNotice()
{
    const DWORD deadline = GetTickCount() + kBufferReturnMs;
    while (slotsTaken < slotsRaisedHere + written) {
        const DWORD now = GetTickCount();
        const DWORD left = int32_t(deadline - now) > 0 ? deadline - now : 0;
        if (WaitForSingleObject(slots.get(), left) != WAIT_OBJECT_0)
            return false;
        ++slotsTaken;
    }
    return true;
}

void WavePlayer::UnprepareAll()
{
    for (int i = 0; i < kBufferCount; ++i)
        if (pool.IsPrepared(i))
            device->Unprepare(&pool.Header(i));
}

void WavePlayer::Release(bool buffersBack)
{
    WaveRegistry::Remove(this);  // before any handle closes: StopAll reads them
    thread.reset();
    stopEvent.reset();
    if (!buffersBack)
        return;  // the device still holds buffers and may still send notices: leak the player

    device->Close();
    delete this;
}

void CALLBACK WaveDoneCallback(HWAVEOUT, UINT message, DWORD_PTR instance, DWORD_PTR, DWORD_PTR)
{
    if (message != WOM_DONE)
        return;
    auto* player = reinterpret_cast<WavePlayer*>(instance);
    {
        ScopedLock hold(player->lock);
        ++player->freeBuffers;
    }
    // The last touch of the player: once its thread has taken this count it may free itself.
    ReleaseSemaphore(player->slots.get(), 1, nullptr);
}
