#!/usr/bin/env bash
# Runs one i686 test command inside the emulated i386 guest (booted by
# guest_start.sh) as if on this host: same working folder, same paths, the BOARD_*
# settings ctest gave, but the guest's own 32-bit tools and Wine prefix. Prints
# its output; exits with its status (124 when it overran, 125 when the guest died).
#   guest_run.sh RUN_DIR COMMAND [ARGS...]     (limit: BOARD_GUEST_SECONDS, default 1500)
set -euo pipefail
source "$(dirname "$0")/guest_jobs.sh"
run=$1
shift
seconds=${BOARD_GUEST_SECONDS:-1500}
pid=$(cat "$run/qemu.pid" 2>/dev/null) ||
    { echo "FAIL: no emulated i386 guest is running (its set-up, emulated.i686.guest_start, failed or did not run)" >&2; exit 125; }

script=$(mktemp)
trap 'rm -f "$script"' EXIT
{
    printf 'cd %q\n' "$PWD"
    for var in $(compgen -e | grep '^BOARD_'); do printf 'export %s=%q\n' "$var" "${!var}"; done
    printf 'export BOARD_HOST_TOOLS=%q BOARD_WINEPREFIX=/root/wineprefix\n' "$run/tools"
    # Under emulation a sound reaches the sink 0.3-0.5 s after its click, and each
    # button takes 12-18 s: three of them stand for the 33, which every other build checks.
    echo 'export BOARD_SOUND_HOLD_SECONDS=1.5 BOARD_SOUND_BUTTONS="1 3 33"'
    # The guest ends the command itself a little before the host stops waiting.
    printf 'timeout -k 10 %d' $((seconds - 30))
    printf ' %q' "$@"
    # The shared build folder is cached in the guest: what the test wrote reaches the host first.
    printf '\nstatus=$?\nsync\nexit $status\n'
} >"$script"
status=0
run_job "$run/spool" "$(basename "$1")-$$" "$script" "$seconds" "$pid" || status=$?
exit $status
