#!/bin/bash
# The real board in skin 10, its engine loaded from the executable's own image
# (the exe runs alone in an empty folder: there is no engine file to load), and
# the same board with an engine image that cannot load: a plain frame, and the
# sound buttons still play.
source "$BOARD_SOURCE_DIR/tests/harness/session.sh"
source "$BOARD_SOURCE_DIR/tests/app/board_session.sh"
skin=$BOARD_SOURCE_DIR/assets/skins/skin10.skin

session_start
AT_FILE=$SESSION_DIR/at.txt

# "r g b" of screen pixel X Y in SHOT, as numbers (ImageMagick's text output names
# some colours, "black" among them, instead of giving their values).
pixel() {
    local rgb
    rgb=$(convert "$1" -format '%[fx:int(255*p{'"$2,$3"'}.r+0.5)] %[fx:int(255*p{'"$2,$3"'}.g+0.5)] %[fx:int(255*p{'"$2,$3"'}.b+0.5)]' info:-)
    [[ $rgb =~ ^[0-9]+\ [0-9]+\ [0-9]+$ ]] || fail "no colour for pixel $2,$3 of $1 (got '$rgb')"
    echo "$rgb"
}
# "r g b" of a #RRGGBB colour named KEY in skin 10's source.
skin_colour() {
    local hex
    hex=$(sed -n "s/^$1 = #\([0-9A-Fa-f]\{6\}\)$/\1/p" "$skin")
    printf '%d %d %d\n' "0x${hex:0:2}" "0x${hex:2:2}" "0x${hex:4:2}"
}
near() {  # "r g b" "r g b" TOLERANCE
    awk -v a="$1" -v b="$2" -v t="$3" 'BEGIN { split(a, x, " "); split(b, y, " ");
        for (i = 1; i <= 3; i++) { d = x[i] - y[i]; if (d > t || -d > t) exit 1 } }'
}
grey() { awk -v a="$1" 'BEGIN { split(a, x, " "); exit !(x[3] - x[1] <= 3 && x[1] - x[3] <= 3) }'; }

# Samples: the window background just above the bottom group box, the middle of
# a sound button's left edge, the window's top-left corner and the bare screen.
sample_board() {
    local shot=$SESSION_DIR/$1.png gx gy by bx wx wy
    xdotool mousemove 1000 740
    sleep 0.5
    inspect --at >"$AT_FILE"
    read -r _ _ gx gy < <(place_of "其他功能【关于作者】")
    read -r _ by bx _ < <(place_of "群众笑声/F2键")
    read -r _ _ wx wy < <(place_of "【禾木*主持人音效软件】-【禾木资源网:example.com】-【By禾木】")
    screenshot "$shot"
    background=$(pixel "$shot" $((gx + 12)) $((gy - 4))) || exit 1
    button_edge=$(pixel "$shot" "$bx" "$by") || exit 1
    corner=$(pixel "$shot" $((wx + 1)) $((wy + 1))) || exit 1
    screen=$(pixel "$shot" 2 2) || exit 1
    note "$1: background $background, button edge $button_edge, corner $corner, screen $screen"
}

# --- skin 10, from memory
alone=$SESSION_DIR/alone
mkdir -p "$alone"
cp "$BOARD_EXE" "$alone/board.exe"
BOARD_EXE=$alone/board.exe
board_start no
sample_board skinned
cp "$SESSION_DIR/skinned.png" "$BOARD_BUILD_DIR/tests/app/board_skin10.png"
! grey "$background" || fail "window background is plain grey: the skin was not applied"
near "$button_edge" "$(skin_colour button_border)" 40 || fail "button edge $button_edge is not skin 10's border"
near "$corner" "$screen" 8 || fail "the window's corner is not rounded off"
board_close
board_wait_exit 60 || fail "board did not end"

# --- an engine image that cannot load
BOARD_EXE=$BOARD_BUILD_DIR/tests/app/board_unskinned.exe
board_start no
sample_board plain
grey "$background" || fail "window background $background: not the plain frame"
! near "$button_edge" "$(skin_colour button_border)" 40 || fail "a plain button shows skin 10's border"
read -r x y < <(centre_of "欢呼掌声")
rec=$SESSION_DIR/plain.wav
record_start "$rec"
click "$x" "$y"
sleep 1.5
record_stop
wavmatch match "$rec" "$BOARD_SOURCE_DIR/assets/sounds/sfx01.wav" --ref-seconds 0.8 --threshold 0.5 ||
    fail "the plain board did not play"
board_close
board_wait_exit 60 || fail "plain board did not end"
