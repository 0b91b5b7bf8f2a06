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

DWORD WINAPI StopSfxHotkey(LPVOID)
{
    StopSfx();
    return 0;
}

DWORD WINAPI PlayLaughterHotkey(LPVOID)
{
    PlaySfx(Sfx03);
    return 0;
}
