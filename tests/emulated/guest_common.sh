# Sourced by the host's scripts of the emulated i386 test system: where its image
# is cached (one folder per recipe, keyed by the recipe's hash) and the qemu
# command line that boots it. Runs nothing itself.
EMULATED_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
SOURCE_DIR=$(cd "$EMULATED_DIR/../.." && pwd)
GUEST_CACHE=${BOARD_GUEST_CACHE:-/var/cache/board-i386-guest}

# Whatever goes into the image: a change to any of these makes a new one. The
# harness's tools are not in it: each run builds them anew for the guest (guest_tools.sh).
GUEST_RECIPE=(tests/emulated/make_guest.sh tests/emulated/guest_init tests/emulated/provision.sh)

guest_key() { (cd "$SOURCE_DIR" && sha256sum "${GUEST_RECIPE[@]}") | sha256sum | cut -c1-16; }
GUEST_DIR=$GUEST_CACHE/i386-$(guest_key)

# Boots the image in the background, its console into LOG; sets QEMU_PID.
# INIT is the guest's first program; SHARES lists TAG:PATH pairs (comma-separated)
# whose host folders the guest mounts at the same paths; qemu is ended after
# SECONDS whatever the guest does; the rest goes to qemu.
# Making the image runs at a lower priority than the host's tests beside it, which
# measure timings; a caller whose guest runs timed tests sets GUEST_NICENESS=0.
# With SMAP and SMEP on, the guest kernel kills every Wine process with a page fault.
guest_boot() {  # image-dir log init shares seconds [qemu args...]
    local dir=$1 log=$2 init=$3 shares=$4 seconds=$5
    shift 5
    timeout "$seconds" nice -n "${GUEST_NICENESS:-10}" qemu-system-i386 -M pc -accel tcg,thread=multi -smp 2 -m 2048 \
        -cpu max,-smap,-smep \
        -kernel "$dir/vmlinuz" -initrd "$dir/initrd.gz" \
        -append "console=ttyS0 panic=-1 rdinit=/init quiet board.init=$init board.shares=$shares" \
        -drive "file=$dir/disk.img,format=raw,if=virtio,cache=unsafe" \
        -display none -monitor none -serial "file:$log" -no-reboot "$@" \
        </dev/null >>"$log.qemu" 2>&1 &
    QEMU_PID=$!
}
