#!/bin/bash
# F1 and F2 with another program in front: with Wine's notepad focused, F2
# plays the laughter, F1 stops it, and notepad keeps the focus and its keys.
source "$BOARD_SOURCE_DIR/tests/harness/session.sh"
source "$BOARD_SOURCE_DIR/tests/app/board_session.sh"
laughter=$BOARD_SOURCE_DIR/assets/sounds/sfx03.wav

session_start
board_start no
# F1 is also notepad's Help key: with Wine's help viewer left out, F1 opens no
# window that would take the focus, so the focus shows only what the board does.
WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winhlp32.exe=d" wine_start notepad
notepad_xid=$(window_wait 'Notepad|记事本' 120) || fail "notepad did not open"
xdotool windowfocus "$notepad_xid"
sleep 0.5
xdotool type --delay 50 board
# Held over several 10 ms polls, as a finger would.
press() { xdotool keydown "$1"; sleep 0.1; xdotool keyup "$1"; }

rec=$SESSION_DIR/front.wav
record_start "$rec"
press F2
sleep 1.5
[ "$(xdotool getwindowfocus)" = "$notepad_xid" ] || fail "notepad lost the focus when F2 played"
press F1
sleep 1.0
record_stop
wavmatch match "$rec" "$laughter" --ref-seconds 0.8 --threshold 0.5 || fail "F2 in front of notepad played no laughter"
duration=$(sox --i -D "$rec")
db=$(wavmatch level "$rec" "$(awk -v d="$duration" 'BEGIN { print d - 0.5 }')" "$duration" | sed 's/level_db=//')
awk -v d="$db" 'BEGIN { exit !(d < -60) }' || fail "F1 in front of notepad did not stop the sound ($db dB)"

[ "$(xdotool getwindowfocus)" = "$notepad_xid" ] || fail "notepad lost the focus after F1"
inspect --notepad | grep -q board || fail "notepad did not get the keys typed into it: $(inspect --notepad)"
kill -0 "$BOARD_PID" || fail "the board ended"
# Keys go to the program in front, so bring the board there as a user would:
# a click on its Stop button (nothing plays), then Esc ends it.
AT_FILE=$SESSION_DIR/at.txt
inspect --at >"$AT_FILE"
read -r x y < <(centre_of "停止当前音效/F1键")
click "$x" "$y"
key Escape
board_wait_exit 60 || fail "board did not end"
