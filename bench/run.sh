#!/usr/bin/env bash
# The board's benchmarks under Wine, each against a baseline measured in the same
# run: a minimal program that plays the same bytes with the platform's PlaySound,
# or shows one empty window. Prints one line per figure and a table at the end.
#   BOARD_BUILD_DIR=build/win BOARD_HOST_TOOLS=build/native/tests/harness bench/run.sh
# (./board.sh bench builds everything and runs this.)
export BOARD_SOURCE_DIR=${BOARD_SOURCE_DIR:-$(cd "$(dirname "$0")/.." && pwd)}
source "$BOARD_SOURCE_DIR/tests/harness/session.sh"
source "$BOARD_SOURCE_DIR/tests/app/board_session.sh"

BASELINE=$BOARD_BUILD_DIR/bench/playsound_baseline.exe
PROBE=$BOARD_BUILD_DIR/bench/bench_probe.exe
SOUNDS=$BOARD_SOURCE_DIR/assets/sounds
CLICKS=${BENCH_CLICKS:-30}
KEYS=${BENCH_KEYS:-15}
STARTS=${BENCH_STARTS:-5}
IDLE_SECONDS=${BENCH_IDLE_SECONDS:-30}
readonly LATENCY_ENTRY=25 LATENCY_CAPTION="卡通" F2_ENTRY=03
readonly BASELINE_BUTTON_X=110 BASELINE_BUTTON_Y=85  # the button fills the baseline's window at 0,0
TABLE=()

row() { TABLE+=("$(printf '%-44s %14s %14s %8s' "$@")"); }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }
# Median and 90th percentile of the numbers on standard input.
percentiles() { sort -n | awk '{ v[NR] = $1 } END { m = v[int((NR + 1) / 2)]; p = v[int(NR * 0.9 + 0.999)]; printf "%.1f %.1f\n", m, p }'; }
seconds_into() { awk -v t="$1" -v z="$(cat "$2.t0")" 'BEGIN { printf "%.4f", t - z }'; }
unix_pid_of() { pgrep -f "$1" | head -1; }
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
# Resident memory of PID: private (anonymous) and mapped from files (the program image among them), in kB.
memory_of() { awk '/^RssAnon/ { a = $2 } /^RssFile/ { f = $2 } END { printf "private_kb=%d file_kb=%d\n", a, f }' "/proc/$1/status"; }

# Percent of one core that PID used over SECONDS.
cpu_percent() {
    local pid=$1 seconds=$2 before after
    before=$(cpu_ticks "$pid")
    sleep "$seconds"
    after=$(cpu_ticks "$pid")
    awk -v a="$before" -v b="$after" -v s="$seconds" -v hz="$(getconf CLK_TCK)" 'BEGIN { printf "%.2f", (b - a) * 100 / hz / s }'
}

end_program() {  # PATTERN: ends the Wine process running it
    local pid
    pid=$(unix_pid_of "$1") && stop_pid "$pid"
    sleep 0.5
}

session_start
wineserver -p  # one server for every start, as on a running desktop
window_click() { xdotool mousemove "$1" "$2" click 1; }
key_press() { xdotool keydown "$1"; sleep 0.05; xdotool keyup "$1"; }

# --- click-to-sound latency: the board's button and PlaySound's on alternate clicks of
# one recording, so both are dated alike; then F2 through the hotkey poll
board_start no
AT_FILE=$SESSION_DIR/at.txt
inspect --at >"$AT_FILE"
read -r sound_x sound_y < <(centre_of "$LATENCY_CAPTION")
read -r stop_x stop_y < <(centre_of "停止当前音效/F1键")
wine_start "$BASELINE" "$LATENCY_ENTRY"
window_wait '^baseline$' 60 >/dev/null || fail "baseline window not shown"
record_start "$SESSION_DIR/clicks.wav"
: >"$SESSION_DIR/board-clicks.txt"
: >"$SESSION_DIR/baseline-clicks.txt"
for _ in $(seq "$CLICKS"); do
    now >>"$SESSION_DIR/board-clicks.txt"
    window_click "$sound_x" "$sound_y"
    sleep 2
    now >>"$SESSION_DIR/baseline-clicks.txt"
    window_click $BASELINE_BUTTON_X $BASELINE_BUTTON_Y
    sleep 2
done
xdotool windowfocus "$BOARD_XID" 2>/dev/null || true
: >"$SESSION_DIR/board-keys.txt"
for _ in $(seq "$KEYS"); do
    now >>"$SESSION_DIR/board-keys.txt"
    key_press F2
    sleep 1.5
    key_press F1
    sleep 0.8
done
record_stop

# --- idle CPU with the hotkey poll running, then with 10 sounds playing
board_unix=$(unix_pid_of 'app/board.exe')
board_idle=$(cpu_percent "$board_unix" "$IDLE_SECONDS")
for caption in 直升飞机 救护车 超炫警笛 新闻联播 欢快 女【出场】 Iphone电话铃 奸诈笑声 紧急刹车 打呼噜声; do
    read -r x y < <(centre_of "$caption")
    window_click "$x" "$y"
done
sleep 0.5
board_ten=$(cpu_percent "$board_unix" 4)
window_click "$stop_x" "$stop_y"
board_memory=$(memory_of "$board_unix")
key Escape
board_wait_exit 30 || fail "board did not end"

baseline_unix=$(unix_pid_of 'playsound_baseline.exe')
baseline_idle=$(cpu_percent "$baseline_unix" "$IDLE_SECONDS")
baseline_memory=$(memory_of "$baseline_unix")
end_program 'playsound_baseline.exe'
wine_start "$BASELINE" 21
window_wait '^baseline$' 60 >/dev/null || fail "baseline window not shown"
window_click $BASELINE_BUTTON_X $BASELINE_BUTTON_Y
sleep 0.5
baseline_one=$(cpu_percent "$(unix_pid_of 'playsound_baseline.exe')" 4)
end_program 'playsound_baseline.exe'

# Board clicks, PlaySound clicks and F2 presses, in time order, for the latency checker.
{
    awk -v r="$SOUNDS/sfx$LATENCY_ENTRY.wav" '{ print $1, r, "board" }' "$SESSION_DIR/board-clicks.txt"
    awk -v r="$SOUNDS/sfx$LATENCY_ENTRY.wav" '{ print $1, r, "baseline" }' "$SESSION_DIR/baseline-clicks.txt"
    awk -v r="$SOUNDS/sfx$F2_ENTRY.wav" '{ print $1, r, "F2" }' "$SESSION_DIR/board-keys.txt"
} | sort -n >"$SESSION_DIR/triggers.txt"
latency=$(wavmatch latency "$SESSION_DIR/clicks.wav" "$SESSION_DIR/triggers.txt" || true)
note "latency against PlaySound's mean delay: $(echo "$latency" | tr '\n' ' ')"
pick() { echo "$latency" | sed -n "s/^label=$1 .*$2=\([0-9.-]*\).*/\1/p"; }
found() { echo "$latency" | sed -n "s/^label=$1 found=\([0-9]* of [0-9]*\).*/\1/p"; }
# The recorder dates a recording as a whole only to within tens of milliseconds or
# worse, so delays are given against PlaySound's own in the same recording.
row "click to first sample vs PlaySound, median (ms)" "$(pick board median_ms)" "$(pick baseline median_ms)" "-"
row "click to first sample vs PlaySound, p90 (ms)" "$(pick board p90_ms)" "$(pick baseline p90_ms)" "-"
row "F2 to first sample vs PlaySound, median / p90" "$(pick F2 median_ms) / $(pick F2 p90_ms)" "$(pick baseline median_ms) / $(pick baseline p90_ms)" "-"
row "sounds found: board / PlaySound / F2" "$(found board) / $(found F2)" "$(found baseline)" "-"
row "idle CPU over ${IDLE_SECONDS} s (% of a core)" "$board_idle" "$baseline_idle" "$(ratio "$board_idle" "$baseline_idle")"
row "CPU, board 10 sounds / PlaySound 1 (%)" "$board_ten" "$baseline_one" "$(ratio "$board_ten" "$baseline_one")"
board_private=$(echo "$board_memory" | sed -n 's/.*private_kb=\([0-9]*\).*/\1/p')
base_private=$(echo "$baseline_memory" | sed -n 's/.*private_kb=\([0-9]*\).*/\1/p')
note "memory: board $board_memory; baseline $baseline_memory (the sound bank is $(($(cat "$SOUNDS"/sfx*.wav | wc -c) / 1024)) kB)"
row "private resident memory at idle (MB)" "$(awk -v b="$board_private" 'BEGIN { printf "%.1f", b / 1024 }')" \
    "$(awk -v b="$base_private" 'BEGIN { printf "%.1f", b / 1024 }')" "$(ratio "$board_private" "$base_private")"

# --- start-up: process start to the main window (prompt answered No) against one empty window
: >"$SESSION_DIR/start-box.txt"
: >"$SESSION_DIR/start-main.txt"
: >"$SESSION_DIR/start-base.txt"
for _ in $(seq "$STARTS"); do
    started=$(now)
    wine_start "$BOARD_EXE"
    BOARD_PID=$WINE_PID
    window_wait '信息' 60 >/dev/null || fail "no welcome prompt"
    awk -v s="$started" -v e="$(now)" 'BEGIN { printf "%.0f\n", (e - s) * 1000 }' >>"$SESSION_DIR/start-box.txt"
    key n
    BOARD_XID=$(window_wait "example.com" 60) || fail "main window not shown"
    awk -v s="$started" -v e="$(now)" 'BEGIN { printf "%.0f\n", (e - s) * 1000 }' >>"$SESSION_DIR/start-main.txt"
    xdotool windowfocus "$BOARD_XID" 2>/dev/null || true
    key Escape
    board_wait_exit 30 || fail "board did not end"
    started=$(now)
    wine_start "$BASELINE"
    window_wait '^baseline$' 60 >/dev/null || fail "baseline window not shown"
    awk -v s="$started" -v e="$(now)" 'BEGIN { printf "%.0f\n", (e - s) * 1000 }' >>"$SESSION_DIR/start-base.txt"
    end_program 'playsound_baseline.exe'
done
read -r box_median _ < <(percentiles <"$SESSION_DIR/start-box.txt")
read -r main_median _ < <(percentiles <"$SESSION_DIR/start-main.txt")
read -r base_start _ < <(percentiles <"$SESSION_DIR/start-base.txt")
note "start-up ms, board to prompt: $(tr '\n' ' ' <"$SESSION_DIR/start-box.txt"); to window: $(tr '\n' ' ' <"$SESSION_DIR/start-main.txt"); baseline: $(tr '\n' ' ' <"$SESSION_DIR/start-base.txt")"
row "start to first window (prompt), median (ms)" "$box_median" "$base_start" "$(ratio "$box_median" "$base_start")"
row "start to main window, No answered (ms)" "$main_median" "$base_start" "$(ratio "$main_median" "$base_start")"

# --- 33 sounds started at once: every one heard from its start, no stretch gone quiet
wine "$PROBE" burst >"$SESSION_DIR/burst.txt" 2>&1 &
burst_pid=$!
wait_for 60 grep -q ready "$SESSION_DIR/burst.txt" || fail "burst probe not ready"
record_start "$SESSION_DIR/burst.wav"
wait "$burst_pid" || fail "the burst probe failed"
record_stop
burst=$(grep taken= "$SESSION_DIR/burst.txt" | tr -d '\r')
note "burst: $burst"
# The first sound in this recording is the burst's.
start=$(wavmatch extent "$SESSION_DIR/burst.wav" -50 | sed -n 's/.*first_ms=\([0-9]*\).*/\1/p' | awk '{ printf "%.3f", $1 / 1000 }')
burst_at=$(awk -v s="$start" 'BEGIN { printf "%.3f", s > 0.05 ? s - 0.05 : 0 }')
wavmatch probe "$SESSION_DIR/control.wav" 7 1.0
control=$(wavmatch onsets "$SESSION_DIR/burst.wav" "$SESSION_DIR/control.wav" "$burst_at" --ref-seconds 1.0 |
    sed -n 's/.*correlation=\([0-9.]*\).*/\1/p')
found=0
weakest=1
for n in $(seq -w 1 33); do
    correlation=$(wavmatch onsets "$SESSION_DIR/burst.wav" "$SOUNDS/sfx$n.wav" "$burst_at" --ref-seconds 1.0 |
        sed -n 's/.*correlation=\([0-9.]*\).*/\1/p')
    # Found: well above what a signal that was never played correlates with the mix.
    if awk -v c="$correlation" -v z="$control" 'BEGIN { exit !(z > 0 && c >= 3 * z) }'; then found=$((found + 1)); fi
    weakest=$(awk -v c="$correlation" -v w="$weakest" 'BEGIN { print (c < w ? c : w) }')
done
quiet_all=$(wavmatch quietest "$SESSION_DIR/burst.wav" "$start" "$(awk -v s="$start" 'BEGIN { print s + 0.95 }')")
quiet_most=$(wavmatch quietest "$SESSION_DIR/burst.wav" "$(awk -v s="$start" 'BEGIN { print s + 1 }')" "$(awk -v s="$start" 'BEGIN { print s + 3 }')")
note "burst: $found of 33 found (weakest correlation $weakest, a signal never played: $control); quietest 10 ms in the first 0.95 s: $quiet_all; from 1 to 3 s: $quiet_most"
starts_ms=$(echo "$burst" | sed -n 's/.*starts_ms=\([0-9.]*\) .*/\1/p')
platform_ms=$(echo "$burst" | sed -n 's/.*platform_starts_ms=\([0-9.]*\).*/\1/p')
row "33 starts at once (ms)" "$starts_ms" "$platform_ms" "$(ratio "$starts_ms" "$platform_ms")"
row "33 sounds found in the recording" "$found of 33" "-" "-"

# --- many players: the device under Wine slows with every open stream, so the run has a time limit
many=$(timeout "${BENCH_MANY_SECONDS:-120}" wine "$PROBE" many 200 21 | tr -d '\r') || true
note "200 plays: $(echo "$many" | tail -2 | tr '\n' ' ')"
last=$(echo "$many" | grep asked= | tail -1 || true)
field() { echo "$last" | sed -n "s/.*$1=\([0-9.-]*\).*/\1/p"; }
row "plays asked / taken / refused (in ${BENCH_MANY_SECONDS:-120} s)" "$(field asked) / $(field taken) / $(field refused)" "-" "-"
row "heap per playing sound (bytes)" "$(field heap_per_sound)" "$(field expected_per_sound)" "$(ratio "$(field heap_per_sound)" "$(field expected_per_sound)")"
row "threads per playing sound" "$(awk -v t="$(field live_threads)" -v n="$(field players)" 'BEGIN { if (n) printf "%.2f", t / n }')" "1" "-"

echo
printf '%-44s %14s %14s %8s\n' "figure" "board" "baseline" "ratio"
printf '%s\n' "${TABLE[@]}"
echo "(latency rows: ms after PlaySound's mean delay in the same recording;"
echo " baseline: PlaySound from a minimal program for sound, one empty window for start-up, CPU and memory;"
echo " the expected memory per sound: its sample copy + the 307,840-byte buffer pool)"
