// The one contract between the program's transparent labels and the skin engine:
// the window property through which a label publishes its text colour, a COLORREF
// (0x00BBGGRR) with the marker bit set. Labels without it get no paper.
#pragma once

#include <stdint.h>

constexpr char kLabelColourProperty[] = "BoardTextColour";
constexpr uint32_t kLabelColourPresent = 0x01000000;
