#!/bin/bash
# Renders the board-like test window in all 33 skins under Wine and puts the shots into
# one contact sheet: $BOARD_BUILD_DIR/tests/skins/skins_contact_sheet.png.
set -euo pipefail
build=${BOARD_BUILD_DIR:?}
out=$build/tests/skins/contact
sheet=$build/tests/skins/skins_contact_sheet.png
export WINEPREFIX=${BOARD_WINEPREFIX:-$build/wineprefix} WINEDEBUG=-all LANG=zh_CN.UTF-8
mkdir -p "$out"
rm -f "$out"/skin*.bmp

xvfb_pid=
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true; }
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  display=$((40 + RANDOM % 50))
  Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp &
  xvfb_pid=$!
  export DISPLAY=":$display"
  sleep 1
fi
[ -d "$WINEPREFIX" ] || wineboot -i
# Let Wine draw frames itself: the engine then owns the whole window, as on Windows.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null

wine "$build/tests/skins/skin_contact_sheet.exe" "Z:$build/skins/skin_engine.dll" "Z:$out"
count=$(ls "$out"/skin*.bmp | wc -l)
[ "$count" -eq 33 ] || { echo "expected 33 shots, got $count"; exit 1; }
montage -label '%t' "$out"/skin*.bmp -tile 6x -geometry 283x229+4+4 "$sheet"
# Skins must differ from each other: no two shots may be identical.
[ "$(md5sum "$out"/skin*.bmp | cut -d' ' -f1 | sort -u | wc -l)" -eq 33 ]
echo "contact sheet: $sheet"
