// The controls' actions. Each hands one call to the sound or platform service
// and ignores its result; the guards fall away once every service is linked.
#include "app/actions.h"

#include "app/addresses.h"

#if BOARD_HAVE_SOUND_PLAYER
#include "audio/sound_player.h"
#endif
#if BOARD_HAVE_SOUND_BANK
#include "assets/sound_bank.h"
#endif
#if BOARD_HAVE_PLATFORM
#include "platform/open_address.h"
#endif

void PlaySfx(const ByteBuffer& entry)
{
#if BOARD_HAVE_SOUND_PLAYER
    soundPlayer->Play(entry, false);
#else
    (void)entry;
#endif
}

void PlaySfxNumber(int entry)
{
#if BOARD_HAVE_SOUND_BANK
    PlaySfx(SoundBank::Entry(entry));
#else
    (void)entry;
#endif
}

void StopSfx()
{
#if BOARD_HAVE_SOUND_PLAYER
    soundPlayer->Stop();
#endif
}

static void Open(const char* address)
{
#if BOARD_HAVE_PLATFORM
    OpenAddress(address);
#else
    (void)address;
#endif
}

void OpenSiteAddress() { Open(SiteAddress); }
void OpenContactLink() { Open(ContactLink); }
void OpenGroupLink() { Open(GroupLink); }

DWORD WINAPI StopSfxHotkey(LPVOID)
{
    StopSfx();
    return 0;
}

DWORD WINAPI PlayLaughterHotkey(LPVOID)
{
#if BOARD_HAVE_SOUND_BANK
    PlaySfx(Sfx03);
#endif
    return 0;
}
