#!/bin/bash
# PID 1 of the emulated i386 guest on a test boot (its disk a throwaway snapshot):
# prepares what the Wine harness expects of a machine, says "ready" in the spool,
# runs the host's jobs (guest_jobs.sh) until told to stop, then powers off.
export PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C
SPOOL=/board/spool
# A host that vanished without stopping the guest: it ends itself after this long idle.
IDLE_SECONDS=3600

mkdir -p /dev/pts /dev/shm
mount -t devpts devpts /dev/pts
mount -t tmpfs tmpfs /dev/shm
mount -t tmpfs tmpfs /tmp
busybox ifconfig lo 127.0.0.1 up
source "$(dirname "$0")/guest_jobs.sh"

echo "booted in $(cut -d' ' -f1 /proc/uptime) s" >"$SPOOL/ready"
echo "== guest: serving jobs from $SPOOL"
serve_jobs "$SPOOL" "$IDLE_SECONDS"
echo "== guest: powering off"
sync
echo o >/proc/sysrq-trigger
sleep 30
