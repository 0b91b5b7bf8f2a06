#!/usr/bin/env bash
# Clean-up of the emulated i686 tests (a ctest fixture), also used before a boot:
# asks the guest that RUN_DIR records to power off, and ends its qemu by pid if
# it has not within a minute. Nothing to do when no guest is recorded.
#   guest_stop.sh RUN_DIR
set -euo pipefail
run=$1
pid=$(cat "$run/qemu.pid" 2>/dev/null) || exit 0
rm -f "$run/qemu.pid"
# Only the guest's own process: a recycled pid belongs to someone else.
grep -qa qemu-system-i386 "/proc/$pid/cmdline" 2>/dev/null || exit 0
touch "$run/spool/poweroff"
for _ in $(seq 600); do
    kill -0 "$pid" 2>/dev/null || { echo "== i386 guest powered off"; exit 0; }
    sleep 0.1
done
echo "== i386 guest did not power off within 60 s; ending qemu (pid $pid)"
kill -TERM "$pid" 2>/dev/null || true
sleep 5
kill -KILL "$pid" 2>/dev/null || true
