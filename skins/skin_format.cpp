// Parsing of the skin container header and of the decompressed skin records.
// Only bounds-checked reads; nothing here allocates.
#include "skins/skin_format.h"

namespace {

constexpr uint8_t kContainerMagic[6] = {'.', 'S', 'H', 'E', 0x00, 0x03};
constexpr uint8_t kPayloadMagic[4] = {'B', 'S', 'K', 'N'};
constexpr uint8_t kLzmaPropsByte = 0x5D;
constexpr size_t kRecordHeader = 3;
constexpr size_t kTileHeader = 3;
constexpr size_t kPapersLength = 6;
constexpr Rgb kDefaultPaperDark{0, 0, 0}, kDefaultPaperLight{255, 255, 255};

uint32_t ReadU32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

bool ParseMetrics(const uint8_t* m, Skin& out)
{
    if (m[kWindowRadius] > kMaxRadius || m[kButtonRadius] > kMaxRadius || m[kGroupRadius] > kMaxRadius)
        return false;
    if (m[kButtonStyle] >= uint8_t(ButtonStyle::Count) || m[kGroupStyle] >= uint8_t(GroupStyle::Count) ||
        m[kTitleStyle] >= uint8_t(TitleStyle::Count) || m[kCaptionShape] >= uint8_t(CaptionShape::Count))
        return false;
    if (m[kTitleBold] > 1 || m[kClientHorizontal] > 1)
        return false;
    out.windowRadius = m[kWindowRadius];
    out.buttonRadius = m[kButtonRadius];
    out.groupRadius = m[kGroupRadius];
    out.buttonStyle = ButtonStyle(m[kButtonStyle]);
    out.groupStyle = GroupStyle(m[kGroupStyle]);
    out.titleStyle = TitleStyle(m[kTitleStyle]);
    out.captionShape = CaptionShape(m[kCaptionShape]);
    out.groupFillAlpha = m[kGroupFillAlpha];
    out.glossAlpha = m[kGlossAlpha];
    out.titleBold = m[kTitleBold] != 0;
    out.clientHorizontal = m[kClientHorizontal] != 0;
    return true;
}

bool ParseTile(const uint8_t* t, size_t length, Skin& out)
{
    if (length < kTileHeader)
        return false;
    const uint8_t w = t[0], h = t[1];
    if (w == 0 || h == 0 || w > kMaxTileSide || h > kMaxTileSide)
        return false;
    if (length != kTileHeader + size_t(w) * h * 3)
        return false;
    out.tile.width = w;
    out.tile.height = h;
    out.tile.alpha = t[2];
    out.tile.rgb = t + kTileHeader;
    return true;
}

bool ParseName(const uint8_t* n, size_t length, Skin& out)
{
    if (length == 0 || length > kMaxSkinName)
        return false;
    for (size_t i = 0; i < length; ++i) {
        if (n[i] < 0x20 || n[i] > 0x7E)
            return false;
        out.name[i] = char(n[i]);
    }
    out.name[length] = 0;
    return true;
}

}  // namespace

bool ParseSkinContainer(const uint8_t* data, size_t length, SkinContainer& out)
{
    if (data == nullptr || length <= kSkinHeaderSize)
        return false;
    for (size_t i = 0; i < sizeof kContainerMagic; ++i)
        if (data[i] != kContainerMagic[i])
            return false;
    const uint32_t size = ReadU32(data + 6);
    if (size == 0 || size > kMaxSkinPayload || data[10] != kLzmaPropsByte)
        return false;
    if (!ParseLzmaProperties(data + 10, out.props))
        return false;
    out.payloadSize = size;
    out.stream = data + kSkinHeaderSize;
    out.streamLength = length - kSkinHeaderSize;
    return true;
}

bool ParseSkin(const uint8_t* payload, size_t length, Skin& out)
{
    out = Skin{};
    out.paperDark = kDefaultPaperDark;
    out.paperLight = kDefaultPaperLight;
    if (payload == nullptr || length < sizeof kPayloadMagic + 1)
        return false;
    for (size_t i = 0; i < sizeof kPayloadMagic; ++i)
        if (payload[i] != kPayloadMagic[i])
            return false;
    if (payload[4] != kSkinVersion)
        return false;

    bool seen[256] = {};
    size_t pos = sizeof kPayloadMagic + 1;
    while (pos + kRecordHeader <= length) {
        const uint8_t tag = payload[pos];
        const size_t recordLength = size_t(payload[pos + 1]) | size_t(payload[pos + 2]) << 8;
        pos += kRecordHeader;
        if (recordLength > length - pos || seen[tag])
            return false;
        seen[tag] = true;
        const uint8_t* body = payload + pos;
        pos += recordLength;
        switch (tag) {
        case kRecordName:
            if (!ParseName(body, recordLength, out))
                return false;
            break;
        case kRecordPalette:
            if (recordLength != size_t(kSkinColorCount) * 3)
                return false;
            for (size_t i = 0; i < kSkinColorCount; ++i)
                out.colors[i] = Rgb{body[i * 3], body[i * 3 + 1], body[i * 3 + 2]};
            break;
        case kRecordMetrics:
            if (recordLength != kSkinMetricCount || !ParseMetrics(body, out))
                return false;
            break;
        case kRecordTile:
            if (!ParseTile(body, recordLength, out))
                return false;
            break;
        case kRecordPapers:
            if (recordLength != kPapersLength)
                return false;
            out.paperDark = Rgb{body[0], body[1], body[2]};
            out.paperLight = Rgb{body[3], body[4], body[5]};
            break;
        case kRecordEnd:
            return recordLength == 0 && pos == length && seen[kRecordPalette] && seen[kRecordMetrics];
        default:
            return false;
        }
    }
    return false;
}
