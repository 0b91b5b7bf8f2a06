// Numbered access to the embedded sound effects (the bytes come from the assembler).
#include "assets/sound_bank.h"

namespace SoundBank {

const ByteBuffer& Entry(int number)
{
    static const ByteBuffer* const entries[kEntryCount] = {
        &Sfx01, &Sfx02, &Sfx03, &Sfx04, &Sfx05, &Sfx06, &Sfx07, &Sfx08, &Sfx09, &Sfx10, &Sfx11,
        &Sfx12, &Sfx13, &Sfx14, &Sfx15, &Sfx16, &Sfx17, &Sfx18, &Sfx19, &Sfx20, &Sfx21, &Sfx22,
        &Sfx23, &Sfx24, &Sfx25, &Sfx26, &Sfx27, &Sfx28, &Sfx29, &Sfx30, &Sfx31, &Sfx32, &Sfx33,
    };
    // A number no button carries gets an empty buffer, which every player refuses.
    static const ByteBuffer noEntry = {0};
    return number >= 1 && number <= kEntryCount ? *entries[number - 1] : noEntry;
}

}  // namespace SoundBank
