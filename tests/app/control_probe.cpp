// The inspectable build's font property. The atom is reference-counted,
// so controls that share a font share one atom; it goes with the control.
#include "tests/app/control_probe.h"

void PublishControl(HWND control, HFONT font)
{
    LOGFONTA logFont = {};
    if (GetObjectA(font, sizeof logFont, &logFont) != sizeof logFont)
        return;
    static const char kHexDigits[] = "0123456789abcdef";
    char hex[2 * sizeof logFont + 1];
    const auto* bytes = reinterpret_cast<const unsigned char*>(&logFont);
    for (size_t i = 0; i < sizeof logFont; ++i) {
        hex[2 * i] = kHexDigits[bytes[i] >> 4];
        hex[2 * i + 1] = kHexDigits[bytes[i] & 15];
    }
    hex[2 * sizeof logFont] = '\0';
    if (ATOM atom = GlobalAddAtomA(hex))
        SetPropA(control, kFontProperty, reinterpret_cast<HANDLE>(UINT_PTR(atom)));
}

void WithdrawControl(HWND control)
{
    if (HANDLE atom = RemovePropA(control, kFontProperty))
        GlobalDeleteAtom(static_cast<ATOM>(reinterpret_cast<UINT_PTR>(atom)));
}
