#!/bin/bash
# Takes the README's pictures from the real board under Wine, in a private
# display: the welcome prompt, the box that thanks the user for a Yes, and the
# main window in its start-up skin.
#   take.sh OUT_DIR      (BOARD_BUILD_DIR, BOARD_HOST_TOOLS, BOARD_ARCH, BOARD_SOURCE_DIR set)
source "$BOARD_SOURCE_DIR/tests/harness/session.sh"
source "$BOARD_SOURCE_DIR/tests/app/board_session.sh"
out=${1:?usage: take.sh OUT_DIR}
mkdir -p "$out"

# The screen's pixels under the window titled TITLE, drawn and settled, into FILE:
# cut from the whole screen, as a user sees it.
shoot() {  # title file
    local xid x y w h
    xid=$(window_wait "$1" 120) || fail "no window titled $1"
    xdotool mousemove 1020 760
    sleep 1
    eval "$(xdotool getwindowgeometry --shell "$xid")"
    x=$X y=$Y w=$WIDTH h=$HEIGHT
    screenshot "$SESSION_DIR/screen.png"
    convert "$SESSION_DIR/screen.png" -crop "${w}x${h}+${x}+${y}" +repage "$2"
    note "$2: ${w}x${h} at $x,$y"
}

session_start
browser_standin
wine_start "$BOARD_EXE"
BOARD_PID=$WINE_PID
shoot "信息：" "$out/welcome.png"
inspect --press $IDYES_BUTTON || fail "cannot answer Yes"
shoot "提示" "$out/thanks.png"
inspect --press $IDOK_BUTTON || fail "cannot dismiss the thanks"
shoot "example.com" "$out/board.png"
key Escape
board_wait_exit 60 || fail "the board did not end"
