# Sourced by end-to-end tests: one private X display, one private sound server
# with a null sink named "board", and the build's cached Wine prefix. Everything
# it starts is ended by pid when the test exits, also on failure or timeout.
#
#   source tests/harness/session.sh
#   session_start                 # display + sound + prefix; exports DISPLAY, WINEPREFIX, ...
#   record_start out.wav / record_stop   # out.wav.t0: wall time of its first sample
#   wine_start prog.exe args...   # pid in $WINE_PID;  wine_wait PID SECONDS -> exit code
#   window_wait NAME SECONDS      # X window id of a window whose title matches NAME
#   click X Y / key KEY / screenshot out.png
#   browser_standin               # xdg-open stand-in; opened addresses land in $OPENED_FILE
#   wavmatch ...                  # the native checker (tests/harness/wavmatch.cpp)
set -euo pipefail

: "${BOARD_BUILD_DIR:?set by ctest}"
: "${BOARD_HOST_TOOLS:?set by ctest}"
: "${BOARD_WINEPREFIX:=$BOARD_BUILD_DIR/wineprefix}"

SESSION_DIR=$(mktemp -d /tmp/board-session.XXXXXX)
SESSION_PIDS=()
RECORD_PID=
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 WINEDEBUG=-all WINEPREFIX=$BOARD_WINEPREFIX
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# The build's architecture picks Wine's loader: /usr/bin/wine takes the 32-bit one
# whenever it is installed, even where it cannot run, and even for a 64-bit program.
case ${BOARD_ARCH:-i686} in
    x86_64) export WINELOADER=/usr/lib/wine/wine64 WINEARCH=win64 ;;
    *) export WINELOADER=/usr/lib/wine/wine ;;
esac

fail() { echo "FAIL: $*" >&2; exit 1; }
note() { echo "-- $*"; }

session_cleanup() {
    local status=$?
    set +e
    [ -n "$RECORD_PID" ] && kill -INT "$RECORD_PID" 2>/dev/null
    if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
        wineserver -k 2>/dev/null
    fi
    local i
    for ((i = ${#SESSION_PIDS[@]} - 1; i >= 0; i--)); do
        stop_pid "${SESSION_PIDS[i]}"
    done
    if [ "$status" -ne 0 ] && [ -n "${BOARD_KEEP_FAILED:-}" ]; then
        echo "session files kept in $SESSION_DIR" >&2
    else
        rm -rf "$SESSION_DIR"
    fi
    exit "$status"
}
trap session_cleanup EXIT
trap 'exit 124' TERM INT

stop_pid() {
    local pid=$1 n
    kill -TERM "$pid" 2>/dev/null || return 0
    for n in $(seq 20); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
}

# Polls COMMAND until it succeeds or SECONDS pass.
wait_for() {
    local seconds=$1 deadline
    shift
    deadline=$((SECONDS + seconds))
    until "$@" >/dev/null 2>&1; do
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.1
    done
}

display_start() {
    local n
    for n in $(seq 100 400); do
        [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ] && continue
        Xvfb :$n -screen 0 1024x768x24 -nolisten tcp >"$SESSION_DIR/xvfb.log" 2>&1 &
        local pid=$!
        if wait_for 10 test -e /tmp/.X11-unix/X$n && kill -0 $pid 2>/dev/null; then
            SESSION_PIDS+=("$pid")
            export DISPLAY=:$n
            return 0
        fi
        stop_pid $pid
    done
    fail "no free X display"
}

sound_start() {
    export XDG_RUNTIME_DIR=$SESSION_DIR/xdg
    mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
    export PULSE_RUNTIME_PATH=$XDG_RUNTIME_DIR/pulse
    pulseaudio --daemonize=no --disable-shm=yes --exit-idle-time=-1 --disallow-exit -n --use-pid-file=no \
        --load="module-null-sink sink_name=board rate=44100 channels=2" \
        --load="module-native-protocol-unix" >"$SESSION_DIR/pulse.log" 2>&1 &
    SESSION_PIDS+=("$!")
    wait_for 15 pactl info || fail "sound server did not start: $(tail -3 "$SESSION_DIR/pulse.log")"
    pactl set-default-sink board
}

# The prefix is made once per build tree and reused; tests take the "wine" ctest lock.
prefix_ensure() {
    if [ ! -e "$WINEPREFIX/.board-ready" ]; then
        note "creating Wine prefix $WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        # Under processor emulation a first start takes minutes, hence the long limit.
        if [ ! -e "$WINEPREFIX/system.reg" ]; then
            timeout 1500 wineboot -i >"$SESSION_DIR/wineboot.log" 2>&1 || fail "wineboot failed: $(tail -3 "$SESSION_DIR/wineboot.log")"
        fi
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
        timeout 600 wineserver -w
        touch "$WINEPREFIX/.board-ready"
    fi
}

# wine and wineboot on PATH (and so in every script and tool a test
# starts) are the build's own architecture's.
wine_commands() {
    mkdir -p "$SESSION_DIR/bin"
    printf '#!/bin/sh\nexec "%s" "$@"\n' "$WINELOADER" >"$SESSION_DIR/bin/wine"
    printf '#!/bin/sh\nexec "%s" wineboot "$@"\n' "$WINELOADER" >"$SESSION_DIR/bin/wineboot"
    chmod +x "$SESSION_DIR/bin/wine" "$SESSION_DIR/bin/wineboot"
    export PATH=$SESSION_DIR/bin:$PATH
    [ -x "$WINELOADER" ] || fail "Wine's loader for $BOARD_ARCH ($WINELOADER) is not installed"
}

session_start() {
    wine_commands
    display_start
    sound_start
    prefix_ensure
}

# Records the sink into FILE; FILE.t0 holds the wall-clock time of its first sample.
record_start() {
    rm -f "$1.t0"
    "$BOARD_HOST_TOOLS/sinkrec" "$1" --clock "$1.t0" &
    RECORD_PID=$!
    wait_for 10 test -e "$1.t0" || fail "the recorder did not start"
}

record_stop() {
    [ -n "$RECORD_PID" ] || return 0
    kill -INT "$RECORD_PID" 2>/dev/null || true
    wait "$RECORD_PID" || fail "the recorder failed"
    RECORD_PID=
}

# Seconds since the epoch, as the recorder's clock file counts them.
now() { date +%s.%N; }

# Wine's sound driver asks the server for a short buffer that underruns in the
# first second whenever the machine is busy; a test needs every sample intact.
wine_start() {
    PULSE_LATENCY_MSEC=${PULSE_LATENCY_MSEC:-60} wine "$@" >>"$SESSION_DIR/wine.log" 2>&1 &
    WINE_PID=$!
    SESSION_PIDS+=("$WINE_PID")
}

# Waits for PID to end within SECONDS; prints nothing, returns its exit code (124 on timeout).
wine_wait() {
    local pid=$1 seconds=$2 deadline=$((SECONDS + $2))
    while kill -0 "$pid" 2>/dev/null; do
        if [ $SECONDS -ge $deadline ]; then
            stop_pid "$pid"
            return 124
        fi
        sleep 0.1
    done
    local status=0
    wait "$pid" || status=$?
    return $status
}

window_wait() {
    local name=$1 seconds=$2 deadline=$((SECONDS + $2)) id
    while [ $SECONDS -lt $deadline ]; do
        id=$(xdotool search --onlyvisible --name "$name" 2>/dev/null | head -1) || true
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.1
    done
    return 1
}

click() { xdotool mousemove "$1" "$2" click "${3:-1}"; }
key() { xdotool key "$@"; }
screenshot() { import -window root "$1"; }

browser_standin() {
    OPENED_FILE=$SESSION_DIR/opened.txt
    mkdir -p "$SESSION_DIR/bin"
    : >"$OPENED_FILE"
    printf '#!/bin/sh\necho "$@" >> "%s"\n' "$OPENED_FILE" >"$SESSION_DIR/bin/xdg-open"
    chmod +x "$SESSION_DIR/bin/xdg-open"
    export PATH=$SESSION_DIR/bin:$PATH
}

wavmatch() { "$BOARD_HOST_TOOLS/wavmatch" "$@"; }
