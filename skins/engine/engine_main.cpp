// Entry point and the one export of the skin engine. Built without the C runtime:
// the entry needs no module handle (it may be 0) and sets nothing up; the export
// decodes the skin, then skins the thread's windows and hooks the ones made later.
#include "skins/engine/engine.h"

EngineState* g_engine;   // UI thread only; zero until the first good skin

namespace {

constexpr int kTitleFontHeight = -12;

// Decodes and checks a skin; on success payload owns the bytes the skin points into.
bool LoadSkin(const uint8_t* data, uint32_t length, Skin& skin, UniqueHeapBlock<uint8_t>& payload)
{
    SkinContainer container;
    if (!ParseSkinContainer(data, length, container))
        return false;
    const UniqueHeapBlock<LzmaState> state = AllocateHeapBlock<LzmaState>(sizeof(LzmaState));
    UniqueHeapBlock<uint8_t> decoded = AllocateHeapBlock<uint8_t>(container.payloadSize);
    const bool ok = state && decoded &&
                    LzmaDecode(*state.get(), container.props, container.stream, container.streamLength,
                               decoded.get(), container.payloadSize) == LzmaResult::Ok &&
                    ParseSkin(decoded.get(), container.payloadSize, skin);
    if (ok)
        payload.reset(decoded.release());
    return ok;
}

UniqueFont MakeTitleFont(const Skin& skin)
{
    LOGFONTA font{};
    font.lfHeight = kTitleFontHeight;
    font.lfWeight = skin.titleBold ? FW_BOLD : FW_NORMAL;
    font.lfCharSet = GB2312_CHARSET;
    return MakeFont(font);
}

}  // namespace

extern "C" BOOL WINAPI SkinEntry(HINSTANCE, DWORD, LPVOID) { return TRUE; }

// A bad skin changes nothing: the windows keep their current (at first: plain) look.
extern "C" __declspec(dllexport) BOOL WINAPI SkinH_AttachRes(const uint8_t* data, uint32_t length, uint32_t,
                                                             uint32_t, uint32_t, uint32_t)
{
    Skin skin;
    UniqueHeapBlock<uint8_t> payload;
    if (!LoadSkin(data, length, skin, payload))
        return FALSE;
    if (g_engine == nullptr) {
        g_engine = MakeHeapObject<EngineState>().release();
        if (g_engine == nullptr)
            return FALSE;
    }
    // The old payload and font go as the new ones take their places.
    g_engine->skin = skin;
    g_engine->payload.reset(payload.release());
    g_engine->titleFont = MakeTitleFont(skin);
    InstallCreationHook();
    SkinThreadWindows();
    return TRUE;
}

// The compiler may emit calls to these for struct copies and clears; there is no C library.
extern "C" void* memset(void* dest, int value, size_t count)
{
    unsigned char* d = static_cast<unsigned char*>(dest);
    while (count--)
        *d++ = static_cast<unsigned char>(value);
    return dest;
}

extern "C" void* memcpy(void* dest, const void* src, size_t count)
{
    unsigned char* d = static_cast<unsigned char*>(dest);
    const unsigned char* s = static_cast<const unsigned char*>(src);
    while (count--)
        *d++ = *s++;
    return dest;
}

extern "C" void* memmove(void* dest, const void* src, size_t count)
{
    unsigned char* d = static_cast<unsigned char*>(dest);
    const unsigned char* s = static_cast<const unsigned char*>(src);
    if (d < s) {
        while (count--)
            *d++ = *s++;
    } else {
        while (count--)
            d[count] = s[count];
    }
    return dest;
}
