#!/usr/bin/env python3
# Skin compiler: turns a readable skin description (key = value lines) into a skin
# file: the 15-byte ".SHE" header followed by a raw LZMA1 stream of the skin records.
# paper_dark and paper_light (given together or not at all) are the sheets laid under
# labels: dark for bright text, light for dark text.
import argparse
import lzma
import struct
import sys

COLORS = ["title_top", "title_bottom", "title_text", "inactive_top", "inactive_bottom",
          "inactive_text", "frame_outer", "frame_inner", "client_top", "client_bottom",
          "group_line", "group_text", "group_fill", "button_top", "button_bottom",
          "button_border", "button_text", "hover_top", "hover_bottom", "pressed_top",
          "pressed_bottom", "pressed_text", "focus_ring", "caption_face", "caption_glyph",
          "close_hot", "dialog_text", "dialog_band", "icon_area"]
ENUMS = {
    "button_style": ["flat", "gradient", "glossy", "bevel", "outline"],
    "group_style": ["line", "panel", "header"],
    "title_style": ["gradient", "glossy", "flat"],
    "caption_shape": ["square", "rounded", "circle"],
}
METRICS = ["window_radius", "button_radius", "group_radius", "button_style", "group_style",
           "title_style", "caption_shape", "group_fill_alpha", "gloss_alpha", "title_bold",
           "client_horizontal"]
PAPERS = ["paper_dark", "paper_light"]
TEXTURES = ["none", "noise", "stripes", "dots", "checker", "grid", "brushed", "waves", "weave"]
MAX_RADIUS = 16
LZMA_FILTER = {"id": lzma.FILTER_LZMA1, "dict_size": 0x00800000, "lc": 3, "lp": 0, "pb": 2}


class SkinError(Exception):
    pass


def parse_description(text):
    values = {}
    for number, raw in enumerate(text.splitlines(), 1):
        line = raw.strip()
        if not line or line.startswith("#"):
            continue
        if "=" not in line:
            raise SkinError(f"line {number}: expected key = value")
        key, value = (part.strip() for part in line.split("=", 1))
        if key in values:
            raise SkinError(f"line {number}: {key} given twice")
        values[key] = value
    return values


def color(value, key):
    if len(value) != 7 or value[0] != "#":
        raise SkinError(f"{key}: colour must be #RRGGBB")
    return bytes.fromhex(value[1:])


def number(values, key, low, high, default=None):
    if key not in values:
        if default is None:
            raise SkinError(f"{key} missing")
        return default
    n = int(values[key], 0)
    if not low <= n <= high:
        raise SkinError(f"{key}: {n} outside {low}..{high}")
    return n


def mix(a, b, t):
    return bytes(round(x + (y - x) * t) for x, y in zip(a, b))


class Lcg:
    # Small deterministic generator so the same description always compiles the same.
    def __init__(self, seed):
        self.state = seed & 0xFFFFFFFF

    def next(self):
        self.state = (self.state * 1664525 + 1013904223) & 0xFFFFFFFF
        return self.state >> 8 & 0xFFFF


def pattern(kind, size, seed):
    rng = Lcg(seed)
    grid = []
    for y in range(size):
        row = []
        for x in range(size):
            if kind == "noise":
                v = rng.next() / 0xFFFF
            elif kind == "stripes":
                v = 1.0 if (x + y) % 8 < 3 else 0.0
            elif kind == "dots":
                dx, dy = x % 8 - 3.5, y % 8 - 3.5
                v = 1.0 if dx * dx + dy * dy < 4.5 else 0.0
            elif kind == "checker":
                v = 1.0 if (x // (size // 2) + y // (size // 2)) % 2 else 0.0
            elif kind == "grid":
                v = 1.0 if x % 8 == 0 or y % 8 == 0 else 0.0
            elif kind == "brushed":
                v = (rng.next() / 0xFFFF) * 0.4 + (0.6 if y % 3 == 0 else 0.2)
            elif kind == "waves":
                v = 1.0 if (y + [0, 1, 2, 2, 3, 2, 2, 1][x % 8]) % 8 < 2 else 0.0
            elif kind == "weave":
                v = 1.0 if ((x // 4) % 2) ^ ((y // 4) % 2) and (x + y) % 2 else 0.3
            else:
                v = 0.0
            row.append(v)
        grid.append(row)
    return grid


def tile_record(values, palette):
    kind = values.get("texture", "none")
    if kind not in TEXTURES:
        raise SkinError(f"texture: unknown kind {kind}")
    if kind == "none":
        return b""
    size = number(values, "texture_size", 4, 64, 16)
    alpha = number(values, "texture_alpha", 0, 255, 40)
    seed = number(values, "texture_seed", 0, 0xFFFFFFFF, 1)
    ink = color(values["texture_color"], "texture_color")
    base = mix(palette["client_top"], palette["client_bottom"], 0.5)
    pixels = b"".join(mix(base, ink, v) for row in pattern(kind, size, seed) for v in row)
    return record(4, bytes([size, size, alpha]) + pixels)


def papers_record(values):
    given = [key for key in PAPERS if key in values]
    if not given:
        return b""
    if len(given) != len(PAPERS):
        raise SkinError("paper_dark and paper_light go together")
    return record(5, b"".join(color(values[key], key) for key in PAPERS))


def record(tag, body):
    return struct.pack("<BH", tag, len(body)) + body


def compile_payload(values):
    palette = {}
    for key in COLORS:
        if key not in values:
            raise SkinError(f"{key} missing")
        palette[key] = color(values[key], key)
    metrics = []
    for key in METRICS:
        if key in ENUMS:
            if values.get(key) not in ENUMS[key]:
                raise SkinError(f"{key}: one of {', '.join(ENUMS[key])}")
            metrics.append(ENUMS[key].index(values[key]))
        elif key.endswith("radius"):
            metrics.append(number(values, key, 0, MAX_RADIUS))
        elif key in ("title_bold", "client_horizontal"):
            metrics.append(number(values, key, 0, 1, 0))
        else:
            metrics.append(number(values, key, 0, 255))
    known = set(COLORS) | set(METRICS) | set(PAPERS) | {"name", "texture", "texture_size", "texture_alpha",
                                          "texture_seed", "texture_color"}
    unknown = set(values) - known
    if unknown:
        raise SkinError(f"unknown keys: {', '.join(sorted(unknown))}")
    name = values.get("name", "").encode("ascii")
    if not 1 <= len(name) <= 32:
        raise SkinError("name: 1 to 32 ASCII characters")
    payload = b"BSKN" + bytes([1])
    payload += record(1, name)
    payload += record(2, b"".join(palette[key] for key in COLORS))
    payload += record(3, bytes(metrics))
    payload += tile_record(values, palette)
    payload += papers_record(values)
    payload += record(0xFF, b"")
    return payload


def container(payload):
    stream = lzma.compress(payload, format=lzma.FORMAT_RAW, filters=[LZMA_FILTER])
    return b".SHE\x00\x03" + struct.pack("<I", len(payload)) + b"\x5d" + struct.pack("<I", 0x00800000) + stream


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("description")
    parser.add_argument("output")
    parser.add_argument("--payload", action="store_true", help="write the decompressed records only")
    args = parser.parse_args()
    try:
        with open(args.description, encoding="utf-8") as f:
            payload = compile_payload(parse_description(f.read()))
    except (SkinError, ValueError) as error:
        sys.exit(f"{args.description}: {error}")
    with open(args.output, "wb") as f:
        f.write(payload if args.payload else container(payload))


if __name__ == "__main__":
    main()
