#!/bin/bash
# Every caption fits its control as Wine draws it with the installed fonts:
# labels on one line (the wrapped note in its two lines), push buttons within
# their padding, group box captions on their border. Child windows clip what
# they draw, so a caption wider than its control loses its end on screen.
source "$BOARD_SOURCE_DIR/tests/harness/session.sh"
BOARD_EXE=$BOARD_BUILD_DIR/tests/app/board_inspectable.exe
source "$BOARD_SOURCE_DIR/tests/app/board_session.sh"

session_start
board_start no
inspect --extents >"$SESSION_DIR/extents.txt" || fail "inspector found no window"
measured=$(grep -c . "$SESSION_DIR/extents.txt")
[ "$measured" -eq 52 ] || fail "measured $measured captions, expected 52"
if grep -q $'\toverflows\t' "$SESSION_DIR/extents.txt"; then
    while IFS=$'\t' read -r hex verdict size; do
        [ "$verdict" = overflows ] && echo "overflows: $(echo "$hex" | xxd -r -p | iconv -f GBK -t UTF-8) ($size)" >&2
    done <"$SESSION_DIR/extents.txt"
    fail "some captions do not fit their controls"
fi
note "all 52 captions fit"
board_close
board_wait_exit 60 || fail "board did not end"
