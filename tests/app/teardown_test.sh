#!/bin/bash
# The real teardown, again and again: ten sounds playing, F1 held down while
# Esc closes the window. Every run must end with status 0, show no crash
# dialog, and be silent within half a second of the window going.
#   teardown_test.sh EXE RUNS [expect-failure]
# With expect-failure the runs must NOT all pass: the exit-race build (no wait
# for hotkey actions, a late F1) proves the check sees the race it guards.
source "$BOARD_SOURCE_DIR/tests/harness/session.sh"
BOARD_EXE=$1
source "$BOARD_SOURCE_DIR/tests/app/board_session.sh"
runs=${2:?usage: teardown_test.sh EXE RUNS [expect-failure]}
expect_failure=${3:-}
readonly kSilentAfterMs=500 kExitSeconds=20
sounds=(直升飞机 救护车 超炫警笛 新闻联播 欢快 鼓声 爆竹 机枪扫射 打字音效 心跳声音)

session_start
AT_FILE=$SESSION_DIR/at.txt

# A crash under Wine starts its debugger, whose dialog keeps the process alive.
# Other sessions on the machine may have debuggers of their own: only one that
# runs in this session's prefix counts.
debugger_open() {
    local pid
    for pid in $(pgrep -f winedbg); do
        tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && return 0
    done
    return 1
}

ended_or_crashed() { ! kill -0 "$BOARD_PID" 2>/dev/null || debugger_open; }

# One run; prints why it failed, returns nonzero then.
teardown_once() {
    local n=$1 rec=$SESSION_DIR/teardown$1.wav status=0 gone_at last_ms t0 late_ms
    board_start no
    inspect --at >"$AT_FILE"
    for caption in "${sounds[@]}"; do
        read -r x y < <(centre_of "$caption")
        click "$x" "$y"
    done
    sleep 0.5
    record_start "$rec"
    xdotool windowfocus "$BOARD_XID" 2>/dev/null || true
    xdotool keydown F1
    sleep 0.05  # seen down by a 10 ms poll: F1 fires as the window closes
    key Escape
    wait_for 10 bash -c "! xdotool search --onlyvisible --name example.com" || { echo "run $n: window stayed"; status=1; }
    gone_at=$(now)
    xdotool keyup F1
    wait_for $kExitSeconds ended_or_crashed || true
    if debugger_open; then
        echo "run $n: crashed (the debugger's dialog is open)"
        status=1
        wineserver -k 2>/dev/null || true
    fi
    board_wait_exit 5 || { echo "run $n: exit status $?"; status=1; }
    sleep 0.7
    record_stop
    last_ms=$(wavmatch extent "$rec" -50 | sed -n 's/.*last_ms=\([0-9-]*\).*/\1/p')
    t0=$(cat "$rec.t0")
    if [ -n "$last_ms" ] && [ "$last_ms" -ge 0 ]; then
        late_ms=$(awk -v t0="$t0" -v last="$last_ms" -v gone="$gone_at" 'BEGIN { printf "%d", (t0 + last / 1000 - gone) * 1000 }')
        note "run $n: last sound ${late_ms} ms after the window went"
        [ "$late_ms" -le $kSilentAfterMs ] || { echo "run $n: sound went on ${late_ms} ms after the window"; status=1; }
    fi
    return $status
}

failed=0
for n in $(seq "$runs"); do
    teardown_once "$n" || failed=$((failed + 1))
done
note "$failed of $runs runs failed"
if [ -n "$expect_failure" ]; then
    [ "$failed" -gt 0 ] || fail "the exit-race build passed every run: the check cannot see the race"
else
    [ "$failed" -eq 0 ] || fail "$failed of $runs teardowns failed"
fi
