#!/usr/bin/env bash
# The host-guest job protocol without a guest: serve_jobs runs here in the
# background in its place, and guest_run.sh hands it commands as ctest would.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/guest_jobs.sh"
work=$(mktemp -d)
server=
trap 'kill "$server" 2>/dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

start_server() {
    mkdir -p "$work/run/spool"
    serve_jobs "$work/run/spool" "${1:-600}" &
    server=$!
    echo "$server" >"$work/run/qemu.pid"
}

# guest_run.sh with the given environment; sets out, status and took (seconds).
guest_run() {
    local started=$SECONDS
    status=0
    out=$(env "$@" 2>&1) || status=$?
    took=$((SECONDS - started))
}

start_server
mkdir -p "$work/the cwd"
cd "$work/the cwd"

# Status and output come back; paths with blanks and quotes arrive intact;
# the tools built for the guest and its prefix replace the host's; the working folder is kept.
while IFS='|' read -r code expected_status; do
    guest_run BOARD_SOURCE_DIR="/src/it's here" BOARD_HOST_TOOLS=/host/tools BOARD_WINEPREFIX=/host/prefix \
        bash "$here/guest_run.sh" "$work/run" bash -c \
        'echo "$BOARD_SOURCE_DIR|$BOARD_HOST_TOOLS|$BOARD_WINEPREFIX|$PWD|$1"; exit "$2"' - "a b" "$code"
    [ "$status" = "$expected_status" ] || fail "exit $code came back as $status"
    [ "$out" = "/src/it's here|$work/run/tools|/root/wineprefix|$work/the cwd|a b" ] || fail "output: $out"
done <<'EOF'
0|0
3|3
124|124
EOF

# A command that overruns is ended inside the guest, the limit less a margin.
guest_run BOARD_GUEST_SECONDS=33 bash "$here/guest_run.sh" "$work/run" sleep 60
[ "$status" = 124 ] || fail "overrunning command: status $status"
[ "$took" -le 10 ] || fail "overrunning command ended after $took s"

# A guest that dies mid-job fails the test at once, not at the limit.
BOARD_GUEST_SECONDS=40 bash "$here/guest_run.sh" "$work/run" sleep 20 >"$work/dying.out" 2>&1 &
runner=$!
sleep 1
kill "$server"
wait "$server" 2>/dev/null || true
started=$SECONDS
status=0
wait "$runner" || status=$?
[ "$status" = 125 ] || fail "a guest dying mid-job: status $status"
[ $((SECONDS - started)) -le 3 ] || fail "a dead guest was noticed only after $((SECONDS - started)) s"
guest_run bash "$here/guest_run.sh" "$work/run" true
[ "$status" = 125 ] || fail "a job for a dead guest: status $status"
[[ $out == *"is gone"* ]] || fail "a dead guest is not named: $out"

# No guest at all: named, not waited for.
rm -f "$work/run/qemu.pid"
guest_run bash "$here/guest_run.sh" "$work/run" true
[ "$status" = 125 ] && [[ $out == *"no emulated i386 guest is running"* ]] || fail "no guest: $status $out"

# The guest stops serving when told to, and by itself when left idle.
rm -rf "$work/run"
start_server
touch "$work/run/spool/poweroff"
timeout 5 tail --pid="$server" -f /dev/null || fail "poweroff did not end the service"
rm -rf "$work/run"
start_server 2
timeout 5 tail --pid="$server" -f /dev/null || fail "an idle service did not end"
echo "guest job protocol: ok"
