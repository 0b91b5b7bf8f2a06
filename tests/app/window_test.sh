#!/bin/bash
# The board's window end to end: the control tree against the expected table,
# the start-up time, the link label and link buttons, a few pixels of the
# screenshot, and Esc closing the window from a focused button.
#   window_test.sh PROMPT   (PROMPT: 1 when the build shows the welcome prompt)
source "$BOARD_SOURCE_DIR/tests/harness/session.sh"
# The build that publishes fonts and label colours for the inspector; otherwise the board itself.
BOARD_EXE=$BOARD_BUILD_DIR/tests/app/board_inspectable.exe
source "$BOARD_SOURCE_DIR/tests/app/board_session.sh"
have_prompt=${1:-0}
test_started=$SECONDS

session_start
browser_standin
board_start "$([ "$have_prompt" = 1 ] && echo no || echo none)"
note "start to window visible: ${STARTUP_MS} ms"

# Answered No: no second box, nothing opened.
if [ "$have_prompt" = 1 ]; then
    [ "$(opened_count)" -eq 0 ] || fail "No opened $(cat "$OPENED_FILE")"
    ! inspect --box 0 >/dev/null || fail "a second box followed No"
fi

# --- the control tree
inspect >"$SESSION_DIR/tree.txt" || fail "inspector found no window"
read -r _ client _ screen < <(head -1 "$SESSION_DIR/tree.txt")
IFS=, read -r client_w client_h <<<"$client"
IFS=, read -r screen_w screen_h <<<"$screen"
note "client area ${client_w}x${client_h}"
[ "$client_w" -ge 560 ] && [ "$client_h" -ge 426 ] || fail "client area ${client_w}x${client_h} too small"

title=$(awk -F'\t' '$1 == "-" { print $3 }' "$SESSION_DIR/tree.txt")
outer=$(awk -F'\t' '$1 == "-" { print $4 }' "$SESSION_DIR/tree.txt")
IFS=, read -r _ _ outer_w outer_h <<<"$outer"
# The outer size stays 566 x 457 unless the frame leaves too little client area.
if [ $((outer_w - client_w)) -le 6 ]; then [ "$outer_w" -eq 566 ] || fail "outer width $outer_w"; fi
if [ $((outer_h - client_h)) -le 31 ]; then [ "$outer_h" -eq 457 ] || fail "outer height $outer_h"; fi
centred="$(((screen_w - outer_w) / 2)),$(((screen_h - outer_h) / 2)),$outer_w,$outer_h"

while IFS=$'\t' read -r parent class caption rect style exstyle font colour; do
    [[ $parent == \#* || -z $parent ]] && continue
    case $parent in -) ;; TITLE) parent=$title ;; *) parent=$(gbk_hex "$parent") ;; esac
    [ "$rect" = CENTRED ] && rect=$centred
    if [[ $font == *, ]]; then :; elif [[ $font == *,* ]]; then font="${font%,*},$(gbk_hex "${font##*,}")"; fi
    printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$parent" "$class" "$(gbk_hex "$caption")" "$rect" \
        "$style" "$exstyle" "$font" "$colour"
done <"$BOARD_SOURCE_DIR/tests/app/expected_window.tsv" | sort >"$SESSION_DIR/expected.txt"
tail -n +2 "$SESSION_DIR/tree.txt" | sort >"$SESSION_DIR/actual.txt"
[ "$(wc -l <"$SESSION_DIR/actual.txt")" -eq 53 ] || fail "expected the window and 52 controls"
diff "$SESSION_DIR/expected.txt" "$SESSION_DIR/actual.txt" || fail "control tree differs from the expected table"

# --- pixels: the red of 透明标签2's text inside its rectangle
AT_FILE=$SESSION_DIR/at.txt
inspect --at >"$AT_FILE"
shot=$BOARD_BUILD_DIR/tests/app/window.png
screenshot "$shot"
note "screenshot: $shot"
# Red pixels (smoothed text edges included) of the screenshot inside GEOMETRY (WxH+X+Y).
red_pixels() {
    convert "$shot" -crop "$1" -depth 8 txt:- |
        sed -n 's/.*srgba\{0,1\}(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p' |
        awk '$1 > 200 && $2 < 130 && $3 < 130 { n++ } END { print n + 0 }'
}
hex=$(gbk_hex "①：本软件绝对是禾木个人原创")
read -r _ _ label_x label_y < <(awk -F'\t' -v h="$hex" '$1 == h { print $2, $3, $4, $5 }' "$AT_FILE")
red=$(red_pixels "192x16+${label_x}+${label_y}")
[ "$red" -ge 20 ] || fail "透明标签2 shows only $red red pixels"
# The same rectangle on the line of 透明标签8 is drawn black, not red.
hex=$(gbk_hex "⑦：欢迎各位朋友来信建议")
read -r _ _ label_x label_y < <(awk -F'\t' -v h="$hex" '$1 == h { print $2, $3, $4, $5 }' "$AT_FILE")
red=$(red_pixels "154x16+${label_x}+${label_y}")
[ "$red" -eq 0 ] || fail "透明标签8 shows red"

# --- the link label opens on the press, not the release; a right click or a click beside does nothing
if [ "$have_prompt" = 1 ]; then
    read -r link_x link_y < <(centre_of "免费游戏辅助,QQ技术教程各种源码就来禾木资源网：example.com")
    xdotool mousemove "$link_x" "$link_y" click 3
    xdotool mousemove "$link_x" $((link_y + 14)) click 1
    xdotool mousemove "$link_x" "$link_y" mousedown 1
    wait_opened 1 || fail "pressing the link label opened nothing"
    xdotool mouseup 1
    [ "$(opened_count)" -eq 1 ] || fail "right click or click beside the label opened something"
    grep -q "http://example.com" "$OPENED_FILE" || fail "link label opened $(cat "$OPENED_FILE")"
    n=1
    for caption in "禾木资源网,技术网" "加入禾木技术QQ群" "点击联系禾木"; do
        read -r x y < <(centre_of "$caption")
        click "$x" "$y"
        n=$((n + 1))
        wait_opened $n || fail "$caption opened nothing"
    done
    sed -n 2p "$OPENED_FILE" | grep -q "http://example.com" || fail "site button: $(sed -n 2p "$OPENED_FILE")"
    sed -n 3p "$OPENED_FILE" | grep -qF "http://group.example.net/?_wv=1027&k=" || fail "group: $(sed -n 3p "$OPENED_FILE")"
    sed -n 4p "$OPENED_FILE" | grep -qE "^http://contact\.example\.net/msgrd\?v=3&uin=[0-9]+&site=qq&menu=yes$" \
        || fail "contact: $(sed -n 4p "$OPENED_FILE")"
fi

# --- Esc with a button focused closes the window and ends the process
read -r x y < <(centre_of "停止当前音效/F1键")
click "$x" "$y"
board_close
board_wait_exit 60 || fail "board did not end after Esc (status $?)"
note "window test took $((SECONDS - test_started)) s"
