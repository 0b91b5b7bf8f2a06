// Contrast of two colours as the web's accessibility guidelines count it: relative
// luminance from linearised sRGB, ratio (lighter + 0.05) / (darker + 0.05).
// Integers only, so the engine (no C runtime) can use it. Portable.
#pragma once

#include <stdint.h>

#include "skins/skin_format.h"

// Relative luminance scaled so that white is kLuminanceScale.
constexpr uint32_t kLuminanceScale = 100000;
// The ratio in hundredths: 450 is 4.5:1, 2100 is black on white.
constexpr uint32_t kReadableContrast = 450;

uint32_t RelativeLuminance(Rgb c);
uint32_t ContrastHundredths(Rgb a, Rgb b);
