// The 33 sound effects, each a complete RIFF/WAVE file embedded in the program
// image. Entry N is played by button N; Sfx03 also by the F2 hotkey.
#pragma once

#include "base/byte_buffer.h"

extern "C" {
extern const ByteBuffer Sfx01, Sfx02, Sfx03, Sfx04, Sfx05, Sfx06, Sfx07, Sfx08, Sfx09, Sfx10, Sfx11,
    Sfx12, Sfx13, Sfx14, Sfx15, Sfx16, Sfx17, Sfx18, Sfx19, Sfx20, Sfx21, Sfx22, Sfx23, Sfx24,
    Sfx25, Sfx26, Sfx27, Sfx28, Sfx29, Sfx30, Sfx31, Sfx32, Sfx33;
}

namespace SoundBank {

constexpr int kEntryCount = 33;

// Entry 1 to 33, or an empty buffer for any other number; the bank is the
// program image itself, so nothing is copied.
const ByteBuffer& Entry(int number);

}  // namespace SoundBank
