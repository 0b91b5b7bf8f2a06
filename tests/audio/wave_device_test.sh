# The wave engine on the real device under Wine, heard through the null sink:
# the right samples come out, each rate plays at its own speed to its end,
# players overlap, a loop repeats, and both kinds of StopAll do what they promise.
source "$BOARD_SOURCE_DIR/tests/harness/session.sh"
session_start
probe="$BOARD_BUILD_DIR/tests/audio/wave_device_probe.exe"
dir=$SESSION_DIR

wavmatch probe "$dir/stereo.wav" 3 2.0
sox -n -r 22050 -c 1 -b 8 -e unsigned-integer "$dir/mono8.wav" synth 5.28 sine 300-900 vol 0.5
sox -n -r 11025 -c 1 -b 16 "$dir/low.wav" synth 3.0 sine 500 vol 0.5

run() {  # NAME ARGS... : records the sink while the probe runs; recording in $dir/NAME.wav
    local name=$1
    shift
    record_start "$dir/$name.wav"
    wine_start "$probe" "$@"
    wine_wait "$WINE_PID" 120 || fail "probe $* failed"
    sleep 0.3
    record_stop
    cp "$SESSION_DIR/wine.log" "$dir/$name.log"
    : >"$SESSION_DIR/wine.log"
}
field() { grep -o "$2=[0-9.]*" "$dir/$1.log" | head -1 | cut -d= -f2; }
extent() { wavmatch extent "$dir/$1.wav"; }
recording_ms() { awk '{ printf "%.1f", $1 * 1000 }' "$dir/$1.wav.t0"; }  # wall time of the recording's first sample
within() {  # MEASURED EXPECTED PERCENT
    awk -v m="$1" -v e="$2" -v p="$3" 'BEGIN { d = m - e; if (d < 0) d = -d; exit !(d <= e * p / 100) }'
}

run samples play "$dir/stereo.wav"
result=$(wavmatch match "$dir/samples.wav" "$dir/stereo.wav" --threshold 0.98) || fail "samples not found: $result"
note "16-bit stereo 44,100 Hz matched: $result; $(extent samples); CPU $(field samples cpu_ms) ms over $(field samples wall_ms) ms"

for sound in mono8:5280 low:3000; do
    name=${sound%%:*}
    expected=${sound##*:}
    run "$name" play "$dir/$name.wav"
    e=$(extent "$name")
    duration=$(echo "$e" | grep -o 'duration_ms=[0-9]*' | cut -d= -f2)
    within "$duration" "$expected" 3 || fail "$name played $duration ms, expected $expected ms ($e)"
    note "$name played at its own rate: $e (expected $expected ms)"
done

run overlap overlap "$dir/low.wav" 1000
grep -q 'players=2' "$dir/overlap.log" || fail "second player did not join the first"
e=$(extent overlap)
duration=$(echo "$e" | grep -o 'duration_ms=[0-9]*' | cut -d= -f2)
within "$duration" 4000 3 || fail "two overlapping 3 s players lasted $duration ms ($e)"
note "two players from one image overlap: $e"

# The 3 s sound loops until StopAll(false) 10 s after Start: it sounds past one pass and no longer
# than the stop. (At 7.5 s a loaded machine's pause between passes once left room for one pass only.)
run loop loop "$dir/low.wav" 10
e=$(extent loop)
duration=$(echo "$e" | grep -o 'duration_ms=[0-9]*' | cut -d= -f2)
last=$(echo "$e" | grep -o 'last_ms=[0-9]*' | cut -d= -f2)
ended=$(awk -v s="$(recording_ms loop)" -v l="$last" -v t="$(field loop stop_unix_ms)" 'BEGIN { printf "%.0f", s + l - t }')
[ "$duration" -gt 4500 ] || fail "a looped 3 s sound stopped after $duration ms ($e)"
# A pass restarts only once every buffer is back, so the stop may fall in the pause between passes.
[ "$ended" -lt 500 ] || fail "the loop went on $ended ms after StopAll ($e)"
note "loop repeated until the stop: $e, last sound ${ended} ms from StopAll"

for kind in nowait wait; do
    run "stop-$kind" stop "$dir/stereo.wav" 1.0 "$kind"
    grep -q 'players_left=0' "$dir/stop-$kind.log" || [ "$kind" = nowait ] ||
        fail "StopAll(true) returned with players left"
    e=$(extent "stop-$kind")
    last=$(echo "$e" | grep -o 'last_ms=[0-9]*' | cut -d= -f2)
    start=$(recording_ms "stop-$kind")
    stop=$(field "stop-$kind" stop_unix_ms)
    silence=$(awk -v s="$start" -v t="$stop" -v l="$last" 'BEGIN { printf "%.0f", s + l - t }')
    first=$(echo "$e" | grep -o 'first_ms=[0-9]*' | cut -d= -f2)
    begun=$(awk -v s="$start" -v t="$(field "stop-$kind" start_unix_ms)" -v f="$first" 'BEGIN { printf "%.0f", s + f - t }')
    # The 2 s sound is stopped 1 s in: it must fall silent well before its own end.
    [ "$last" -lt $((first + 1800)) ] || fail "StopAll($kind) left sound until $last ms ($e)"
    note "StopAll($kind): silence ${silence} ms after the call, first sample ${begun} ms after Start ($e)"
done
echo "wave device behaves"
