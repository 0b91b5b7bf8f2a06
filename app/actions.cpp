// The controls' actions. Each hands one call to the sound or platform service
// and ignores its result.
#include "app/actions.h"

#include "app/addresses.h"

#include "audio/sound_player.h"
#include "assets/sound_bank.h"
#include "platform/open_address.h"

void PlaySfx(const ByteBuffer& entry)
{
    soundPlayer->Play(entry, false);
}

void PlaySfxNumber(int entry)
{
    PlaySfx(SoundBank::Entry(entry));
}

void StopSfx()
{
    soundPlayer->Stop();
}

static void Open(const char* address)
{
    OpenAddress(address);
}

void OpenSiteAddress() { Open(SiteAddress); }
void OpenContactLink() { Open(ContactLink); }
void OpenGroupLink() { Open(GroupLink); }

#ifdef BOARD_LATE_STOP_MS
// The exit test builds: F1's stop comes late, after the window may be gone.
constexpr DWORD kLateStopMs = BOARD_LATE_STOP_MS;
#endif

DWORD WINAPI StopSfxHotkey(LPVOID)
{
#ifdef BOARD_LATE_STOP_MS
    Sleep(kLateStopMs);
#endif
    StopSfx();
    return 0;
}

DWORD WINAPI PlayLaughterHotkey(LPVOID)
{
    PlaySfx(Sfx03);
    return 0;
}
