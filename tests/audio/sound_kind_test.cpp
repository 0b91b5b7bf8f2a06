// Which player a sound goes to is decided by its first bytes: the wave test
// first, so a RIFF/WAVE image is never tried as MIDI.
#include <gtest/gtest.h>

#include <string>

#include "audio/sound_kind.h"

namespace {

TEST(ClassifySound, ByLeadingBytes)
{
    struct Case {
        std::string bytes;
        SoundKind kind;
    };
    const Case cases[] = {
        {"", SoundKind::NotSound},
        {"RIFF\0\0\0\0WAV", SoundKind::NotSound},          // 11 bytes: too short for the wave test
        {std::string("RIFF\0\0\0\0WAVE", 12), SoundKind::Wave},
        {std::string("RIFF\x24\0\0\0WAVEfmt ", 16), SoundKind::Wave},
        {std::string("RIFF\0\0\0\0AVI ", 12), SoundKind::NotSound},
        {"MThd", SoundKind::NotSound},                     // exactly 4: not more than 4
        {"MThdx", SoundKind::Midi},
        {std::string("MThd\0\0\0\6\0\0\0\1\0\x60", 14), SoundKind::Midi},
        {"mthdxxxx", SoundKind::NotSound},
        {std::string("RIFF\0\0\0\0WAVEMThd", 16), SoundKind::Wave},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClassifySound(reinterpret_cast<const uint8_t*>(c.bytes.data()), uint32_t(c.bytes.size())), c.kind)
            << "bytes of length " << c.bytes.size();
}

TEST(ClassifySound, NoBytesIsNoSound)
{
    EXPECT_EQ(ClassifySound(nullptr, 20), SoundKind::NotSound);
}

}  // namespace
