// The table of the 33 embedded skins (numbered from 1), each a ByteBuffer put into
// the image by the build from assets/skins/skinNN.she.
#include "skins/skin_table.h"

extern "C" {
extern const ByteBuffer Skin01;
extern const ByteBuffer Skin02;
extern const ByteBuffer Skin03;
extern const ByteBuffer Skin04;
extern const ByteBuffer Skin05;
extern const ByteBuffer Skin06;
extern const ByteBuffer Skin07;
extern const ByteBuffer Skin08;
extern const ByteBuffer Skin09;
extern const ByteBuffer Skin10;
extern const ByteBuffer Skin11;
extern const ByteBuffer Skin12;
extern const ByteBuffer Skin13;
extern const ByteBuffer Skin14;
extern const ByteBuffer Skin15;
extern const ByteBuffer Skin16;
extern const ByteBuffer Skin17;
extern const ByteBuffer Skin18;
extern const ByteBuffer Skin19;
extern const ByteBuffer Skin20;
extern const ByteBuffer Skin21;
extern const ByteBuffer Skin22;
extern const ByteBuffer Skin23;
extern const ByteBuffer Skin24;
extern const ByteBuffer Skin25;
extern const ByteBuffer Skin26;
extern const ByteBuffer Skin27;
extern const ByteBuffer Skin28;
extern const ByteBuffer Skin29;
extern const ByteBuffer Skin30;
extern const ByteBuffer Skin31;
extern const ByteBuffer Skin32;
extern const ByteBuffer Skin33;
}

namespace {

const ByteBuffer* const kSkinTable[kSkinCount] = {
    &Skin01, &Skin02, &Skin03, &Skin04, &Skin05, &Skin06,
    &Skin07, &Skin08, &Skin09, &Skin10, &Skin11, &Skin12,
    &Skin13, &Skin14, &Skin15, &Skin16, &Skin17, &Skin18,
    &Skin19, &Skin20, &Skin21, &Skin22, &Skin23, &Skin24,
    &Skin25, &Skin26, &Skin27, &Skin28, &Skin29, &Skin30,
    &Skin31, &Skin32, &Skin33,
};

}  // namespace

const ByteBuffer* SkinTableEntry(int number)
{
    if (number < 1 || number > kSkinCount)
        return nullptr;
    return kSkinTable[number - 1];
}
