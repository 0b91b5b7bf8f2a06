# Sourced by the board's end-to-end tests (after tests/harness/session.sh):
# starting the board through its welcome prompt, the window inspector, and
# texts as GBK hex the way the inspector prints them.

INSPECTOR=$BOARD_BUILD_DIR/tests/app/window_probe.exe
BOARD_EXE=${BOARD_EXE:-$BOARD_BUILD_DIR/app/board.exe}
readonly IDOK_BUTTON=1 IDYES_BUTTON=6 IDNO_BUTTON=7

gbk_hex() { printf %s "$1" | iconv -f UTF-8 -t GBK | od -An -v -tx1 | tr -d ' \n'; }

inspect() { wine "$INSPECTOR" "$@" 2>/dev/null | tr -d '\r'; }

# board_start ANSWER (no|yes|none): none when the build has no welcome prompt
# yet. Sets BOARD_PID, BOARD_XID and STARTUP_MS (process start to window visible).
board_start() {
    local answer=$1 started
    started=$(date +%s%N)
    wine_start "$BOARD_EXE"
    BOARD_PID=$WINE_PID
    case $answer in
        no) inspect --press $IDNO_BUTTON || fail "no welcome prompt to answer" ;;
        yes) inspect --press $IDYES_BUTTON || fail "no welcome prompt to answer" ;;
    esac
    BOARD_XID=$(window_wait "example.com" 120) || fail "main window not shown"
    STARTUP_MS=$((($(date +%s%N) - started) / 1000000))
}

# Screen centre of the control captioned TEXT (UTF-8), from `inspect --at` output in $AT_FILE.
centre_of() {
    local hex
    hex=$(gbk_hex "$1")
    awk -F'\t' -v h="$hex" '$1 == h { print $2, $3; found = 1; exit } END { exit !found }' "$AT_FILE" \
        || fail "no control captioned $1"
}

# "centre-x centre-y left top" on the screen of the window captioned TEXT, from $AT_FILE.
place_of() {
    local hex
    hex=$(gbk_hex "$1")
    awk -F'\t' -v h="$hex" '$1 == h { print $2, $3, $4, $5; found = 1; exit } END { exit !found }' "$AT_FILE" \
        || fail "no window captioned $1"
}

# Esc in the board's window. Keys go where X's focus is, which on a slow system may
# not yet be the window Wine just showed: it is given the focus first.
board_close() {
    xdotool windowfocus "$BOARD_XID" 2>/dev/null || true
    key Escape
}

# Waits until the board process has ended; returns its exit code.
board_wait_exit() { wine_wait "$BOARD_PID" "${1:-60}"; }

# Lines opened through the shell so far.
opened_count() { grep -c . "$OPENED_FILE" || true; }

opened_at_least() { [ "$(opened_count)" -ge "$1" ]; }

wait_opened() { wait_for 30 opened_at_least "$1"; }
