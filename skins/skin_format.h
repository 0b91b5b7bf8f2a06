// The skin files: the 15-byte container header in front of the LZMA stream, and
// the decompressed skin (palette, shape metrics, optional texture tile and label
// papers). Portable.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "skins/lzma_decoder.h"

constexpr size_t kSkinHeaderSize = 15;
constexpr uint32_t kMaxSkinPayload = 1u << 20;   // far above any real skin; bounds the allocation

struct SkinContainer {
    LzmaProperties props;
    uint32_t payloadSize = 0;
    const uint8_t* stream = nullptr;
    size_t streamLength = 0;
};

// Checks ".SHE", 0x00 0x03, the size (1..kMaxSkinPayload) and the LZMA properties.
bool ParseSkinContainer(const uint8_t* data, size_t length, SkinContainer& out);

enum SkinColor : uint8_t {
    kTitleTop, kTitleBottom, kTitleText, kInactiveTop, kInactiveBottom, kInactiveText,
    kFrameOuter, kFrameInner, kClientTop, kClientBottom, kGroupLine, kGroupText, kGroupFill,
    kButtonTop, kButtonBottom, kButtonBorder, kButtonText, kHoverTop, kHoverBottom,
    kPressedTop, kPressedBottom, kPressedText, kFocusRing, kCaptionFace, kCaptionGlyph,
    kCloseHot, kDialogText, kDialogBand, kIconArea,
    kSkinColorCount
};

enum class ButtonStyle : uint8_t { Flat, Gradient, Glossy, Bevel, Outline, Count };
enum class GroupStyle : uint8_t { Line, Panel, Header, Count };
enum class TitleStyle : uint8_t { Gradient, Glossy, Flat, Count };
enum class CaptionShape : uint8_t { Square, Rounded, Circle, Count };

struct Rgb {
    uint8_t r, g, b;
};

// Metrics record, in this byte order.
enum SkinMetric : uint8_t {
    kWindowRadius, kButtonRadius, kGroupRadius, kButtonStyle, kGroupStyle, kTitleStyle,
    kCaptionShape, kGroupFillAlpha, kGlossAlpha, kTitleBold, kClientHorizontal,
    kSkinMetricCount
};
constexpr uint8_t kMaxRadius = 16;
constexpr uint8_t kMaxTileSide = 64;
constexpr size_t kMaxSkinName = 32;

struct SkinTile {
    uint8_t width = 0, height = 0, alpha = 0;
    const uint8_t* rgb = nullptr;   // width * height RGB triples, inside the payload
};

struct Skin {
    Rgb colors[kSkinColorCount];
    // Sheets under transparent labels: dark for bright text, light for dark text.
    Rgb paperDark, paperLight;
    uint8_t windowRadius, buttonRadius, groupRadius;
    ButtonStyle buttonStyle;
    GroupStyle groupStyle;
    TitleStyle titleStyle;
    CaptionShape captionShape;
    uint8_t groupFillAlpha, glossAlpha;
    bool titleBold, clientHorizontal;
    SkinTile tile;   // width 0: none
    char name[kMaxSkinName + 1];
};

// Payload records: "BSKN", version 1, then { tag u8, length u16 LE, bytes } up to the
// end record, which must close the payload exactly. The papers record (dark RGB, light
// RGB) is optional: without it the papers are black and white.
enum SkinRecord : uint8_t { kRecordName = 1, kRecordPalette = 2, kRecordMetrics = 3, kRecordTile = 4,
                            kRecordPapers = 5, kRecordEnd = 0xFF };
constexpr uint8_t kSkinVersion = 1;

// Refuses anything malformed: unknown or repeated records, wrong lengths, values out of
// range, missing palette or metrics, bytes after the end record.
bool ParseSkin(const uint8_t* payload, size_t length, Skin& out);
