#!/usr/bin/env bash
# Set-up of the emulated i686 tests (a ctest fixture): makes or reuses the i386
# guest, builds the harness's tools for it, boots it once for the run with the
# source tree, the i686 build tree and the spool shared at their host paths, and
# returns once it serves jobs.
#   guest_start.sh RUN_DIR BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/guest_common.sh"
run=$1 build=$2
BOOT_SECONDS=${BOARD_GUEST_BOOT_SECONDS:-300}
# Longer than any ctest run: the bound for a guest whose stop never came.
LIFETIME_SECONDS=7200

bash "$EMULATED_DIR/make_guest.sh"
bash "$EMULATED_DIR/guest_tools.sh" "$GUEST_DIR/sysroot" "$run/tools"
bash "$EMULATED_DIR/guest_stop.sh" "$run"
rm -rf "$run/spool"
mkdir -p "$run/spool"
shares=spool:/board/spool,source:$SOURCE_DIR
folders=(-virtfs "local,path=$run/spool,mount_tag=spool,security_model=none"
         -virtfs "local,path=$SOURCE_DIR,mount_tag=source,security_model=none")
case $build/ in
    "$SOURCE_DIR"/*) ;;
    *) shares+=,build:$build
       folders+=(-virtfs "local,path=$build,mount_tag=build,security_model=none") ;;
esac

booted=$SECONDS
: >"$run/console.log"
# The disk is a snapshot: the cached image stays as made, whatever the tests write.
# The tests in it play and record sound in real time: they get full priority.
GUEST_NICENESS=0 guest_boot "$GUEST_DIR" "$run/console.log" "$SOURCE_DIR/tests/emulated/serve.sh" "$shares" \
    $LIFETIME_SECONDS -snapshot "${folders[@]}"
echo "$QEMU_PID" >"$run/qemu.pid"
until [ -e "$run/spool/ready" ]; do
    if ! kill -0 "$QEMU_PID" 2>/dev/null || [ $((SECONDS - booted)) -ge "$BOOT_SECONDS" ]; then
        echo "FAIL: the i386 guest did not come up within $BOOT_SECONDS s; its console:" >&2
        tail -25 "$run/console.log" | tr -d '\r' >&2
        cat "$run/console.log.qemu" >&2 2>/dev/null
        bash "$EMULATED_DIR/guest_stop.sh" "$run"
        exit 1
    fi
    sleep 0.5
done
echo "== i386 guest up after $((SECONDS - booted)) s (guest kernel: $(cat "$run/spool/ready")), qemu pid $QEMU_PID"
