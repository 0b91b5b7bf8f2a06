#!/usr/bin/env python3
# The Windows download packed from the built board.exe: the archive's name carries the
# version, it holds exactly the exe (byte for byte the built one), the licence, both
# credits and README.txt, and README.txt is UTF-8 with a byte order mark and CRLF ends.
import os
import subprocess
import sys
import tempfile
import zipfile

SKIP = 77
EXPECTED = {"board.exe", "LICENSE", "CREDITS-sounds.md", "CREDITS-skins.md", "README.txt"}
VERSION = "v9.8-test"


def main():
    source, exe = sys.argv[1], sys.argv[2]
    if not os.path.isfile(exe):
        print(f"no built executable at {exe}: build the win preset first (./board.sh test does)")
        return SKIP
    failures = []
    with tempfile.TemporaryDirectory() as out:
        subprocess.run([sys.executable, os.path.join(source, "tools/dist/package.py"), "--source", source,
                        "--exe", exe, "--version", VERSION, "--out", out], check=True, stdout=subprocess.DEVNULL)
        path = os.path.join(out, f"board-{VERSION}.zip")
        if sorted(os.listdir(out)) != [f"board-{VERSION}.zip"]:
            failures.append(f"the folder holds {os.listdir(out)}")
        with zipfile.ZipFile(path) as archive:
            if archive.testzip() is not None:
                failures.append("a damaged entry")
            names = set(archive.namelist())
            if names != EXPECTED:
                failures.append(f"entries {sorted(names)}")
            with open(exe, "rb") as f:
                if archive.read("board.exe") != f.read():
                    failures.append("board.exe differs from the built one")
            with open(os.path.join(source, "LICENSE"), "rb") as f:
                if archive.read("LICENSE") != f.read():
                    failures.append("LICENSE differs from the source tree's")
            with open(os.path.join(source, "assets/sounds/CREDITS.md"), "rb") as f:
                if archive.read("CREDITS-sounds.md") != f.read():
                    failures.append("the sound credits differ from the source tree's")
            readme = archive.read("README.txt")
    if not readme.startswith(b"\xef\xbb\xbf"):
        failures.append("README.txt has no UTF-8 byte order mark")
    body = readme[3:]
    if body.count(b"\n") < 10 or body.count(b"\n") != body.count(b"\r\n") or body.count(b"\r") != body.count(b"\r\n"):
        failures.append("README.txt line ends are not all CRLF")
    try:
        text = body.decode("utf-8")
    except UnicodeDecodeError:
        failures.append("README.txt is not UTF-8")
        text = ""
    for needed in (VERSION, "board.exe", "F1", "F2", "常用音效", "群众笑声"):
        if needed not in text:
            failures.append(f"README.txt does not say {needed}")
    for failure in failures:
        print("FAIL:", failure)
    if not failures:
        print("dist: the archive holds the built exe, licence, credits and a Notepad-ready README.txt")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
