#!/bin/bash
# The sound buttons end to end: each of the 33 buttons (or those BOARD_SOUND_BUTTONS
# lists), clicked where it is on the screen, plays its own entry; two sounds overlap;
# Stop silences; closing with several sounds playing ends the process cleanly.
#   sound_test.sh PROMPT   (PROMPT: 1 when the build shows the welcome prompt)
source "$BOARD_SOURCE_DIR/tests/harness/session.sh"
source "$BOARD_SOURCE_DIR/tests/app/board_session.sh"
test_started=$SECONDS
sounds=$BOARD_SOURCE_DIR/assets/sounds
refs=()
for n in $(seq -w 1 33); do refs+=("$sounds/sfx$n.wav"); done
# Caption of button N, in entry order.
captions=("" "欢呼掌声" "激烈掌声" "群众笑声/F2键" "奸诈笑声" "尖叫声音" "乌鸦飞过" "非诚勿扰亮灯"
    "非诚勿扰灭灯" "欢快" "新闻联播" "女【出场】" "男【出场】" "打字音效" "心跳声音" "打呼噜声"
    "恐怖声音" "麦吻" "耳光" "鄙视音效" "Iphone电话铃" "搞笑电话占线" "鼓声" "紧急刹车" "给我跪下"
    "卡通" "砸玻璃" "爆竹" "救护车" "超炫警笛" "机枪扫射" "手枪" "炸弹" "直升飞机")

session_start
board_start "$([ "${1:-0}" = 1 ] && echo no || echo none)"
AT_FILE=$SESSION_DIR/at.txt
inspect --at >"$AT_FILE"
read -r stop_x stop_y < <(centre_of "停止当前音效/F1键")
silent() { # REC FROM TO: quieter than -60 dB
    local db
    db=$(wavmatch level "$1" "$2" "$3" | sed 's/level_db=//')
    awk -v d="$db" 'BEGIN { exit !(d < -60) }'
}

# --- every button plays its own entry (best match of the first 0.5 s: less
# than that is too little of an impulsive entry, such as the firecrackers, to tell).
# Each sound is heard for HOLD seconds after its click, 0.5 unless the system
# starts a sound late (an emulated one takes 0.3-0.5 s to reach the sink).
hold=${BOARD_SOUND_HOLD_SECONDS:-0.5}
buttons=(${BOARD_SOUND_BUTTONS:-$(seq 1 33)})
for n in "${buttons[@]}"; do
    read -r x y < <(centre_of "${captions[n]}")
    rec=$SESSION_DIR/button$n.wav
    record_start "$rec"
    click "$x" "$y"
    sleep "$hold"
    click "$stop_x" "$stop_y"
    record_stop
    # Silence correlates with every entry alike: best would still name one.
    wavmatch extent "$rec" -50 >/dev/null || fail "button ${captions[n]} made no sound"
    best=$(wavmatch best "$rec" "${refs[@]}" --ref-seconds 0.5 | sed -n 's/^best=//p')
    [ "$best" = "$n" ] || fail "button ${captions[n]} sounded like entry $best, not $n"
done
note "${#buttons[@]} buttons checked after $((SECONDS - test_started)) s"

# --- two buttons heard together: both still sound 0.6-1.0 s into the first. The
# wait allows for late starts as the hold does, plus the 1.0 s of sound matched.
rec=$SESSION_DIR/together.wav
record_start "$rec"
read -r x y < <(centre_of "欢呼掌声"); click "$x" "$y"
read -r x y < <(centre_of "救护车"); click "$x" "$y"
sleep "$(awk -v h="$hold" 'BEGIN { print h + 1.5 }')"
record_stop
wavmatch match "$rec" "${refs[0]}" --ref-from 0.6 --ref-seconds 0.4 --threshold 0.4 || fail "欢呼掌声 not heard"
wavmatch match "$rec" "${refs[27]}" --ref-from 0.6 --ref-seconds 0.4 --threshold 0.4 || fail "救护车 not heard"

# --- Stop silences every sound; its latency is measured from the click. Fresh
# sounds: where checking the two above takes seconds, they may have ended.
rec=$SESSION_DIR/stop.wav
read -r x y < <(centre_of "欢呼掌声"); click "$x" "$y"
read -r x y < <(centre_of "直升飞机"); click "$x" "$y"
record_start "$rec"
sleep "$hold"
clicked=$(now)
click "$stop_x" "$stop_y"
sleep 1.5
record_stop
stop_ms=$(awk -v c="$clicked" -v t0="$(cat "$rec.t0")" 'BEGIN { printf "%d", (c - t0) * 1000 }')
last=$(wavmatch extent "$rec" -50 | sed -n 's/.*last_ms=\([0-9-]*\).*/\1/p') || fail "nothing played when Stop was clicked"
note "Stop: sound ended $((last - stop_ms)) ms after the click"
read -r quiet_from quiet_to < <(awk -v m="$stop_ms" 'BEGIN { print m / 1000 + 1.0, m / 1000 + 1.4 }')
silent "$rec" "$quiet_from" "$quiet_to" || fail "sound still playing after Stop"

# --- Stop with nothing playing does nothing
rec=$SESSION_DIR/idle.wav
record_start "$rec"
click "$stop_x" "$stop_y"
sleep 0.5
record_stop
silent "$rec" 0 1.0 || fail "Stop with nothing playing made a sound"
kill -0 "$BOARD_PID" || fail "board ended on Stop"

# --- closing with several sounds playing ends every player
for caption in 直升飞机 救护车 超炫警笛 新闻联播 欢快 鼓声 爆竹 机枪扫射 打字音效 心跳声音; do
    read -r x y < <(centre_of "$caption"); click "$x" "$y"
done
sleep 0.5
rec=$SESSION_DIR/close.wav
record_start "$rec"
board_close
board_wait_exit 60 || fail "board did not end while sounds played (status $?)"
sleep 0.5
record_stop
duration=$(sox --i -D "$rec")
silent "$rec" "$(awk -v d="$duration" 'BEGIN { print d - 0.3 }')" "$duration" || fail "sound outlived the process"
note "sound test took $((SECONDS - test_started)) s"
