# The sound path every sound test relies on: a known signal played through
# waveOut under Wine must be found, sample for sample, in the sink's recording,
# and neither silence nor a different signal may pass for it.
source "$BOARD_SOURCE_DIR/tests/harness/session.sh"
session_start
player="$BOARD_BUILD_DIR/tests/harness/probe_player.exe"

wavmatch probe "$SESSION_DIR/probe.wav" 1 1.5
wavmatch probe "$SESSION_DIR/other.wav" 2 1.5
sox -n -r 44100 -c 1 -b 16 "$SESSION_DIR/silence.wav" trim 0 1.5

play_and_record() {  # FILE -> recording path
    record_start "$SESSION_DIR/rec-$(basename "$1")"
    wine_start "$player" "$1"
    wine_wait "$WINE_PID" 60 || fail "probe player failed on $1"
    sleep 0.3
    record_stop
}

play_and_record "$SESSION_DIR/probe.wav"
result=$(wavmatch match "$SESSION_DIR/rec-probe.wav" "$SESSION_DIR/probe.wav" --threshold 0.98) \
    || fail "played probe not found in the recording: $result"
note "probe found: $result"

for wrong in silence other; do
    play_and_record "$SESSION_DIR/$wrong.wav"
    if result=$(wavmatch match "$SESSION_DIR/rec-$wrong.wav" "$SESSION_DIR/probe.wav" --threshold 0.5); then
        fail "probe reported in a recording of $wrong: $result"
    fi
    note "$wrong rejected: $result"
done
echo "sound path proven"
