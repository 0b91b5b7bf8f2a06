# OpenAddress reaches the shell: a stand-in browser records what it was given.
# A bare host goes out with the web scheme, so a program planted in the current
# directory under the host's name is never run; an address with a scheme is unchanged.
source "$BOARD_SOURCE_DIR/tests/harness/session.sh"
session_start
browser_standin
probe=$BOARD_BUILD_DIR/tests/platform/open_address_probe.exe
work=$SESSION_DIR/work
mkdir -p "$work"
cp "$BOARD_BUILD_DIR/tests/platform/planted_program.exe" "$work/www.example.com"

open_and_expect() {  # ADDRESS EXPECTED-PREFIX
    : >"$OPENED_FILE"
    (cd "$work" && wine "$probe" "$1") >>"$SESSION_DIR/wine.log" 2>&1 || fail "probe failed on $1"
    wait_for 60 test -s "$OPENED_FILE" || fail "the browser never got $1"
    local opened
    opened=$(head -1 "$OPENED_FILE")
    case "$opened" in
        "$2"*) note "$1 -> $opened" ;;
        *) fail "$1 opened as '$opened', expected '$2...'" ;;
    esac
}

open_and_expect "www.example.com" "http://www.example.com"
[ ! -e "$work/planted-ran" ] || fail "the program planted as www.example.com was run"
open_and_expect "http://www.example.com/page?a=1&b=2" "http://www.example.com/page?a=1&b=2"
open_and_expect "example.com" "http://example.com"
echo "open-address reaches the browser"
