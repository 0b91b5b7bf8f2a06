#!/usr/bin/env python3
# Packs the Windows download: board.exe, the licence, the sound and skin credits, and a
# README.txt that Notepad shows right: CRLF line ends and UTF-8 with a byte order mark,
# the one encoding of Chinese text every Notepad recognises without guessing.
import argparse
import os
import sys
import zipfile

BOM = b"\xef\xbb\xbf"
# Entries carry one fixed date, so the same inputs always make the same archive.
ENTRY_DATE = (2024, 1, 1, 0, 0, 0)


def readme_text(template, version):
    text = template.replace("@VERSION@", version)
    lines = text.replace("\r\n", "\n").split("\n")
    return BOM + "\r\n".join(lines).encode("utf-8")


def entries(source, exe, version):
    with open(os.path.join(source, "tools/dist/README.txt"), encoding="utf-8") as f:
        readme = readme_text(f.read(), version)

    def read(path):
        with open(path, "rb") as f:
            return f.read()

    return [
        ("board.exe", read(exe)),
        ("LICENSE", read(os.path.join(source, "LICENSE"))),
        ("CREDITS-sounds.md", read(os.path.join(source, "assets/sounds/CREDITS.md"))),
        ("CREDITS-skins.md", read(os.path.join(source, "assets/skins/CREDITS.md"))),
        ("README.txt", readme),
    ]


def main():
    parser = argparse.ArgumentParser(description="Pack dist/board-VERSION.zip")
    parser.add_argument("--source", required=True, help="the source tree")
    parser.add_argument("--exe", required=True, help="the built board.exe")
    parser.add_argument("--version", required=True)
    parser.add_argument("--out", required=True, help="folder the zip goes into")
    args = parser.parse_args()
    if not os.path.isfile(args.exe):
        sys.exit(f"package: no executable at {args.exe}")
    os.makedirs(args.out, exist_ok=True)
    path = os.path.join(args.out, f"board-{args.version}.zip")
    with zipfile.ZipFile(path, "w", compression=zipfile.ZIP_DEFLATED) as archive:
        for name, data in entries(args.source, args.exe, args.version):
            info = zipfile.ZipInfo(name, ENTRY_DATE)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = 0o644 << 16
            archive.writestr(info, data)
    print(path)


if __name__ == "__main__":
    main()
