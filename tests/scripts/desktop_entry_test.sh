#!/usr/bin/env bash
# board.sh's menu entry against a private home: after install the entry and its icon
# are where the desktop looks, the entry's Exec line unquotes to exactly env, the
# board's Wine settings, Wine's loader and the executable; after uninstall both are gone.
set -euo pipefail
BOARD_SH=${1:?usage: desktop_entry_test.sh BOARD_SH}
source_dir=$(cd "$(dirname "$BOARD_SH")" && pwd)

WORK=$(mktemp -d /tmp/board-desktop-test.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

export HOME=$WORK/home XDG_DATA_HOME=$WORK/data XDG_CONFIG_HOME=$WORK/config XDG_DATA_DIRS=$WORK/data
mkdir -p "$HOME" "$XDG_DATA_HOME" "$XDG_CONFIG_HOME"
exe="$WORK/a folder/board.exe"   # a space in the path must survive the quoting
loader=/usr/lib/wine/wine64
entry=$XDG_DATA_HOME/applications/stage-sound-board.desktop
icon=$XDG_DATA_HOME/icons/hicolor/48x48/apps/stage-sound-board.png

bash -c 'source "$1"; install_desktop_entry "$2" "$3" "$4"' _ "$BOARD_SH" "$exe" "$source_dir" "$loader" >"$WORK/install.log" 2>&1 \
    || fail "install: $(cat "$WORK/install.log")"
[ -f "$entry" ] || fail "no desktop entry at $entry"
[ -f "$icon" ] || fail "no icon at $icon"
if [ -f "$icon" ]; then
    [ "$(identify -format '%m %wx%h' "$icon")" = "PNG 48x48" ] || fail "icon is $(identify -format '%m %wx%h' "$icon")"
fi
if [ -f "$entry" ]; then
    grep -qx 'Name=Sound Board' "$entry" || fail "entry name: $(grep '^Name=' "$entry")"
    grep -qx 'Icon=stage-sound-board' "$entry" || fail "entry icon: $(grep '^Icon=' "$entry")"
    grep -qx 'Type=Application' "$entry" || fail "entry type"
    # The argument list the desktop makes of Exec, one a line, against the one expected.
    python3 - "$entry" >"$WORK/argv.txt" <<'PY'
import sys
value = next(l[5:] for l in open(sys.argv[1], encoding="utf-8").read().splitlines() if l.startswith("Exec="))
# String-level escapes first, then the Exec quoting rules.
plain, i = "", 0
while i < len(value):
    if value[i] == "\\" and i + 1 < len(value):
        plain += {"s": " ", "n": "\n", "t": "\t", "r": "\r", "\\": "\\"}.get(value[i + 1], "\\" + value[i + 1])
        i += 2
    else:
        plain += value[i]
        i += 1
args, current, quoted, i, started = [], "", False, 0, False
while i < len(plain):
    c = plain[i]
    if quoted and c == "\\" and i + 1 < len(plain) and plain[i + 1] in '"`$\\':
        current += plain[i + 1]; i += 2; continue
    if c == '"':
        quoted = not quoted; started = True
    elif c == " " and not quoted:
        if started: args.append(current)
        current, started = "", False
    else:
        current += c; started = True
    i += 1
if started: args.append(current)
print("\n".join(args))
PY
    bash -c 'source "$1"; printf "%s\n" env "${BOARD_WINE_ENV[@]}" "$3" "$2"' _ "$BOARD_SH" "$exe" "$loader" >"$WORK/expected.txt"
    diff "$WORK/expected.txt" "$WORK/argv.txt" >"$WORK/argv.diff" || fail "Exec runs something else: $(cat "$WORK/argv.diff")"
fi

bash -c 'source "$1"; uninstall_desktop_entry' _ "$BOARD_SH" >"$WORK/uninstall.log" 2>&1 \
    || fail "uninstall: $(cat "$WORK/uninstall.log")"
[ ! -e "$entry" ] || fail "the entry is still there after uninstall"
[ ! -e "$icon" ] || fail "the icon is still there after uninstall"

[ $failures -eq 0 ] && echo "desktop entry: installed with the right Exec, Icon and Name, and removed again"
exit $((failures > 0))
