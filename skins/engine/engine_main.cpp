// Entry point and the one export of the skin engine. Built without the C runtime:
// the entry needs no module handle (it may be 0) and sets nothing up; the export
// decodes the skin, then skins the thread's windows and hooks the ones made later.
#include "skins/engine/engine.h"

EngineState* g_engine;   // UI thread only; zero until the first good skin

namespace {

constexpr int kTitleFontHeight = -12;
constexpr int kBoldWeight = 700;
constexpr int kNormalWeight = 400;

// Decodes and checks a skin; on success payload owns the bytes the skin points into.
bool LoadSkin(const uint8_t* data, uint32_t length, Skin& skin, uint8_t*& payload)
{
    SkinContainer container;
    if (!ParseSkinContainer(data, length, container))
        return false;
    HANDLE heap = GetProcessHeap();
    LzmaState* state = static_cast<LzmaState*>(HeapAlloc(heap, 0, sizeof(LzmaState)));
    payload = static_cast<uint8_t*>(HeapAlloc(heap, 0, container.payloadSize));
    bool ok = state != nullptr && payload != nullptr &&
              LzmaDecode(*state, container.props, container.stream, container.streamLength, payload,
                         container.payloadSize) == LzmaResult::Ok &&
              ParseSkin(payload, container.payloadSize, skin);
    if (state != nullptr)
        HeapFree(heap, 0, state);
    if (!ok && payload != nullptr) {
        HeapFree(heap, 0, payload);
        payload = nullptr;
    }
    return ok;
}

HFONT MakeTitleFont(const Skin& skin)
{
    LOGFONTA font{};
    font.lfHeight = kTitleFontHeight;
    font.lfWeight = skin.titleBold ? kBoldWeight : kNormalWeight;
    font.lfCharSet = GB2312_CHARSET;
    return CreateFontIndirectA(&font);
}

}  // namespace

extern "C" BOOL WINAPI SkinEntry(HINSTANCE, DWORD, LPVOID) { return TRUE; }

// A bad skin changes nothing: the windows keep their current (at first: plain) look.
extern "C" __declspec(dllexport) BOOL WINAPI SkinH_AttachRes(const uint8_t* data, uint32_t length, uint32_t,
                                                             uint32_t, uint32_t, uint32_t)
{
    Skin skin;
    uint8_t* payload = nullptr;
    if (!LoadSkin(data, length, skin, payload))
        return FALSE;
    HANDLE heap = GetProcessHeap();
    if (g_engine == nullptr) {
        g_engine = static_cast<EngineState*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, sizeof(EngineState)));
        if (g_engine == nullptr) {
            HeapFree(heap, 0, payload);
            return FALSE;
        }
    }
    uint8_t* oldPayload = g_engine->payload;
    HFONT oldFont = g_engine->titleFont;
    g_engine->skin = skin;
    g_engine->payload = payload;
    g_engine->titleFont = MakeTitleFont(skin);
    if (oldPayload != nullptr)
        HeapFree(heap, 0, oldPayload);
    if (oldFont != nullptr)
        DeleteObject(oldFont);
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
