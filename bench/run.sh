#!/usr/bin/env bash
# The board's benchmarks under Wine, each against a baseline run in the same session:
# PlaySound from a minimal program (click to sound), the board's window built plainly
# (start-up, rest), one window with the same key poll (rest), 33 plain threads (33 at
# once). Prints notes as it goes and one table at the end.
#   BOARD_BUILD_DIR=build/win64 BOARD_HOST_TOOLS=build/native/tests/harness \
#   BENCH_TOOLS=build/native/bench bench/run.sh
# (./board.sh bench builds everything and runs this.)
export BOARD_SOURCE_DIR=${BOARD_SOURCE_DIR:-$(cd "$(dirname "$0")/.." && pwd)}
source "$BOARD_SOURCE_DIR/tests/harness/session.sh"
source "$BOARD_SOURCE_DIR/tests/app/board_session.sh"

BENCH=$BOARD_BUILD_DIR/bench
BASELINE=$BENCH/playsound_baseline.exe
PLAIN=$BENCH/plain_board.exe
PROBE=$BENCH/bench_probe.exe
DATED_BOARD=$BENCH/board_bench.exe
UNSKINNED=$BOARD_BUILD_DIR/tests/app/board_unskinned.exe
ONSETS=${BENCH_TOOLS:-$BOARD_HOST_TOOLS/../../bench}/onset_latency
SOUNDS=$BOARD_SOURCE_DIR/assets/sounds
BUILD="${BOARD_ARCH:-i686}"
CLICKS=${BENCH_CLICKS:-20}
KEYS=${BENCH_KEYS:-10}
STARTS=${BENCH_STARTS:-5}
IDLE_SECONDS=${BENCH_IDLE_SECONDS:-15}
readonly CLICK_ENTRY=25 CLICK_CAPTION="卡通" F2_ENTRY=03 F2_CAPTION="群众笑声/F2键"
readonly BASELINE_BUTTON_X=110 BASELINE_BUTTON_Y=85  # the button fills the baseline's window at 0,0
[ -x "$ONSETS" ] || fail "no onset checker at $ONSETS (set BENCH_TOOLS)"
TABLE=()

# row FIGURE BOARD BASELINE RATIO GOAL MET
row() { TABLE+=("$(printf '%-40s %-8s %12s %12s %7s %-22s %s' "$1" "$BUILD" "$2" "$3" "$4" "$5" "$6")"); }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }
at_most() { awk -v a="$1" -v b="$2" 'BEGIN { if (a == "" || b == "") print "-"; else print (a <= b ? "met" : "NOT met") }'; }
median() { sort -n | awk '{ v[NR] = $1 } END { if (NR) print v[int((NR + 1) / 2)] }'; }
ms_between() { awk -v s="$1" -v e="$2" 'BEGIN { printf "%.0f\n", (e - s) * 1000 }'; }
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
# This prefix's server: it works in a directory named server-DEVICE-INODE of the prefix, in hex.
wineserver_pid() {
    local dir p
    dir=$(stat -c '%d %i' "$WINEPREFIX" | awk '{ printf "server-%x-%x", $1, $2 }')
    for p in $(pgrep -u "$(id -u)" wineserver); do
        [ "$(basename "$(readlink "/proc/$p/cwd")")" = "$dir" ] && { echo "$p"; return 0; }
    done
    return 1
}
memory_of() { awk '/^RssAnon/ { print $2 }' "/proc/$1/status"; }
percent() { awk -v t="$1" -v s="$2" -v hz="$(getconf CLK_TCK)" 'BEGIN { printf "%.2f", t * 100 / hz / s }'; }
key_press() { xdotool keydown "$1"; sleep 0.05; xdotool keyup "$1"; }
window_click() { xdotool mousemove "$1" "$2" click 1; }

end_program() {  # PID: a program this script started
    stop_pid "$1"
    sleep 0.5
}

# idle_cost NAME PID: CPU of the program's process, of the wine server, and the
# program's busiest threads, over IDLE_SECONDS with nothing else of ours running.
idle_cost() {
    local name=$1 pid server before after server_before server_after tasks
    pid=$2
    [ -e "/proc/$pid/stat" ] || fail "$name is not running"
    server=$(wineserver_pid) || fail "no wine server found for $WINEPREFIX"
    sleep 2
    tasks=$(ls "/proc/$pid/task")
    declare -A task_before
    for t in $tasks; do task_before[$t]=$(cpu_ticks "$pid/task/$t" 2>/dev/null || echo 0); done
    before=$(cpu_ticks "$pid")
    server_before=$(cpu_ticks "$server")
    sleep "$IDLE_SECONDS"
    after=$(cpu_ticks "$pid")
    server_after=$(cpu_ticks "$server")
    IDLE_PROCESS=$(percent $((after - before)) "$IDLE_SECONDS")
    IDLE_SERVER=$(percent $((server_after - server_before)) "$IDLE_SECONDS")
    local busiest=""
    for t in $tasks; do
        [ -e "/proc/$pid/task/$t/stat" ] || continue
        busiest+="$(percent $(($(cpu_ticks "$pid/task/$t") - task_before[$t])) "$IDLE_SECONDS") $t:$(cat "/proc/$pid/task/$t/comm")"$'\n'
    done
    IDLE_MEMORY=$(memory_of "$pid")
    note "idle $name: process $IDLE_PROCESS %, wineserver $IDLE_SERVER % of a core; $(echo "$busiest" | sort -rn | head -4 | tr '\n' ' ')threads $(echo "$tasks" | wc -w); private ${IDLE_MEMORY} kB"
}

session_start
wineserver -p  # one server for every start, as on a running desktop
note "load before: $(uptime)"

# --- click to sound. The dated board, PlaySound's button and F2 in one recording,
# each sound found by its first loud millisecond (less its entry's own lead-in), and
# dated against a line through PlaySound's onsets.
STAMPS=$SESSION_DIR/stamps.txt
export BOARD_BENCH_STAMPS=$STAMPS
BOARD_EXE=$DATED_BOARD board_start no
AT_FILE=$SESSION_DIR/at.txt
inspect --at >"$AT_FILE"
read -r click_x click_y < <(centre_of "$CLICK_CAPTION")
read -r laugh_x laugh_y < <(centre_of "$F2_CAPTION")
read -r stop_x stop_y < <(centre_of "停止当前音效/F1键")
# Esc reaches the board once one of its controls has the focus: its Stop button, harmless.
board_end() {
    window_click "$stop_x" "$stop_y"
    sleep 0.3
    key Escape
    board_wait_exit 30 || fail "$1 did not end"
}
BASELINE_STAMPS=$SESSION_DIR/baseline-stamps.txt
BOARD_BENCH_STAMPS=$BASELINE_STAMPS wine_start "$BASELINE" "$CLICK_ENTRY"
unset BOARD_BENCH_STAMPS
baseline_pid=$WINE_PID
window_wait '^baseline$' 60 >/dev/null || fail "baseline window not shown"
TRIGGERS=$SESSION_DIR/triggers.txt
: >"$TRIGGERS"
trigger() { echo "$(now) $SOUNDS/sfx$1.wav $2" >>"$TRIGGERS"; }
record_start "$SESSION_DIR/clicks.wav"
for _ in $(seq "$CLICKS"); do
    trigger $CLICK_ENTRY board
    window_click "$click_x" "$click_y"
    sleep 2
    trigger $CLICK_ENTRY baseline
    window_click $BASELINE_BUTTON_X $BASELINE_BUTTON_Y
    sleep 2
done
for _ in $(seq "$KEYS"); do
    trigger $F2_ENTRY click03
    window_click "$laugh_x" "$laugh_y"
    sleep 1.5
    key_press F1
    sleep 0.8
    trigger $F2_ENTRY F2
    key_press F2
    sleep 1.5
    key_press F1
    sleep 0.8
    trigger $CLICK_ENTRY baseline
    window_click $BASELINE_BUTTON_X $BASELINE_BUTTON_Y
    sleep 2
done
record_stop
latency=$("$ONSETS" latency "$SESSION_DIR/clicks.wav" "$TRIGGERS" || true)
note "onsets against PlaySound's mean delay: $(echo "$latency" | grep -v '^trigger' | tr '\n' ' ')"
pick() { echo "$latency" | sed -n "s/^label=$1 .*$2=\([0-9.-]*\).*/\1/p"; }
found() { echo "$latency" | sed -n "s/^label=$1 found=\([0-9]* of [0-9]*\).*/\1/p"; }

# The dated board's own steps per click: from the click as its window got it.
# A click's sound starts with its heap block; F2's with its action thread.
steps=$(awk '
    $2 == "click" || ($2 == "thread-made" && $3 == "action") { if (t0) flush(); t0 = $1; kind = ($2 == "click" ? "click" : "F2"); delete s; next }
    t0 && $2 == "thread-start" && $3 == "action" && !("action" in s) { s["action"] = $1 }
    t0 && $2 == "heap-block" && !("copy" in s) { s["copy"] = $1 }
    t0 && $2 == "opened" && !("open" in s) { s["open"] = $1 }
    t0 && $2 == "thread-start" && $3 == "player" && !("player" in s) { s["player"] = $1 }
    t0 && $2 == "first-write" && !("write" in s) { s["write"] = $1 }
    function flush(  k) { if (!("copy" in s)) return; n[kind]++; for (k in s) { sum[kind, k] += (s[k] - t0) * 1000; c[kind, k]++ } }
    END { if (t0) flush();
          for (kind in n) { printf "%s(%d):", kind, n[kind];
              split("action copy open player write", order, " ");
              for (i = 1; i <= 5; i++) if (c[kind, order[i]]) printf " %s=%.2f", order[i], sum[kind, order[i]] / c[kind, order[i]];
              printf " ms;" } }' "$STAMPS")
note "dated board, mean ms after the click (F2: after its action thread is made): $steps"
note "  (copy = the sample copy's allocation, after the parse; open = waveOutOpen returned; player = its thread runs; write = first waveOutWrite returned)"
to_write() {  # KIND: median ms from its start to its first write, per sound
    awk -v kind="$1" '
        $2 == "click" || ($2 == "thread-made" && $3 == "action") { t0 = $1; k = ($2 == "click" ? "click" : "F2"); copy = 0; done = 0; next }
        $2 == "heap-block" { copy = 1 }
        $2 == "first-write" && t0 && copy && !done && k == kind { printf "%.3f\n", ($1 - t0) * 1000; done = 1 }' "$STAMPS" | median
}
# From the trigger (just before xdotool's click) to BN_CLICKED as each window got it.
to_click() {  # LABEL STAMPS: median ms
    awk -v label="$1" 'FNR == NR { if ($3 == label) t[++n] = $1; next }
        $2 == "click" { c[++m] = $1 }
        END { j = 1; for (i = 1; i <= n; i++) { while (j <= m && c[j] < t[i]) j++; if (j <= m) printf "%.3f\n", (c[j] - t[i]) * 1000 } }' \
        "$TRIGGERS" "$2" | median
}
board_to_click=$(to_click board "$STAMPS")
baseline_to_click=$(to_click baseline "$BASELINE_STAMPS")
note "trigger to BN_CLICKED, median ms: board $board_to_click, PlaySound's window $baseline_to_click"
click_to_write=$(to_write click)
f2_to_write=$(to_write F2)
action_start=$(awk '$2 == "thread-made" && $3 == "action" { m = $1 } $2 == "thread-start" && $3 == "action" && m { printf "%.3f\n", ($1 - m) * 1000; m = 0 }' "$STAMPS" | median)

row "click to sound vs PlaySound, median (ms)" "$(pick board median_ms)" "$(pick baseline median_ms)" "-" "no later than PlaySound" \
    "$(at_most "$(pick board median_ms)" "$(pick baseline median_ms)")"
row "click to sound vs PlaySound, p90 (ms)" "$(pick board p90_ms)" "$(pick baseline p90_ms)" "-" "no later than PlaySound" \
    "$(at_most "$(pick board p90_ms)" "$(pick baseline p90_ms)")"
f2_extra=$(awk -v f="$(pick F2 median_ms)" -v c="$(pick click03 median_ms)" 'BEGIN { if (f != "" && c != "") printf "%.1f", f - c }')
f2_allowed=$(awk -v t="$action_start" 'BEGIN { printf "%.1f", 5 + t }')
row "F2 after a click on its button, median (ms)" "$f2_extra" "-" "-" "<= 5 + thread start ($f2_allowed)" "$(at_most "$f2_extra" "$f2_allowed")"
f2_inside=$(awk -v f="$f2_to_write" -v c="$click_to_write" 'BEGIN { if (f != "" && c != "") printf "%.1f", f - c }')
note "in-process medians: click to first write $click_to_write ms; F2 seen to first write $f2_to_write ms; an action thread's start $action_start ms"
row "  in-process: F2 seen vs click, to 1st write" "$f2_inside" "-" "-" "<= thread start ($action_start)" "$(at_most "$f2_inside" "$action_start")"
row "  trigger to BN_CLICKED, median (ms)" "$board_to_click" "$baseline_to_click" "-" "context" "-"
row "sounds found: board / F2 / its button" "$(found board) / $(found F2) / $(found click03)" "$(found baseline)" "-" "all" "-"

# --- rest: the board first, then each baseline alone, so the wine server's share is theirs
board_end "the dated board"
end_program "$baseline_pid"
BOARD_EXE=$BOARD_BUILD_DIR/app/board.exe board_start no
idle_cost board "$BOARD_PID"
board_idle=$IDLE_PROCESS board_server=$IDLE_SERVER board_memory=$IDLE_MEMORY
board_end board
for way in window-poll board-poll window; do
    wine_start "$PLAIN" $way
    window_wait '^plain board$' 60 >/dev/null || fail "plain board ($way) not shown"
    idle_cost "plain $way" "$WINE_PID"
    eval "${way//-/_}_idle=\$IDLE_PROCESS ${way//-/_}_server=\$IDLE_SERVER ${way//-/_}_memory=\$IDLE_MEMORY"
    end_program "$WINE_PID"
done
# The same poll in a program that owns no window; it measures its own process.
poll_alone=$(wine "$BENCH/hotkey_poll_cost.exe" idle "$IDLE_SECONDS" 2>/dev/null | tr -d '\r' | sed -n 's/.*= \([0-9.]*\)% of one core.*/\1/p')
note "idle: the poll alone, no window: $poll_alone % of a core"
if [ -e "$UNSKINNED" ]; then
    BOARD_EXE=$UNSKINNED board_start no
    idle_cost "board without its skin" "$BOARD_PID"
    board_end "the board without its skin"
fi
sum() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a + b }'; }
board_rest=$(sum "$board_idle" "$board_server")
poll_rest=$(sum "$window_poll_idle" "$window_poll_server")
row "at rest, process + wine server (% core)" "$board_rest" "$poll_rest" "$(ratio "$board_rest" "$poll_rest")" "<= 1.1 x window + poll" \
    "$(at_most "$(ratio "$board_rest" "$poll_rest")" 1.1)"
row "  of which the process (%)" "$board_idle" "$window_poll_idle" "$(ratio "$board_idle" "$window_poll_idle")" "context" "-"
row "  of which the wine server (%)" "$board_server" "$window_poll_server" "$(ratio "$board_server" "$window_poll_server")" "context" "-"
row "at rest, vs plain 52 controls + poll (%)" "$board_idle" "$board_poll_idle" "$(ratio "$board_idle" "$board_poll_idle")" "context" "-"
row "  context: one window, no poll (%)" "-" "$window_idle" "-" "context" "-"
row "  context: the poll, no window (%)" "-" "$poll_alone" "-" "context" "-"
row "private memory at rest (MB)" "$(awk -v k="$board_memory" 'BEGIN { printf "%.1f", k / 1024 }')" \
    "$(awk -v k="$board_poll_memory" 'BEGIN { printf "%.1f", k / 1024 }')" "$(ratio "$board_memory" "$board_poll_memory")" "report" "-"

# --- start-up: to the welcome box, the board against its window built plainly
: >"$SESSION_DIR/start-board.txt"
: >"$SESSION_DIR/start-main.txt"
: >"$SESSION_DIR/start-plain.txt"
: >"$SESSION_DIR/start-empty.txt"
for _ in $(seq "$STARTS"); do
    started=$(now)
    wine_start "$BOARD_BUILD_DIR/app/board.exe"
    BOARD_PID=$WINE_PID
    window_wait '信息' 60 >/dev/null || fail "no welcome prompt"
    ms_between "$started" "$(now)" >>"$SESSION_DIR/start-board.txt"
    key n
    BOARD_XID=$(window_wait "example.com" 60) || fail "main window not shown"
    ms_between "$started" "$(now)" >>"$SESSION_DIR/start-main.txt"
    board_end board
    started=$(now)
    wine_start "$PLAIN"
    window_wait '信息' 60 >/dev/null || fail "no welcome prompt from the plain board"
    ms_between "$started" "$(now)" >>"$SESSION_DIR/start-plain.txt"
    key n
    window_wait '^plain board$' 60 >/dev/null || fail "plain board not shown"
    end_program "$WINE_PID"
    started=$(now)
    wine_start "$BASELINE"
    window_wait '^baseline$' 60 >/dev/null || fail "baseline window not shown"
    ms_between "$started" "$(now)" >>"$SESSION_DIR/start-empty.txt"
    end_program "$WINE_PID"
done
note "start-up ms, board to the box: $(tr '\n' ' ' <"$SESSION_DIR/start-board.txt"); to its window: $(tr '\n' ' ' <"$SESSION_DIR/start-main.txt"); plain board to the box: $(tr '\n' ' ' <"$SESSION_DIR/start-plain.txt"); empty window: $(tr '\n' ' ' <"$SESSION_DIR/start-empty.txt")"
board_start_ms=$(median <"$SESSION_DIR/start-board.txt")
plain_start_ms=$(median <"$SESSION_DIR/start-plain.txt")
row "start to the welcome box, median (ms)" "$board_start_ms" "$plain_start_ms" "$(ratio "$board_start_ms" "$plain_start_ms")" "<= 1.2 x plain board" \
    "$(at_most "$(ratio "$board_start_ms" "$plain_start_ms")" 1.2)"
row "  context: an empty window (ms)" "-" "$(median <"$SESSION_DIR/start-empty.txt")" "-" "report" "-"

# In-process steps, one dated start of each: ms from the process's creation.
dated_start() {  # EXE PATTERN_OF_ITS_WINDOW: prints its steps
    local stamps=$SESSION_DIR/start-stamps-$(basename "$1").txt
    BOARD_BENCH_STAMPS=$stamps wine_start "$1"
    window_wait '信息' 60 >/dev/null || fail "no welcome prompt from $1"
    sleep 0.5
    key n
    window_wait "$2" 60 >/dev/null || fail "$1 not shown"
    end_program "$WINE_PID"
    awk '$2 == "process" { t0 = $1 } t0 && !seen[$2]++ && $2 != "process" && $2 != "heap-block" { printf "%s=%.0f ", $2 ($3 != "" && $2 ~ /window|shown/ ? "(" $3 ")" : ""), ($1 - t0) * 1000 }' "$stamps"
}
note "board steps, ms from process creation: $(dated_start "$DATED_BOARD" example.com)"
note "  (static-init ~ WinMain; first-virtual-alloc = the engine's load begins; first-class = it is done; window-made = the window and its 52 controls; box-call = skinned; shown(#32770) = the box)"
note "plain board steps: $(dated_start "$PLAIN" '^plain board$')"

# --- 33 at once: to the 33rd first write, through the board's player and by 33 plain threads
burst() {  # WAY: prints the probe's line
    local out=$SESSION_DIR/burst-$1.txt
    wine "$PROBE" burst "$1" >"$out" 2>&1 || true
    grep way= "$out" | tr -d '\r'
}
burst_board=$(burst board)
burst_plain=$(burst plain)
note "33 at once: $burst_board; $burst_plain"
field() { echo "$1" | sed -n "s/.*$2=\([0-9.-]*\).*/\1/p"; }
row "33 at once, to the 33rd first write (ms)" "$(field "$burst_board" to_last_first_write_ms)" "$(field "$burst_plain" to_last_first_write_ms)" \
    "$(ratio "$(field "$burst_board" to_last_first_write_ms)" "$(field "$burst_plain" to_last_first_write_ms)")" "<= 1.1 x 33 plain threads" \
    "$(at_most "$(ratio "$(field "$burst_board" to_last_first_write_ms)" "$(field "$burst_plain" to_last_first_write_ms)")" 1.1)"

# 33 distinct sines started 30 ms apart: each one found at its own frequency.
tones() {  # WAY: prints the checker's summary
    local out=$SESSION_DIR/tones-$1.txt
    wine "$PROBE" tones "$1" 30 >"$out" 2>&1 &
    local pid=$!
    wait_for 60 grep -q ready "$out" || fail "tone probe not ready"
    record_start "$SESSION_DIR/tones-$1.wav"
    wait "$pid" || true
    record_stop
    local line
    line=$(grep tones= "$out" | tr -d '\r')
    "$ONSETS" tones "$SESSION_DIR/tones-$1.wav" 0 "$(field "$line" hertz)" "$(field "$line" step)" 33 \
        "$(field "$line" amplitude)" 30 | tail -1 || true
}
tones_board=$(tones board)
tones_plain=$(tones plain)
note "33 tones 30 ms apart: board $tones_board; plain $tones_plain"
row "33 tones 30 ms apart, heard (of 33)" "$(field "$tones_board" found)" "$(field "$tones_plain" found)" "-" "33" \
    "$([ "$(field "$tones_board" found)" = 33 ] && echo met || echo "NOT met")"
row "  latest tone behind its schedule (ms)" "$(field "$tones_board" worst_slip_ms)" "$(field "$tones_plain" worst_slip_ms)" "-" "report" "-"

# --- memory per playing sound; the device under Wine slows with every open stream, so a time limit
many=$(timeout "${BENCH_MANY_SECONDS:-30}" wine "$PROBE" many 60 21 | tr -d '\r') || true
last=$(echo "$many" | grep asked= | tail -1 || true)
note "plays: $last"
row "heap per playing sound (bytes)" "$(field "$last" heap_per_sound)" "$(field "$last" expected_per_sound)" \
    "$(ratio "$(field "$last" heap_per_sound)" "$(field "$last" expected_per_sound)")" "copy + pool" "-"
note "load after: $(uptime)"

echo
printf '%-40s %-8s %12s %12s %7s %-22s %s\n' "figure" "build" "board" "baseline" "ratio" "goal" "met"
printf '%s\n' "${TABLE[@]}"
echo "(click rows: ms after PlaySound's mean delay in the same recording, by each sound's first"
echo " millisecond above -40 dBFS less its entry's own lead-in; baselines: PlaySound from a minimal"
echo " program, one window with the same 255-key poll, the same 52 controls and box built plainly,"
echo " 33 plain threads each with its own device and its whole sample in one write)"
