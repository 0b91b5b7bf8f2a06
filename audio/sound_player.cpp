// The play and stop commands: wave data goes to a new wave player (sounds
// overlap), MIDI data replaces the one MIDI file; Stop silences both.
#include "audio/sound_player.h"

#include <windows.h>

#include <algorithm>
#include <new>
#include <vector>

#include "audio/midi_stream_player.h"
#include "audio/sound_kind.h"
#include "audio/wave_player.h"
#include "platform/handles.h"
#include "audio/wave_registry.h"

SoundPlayer* soundPlayer = nullptr;

namespace {

// Reads a whole file, letting others read but not write it meanwhile. A file too
// large for a 32-bit length, a failed allocation or a short read is refused.
bool ReadWholeFile(const char* fileName, std::vector<uint8_t>& bytes)
{
    UniqueFile file(CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 || size.QuadPart > 0xFFFFFFFFLL)
        return false;
    try {
        bytes.resize(size_t(size.QuadPart));
    } catch (const std::bad_alloc&) {
        return false;
    }
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD want = DWORD(std::min<size_t>(bytes.size() - done, 1u << 24)), got = 0;
        if (!ReadFile(file.get(), bytes.data() + done, want, &got, nullptr) || got == 0)
            return false;
        done += got;
    }
    return true;
}

}  // namespace

// The MIDI side is entered by the window's thread and by hotkey threads at
// once; the lock keeps two Close calls off the one player. It is never held
// while waiting for wave threads.
struct SoundPlayer::Midi {
    CriticalSection lock;
    MidiStreamPlayer player;   // guarded by lock
    std::vector<uint8_t> file; // the player reads it in place; guarded by lock

    void CloseFile()
    {
        if (!file.empty())
            player.Close();
        file.clear();
    }
};

SoundPlayer::SoundPlayer() : midi_(new Midi) {}

SoundPlayer::~SoundPlayer()
{
    {
        ScopedLock hold(midi_->lock);
        midi_->CloseFile();
    }
}

bool SoundPlayer::Play(const ByteBuffer& sound, bool loop)
{
    return PlayBytes(sound.bytes(), sound.length, loop);
}

bool SoundPlayer::PlayBytes(const uint8_t* bytes, uint32_t length, bool loop)
{
    if (length == 0)
        return false;
    switch (ClassifySound(bytes, length)) {
    case SoundKind::Wave:
        return WavePlayer::Start(bytes, length, loop);
    case SoundKind::Midi: {
        ScopedLock hold(midi_->lock);
        midi_->CloseFile();
        try {
            midi_->file.assign(bytes, bytes + length);
        } catch (const std::bad_alloc&) {
            return true;
        }
        if (midi_->player.Open(midi_->file.data(), length))
            midi_->player.Play(loop);
        return true;
    }
    case SoundKind::NotSound:
        break;
    }
    return false;
}

bool SoundPlayer::Play(const char* fileName, bool loop)
{
    if (fileName == nullptr || fileName[0] == '\0')
        return false;
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(fileName, bytes) || bytes.empty())
        return false;
    // Both players copy what they keep, so the file's bytes go when Play returns.
    return PlayBytes(bytes.data(), uint32_t(bytes.size()), loop);
}

bool SoundPlayer::Stop(bool wait, DWORD waitMs)
{
    {
        ScopedLock hold(midi_->lock);
        midi_->CloseFile();
    }
    return WaveRegistry::StopAll(wait, waitMs);
}
