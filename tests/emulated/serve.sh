#!/bin/bash
# PID 1 of the emulated i386 guest on a test boot (its disk a throwaway snapshot):
# prepares what the Wine harness expects of a machine, says "ready" in the spool,
# runs the host's jobs (guest_jobs.sh) until told to stop, then powers off.
export PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C
SPOOL=/board/spool
# A host that vanished without stopping the guest: it ends itself after this long idle.
IDLE_SECONDS=3600
LOCAL_COPY=/board/serve

power_off() {
    echo "== guest: $*"
    sync
    echo o >/proc/sysrq-trigger
    sleep 30
}

# The shared folders are mounted afresh below; a script read from one would hold it busy.
if [ "$(dirname "$0")" != "$LOCAL_COPY" ]; then
    mkdir -p "$LOCAL_COPY"
    cp "$0" "$(dirname "$0")/guest_jobs.sh" "$LOCAL_COPY/"
    exec /bin/bash "$LOCAL_COPY/serve.sh"
fi

mkdir -p /dev/pts /dev/shm
mount -t devpts devpts /dev/pts
mount -t tmpfs tmpfs /dev/shm
# devtmpfs leaves these out; the test scripts' process substitutions need /dev/fd.
ln -sfn /proc/self/fd /dev/fd
ln -sf /proc/self/fd/0 /dev/stdin
ln -sf /proc/self/fd/1 /dev/stdout
ln -sf /proc/self/fd/2 /dev/stderr
busybox ifconfig lo 127.0.0.1 up
# Wine reads a PE section that is not page-aligned in its file with a single pread,
# and on a 9p folder mounted cache=mmap that read ends after the first transfer
# (252 KiB): the rest of the section stayed zero and the program crashed in its own
# start-up. Through the page cache (cache=loose) reads are whole. The spool keeps
# cache=mmap: the guest must see the host's new jobs at once.
# A share may live under /tmp (a clone there): it is unmounted before /tmp gets
# its tmpfs and mounted again after, or the tmpfs would hide it.
shares=$(tr ' ' '\n' </proc/cmdline | sed -n 's/^board.shares=//p' | tr , '\n' | grep -v '^spool:')
for share in $shares; do
    umount "${share#*:}" || power_off "cannot unmount shared folder $share"
done
mount -t tmpfs tmpfs /tmp
for share in $shares; do
    tag=${share%%:*} path=${share#*:}
    mkdir -p "$path"
    mount -t 9p -o trans=virtio,version=9p2000.L,msize=262144,cache=loose "$tag" "$path" ||
        power_off "cannot mount shared folder $tag at $path with cache=loose"
done
source "$LOCAL_COPY/guest_jobs.sh"

echo "booted in $(cut -d' ' -f1 /proc/uptime) s" >"$SPOOL/ready"
echo "== guest: serving jobs from $SPOOL"
serve_jobs "$SPOOL" "$IDLE_SECONDS"
power_off "powering off"
