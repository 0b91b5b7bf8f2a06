#!/usr/bin/env bash
# Makes the emulated i386 test system from Debian's packages, unless the cache
# already holds the one its recipe describes: an i386 bookworm disk with 32-bit
# Wine, its kernel, a small initramfs, and the guest's sound client library for
# linking the harness's recorder on the host. Prints one progress line per step.
set -euo pipefail
# debootstrap and the initramfs's device node need root, as the cache folder does.
[ "$(id -u)" -eq 0 ] || exec sudo -n --preserve-env=BOARD_GUEST_CACHE,BOARD_DEBIAN_MIRROR bash "$0" "$@"
source "$(dirname "$0")/guest_common.sh"

MIRROR=${BOARD_DEBIAN_MIRROR:-http://deb.debian.org/debian}
SUITE=bookworm
# The guest's drivers: its disk, the network it installs through, the shared folders.
MODULES=(virtio_pci virtio_blk ext4 virtio_net 9p 9pnet_virtio)
DISK_SIZE=6G
PROVISION_SECONDS=3000

started=$SECONDS
step() { echo "== i386 guest: $* (at $((SECONDS - started)) s)"; }
fail() { echo "== i386 guest: FAILED: $*" >&2; exit 1; }

[ -e "$GUEST_DIR/ready" ] && { step "cached in $GUEST_DIR"; exit 0; }
mkdir -p "$GUEST_CACHE"
exec 9>"$GUEST_CACHE/.lock"
flock -w $((PROVISION_SECONDS + 600)) 9 || fail "another build of the guest holds $GUEST_CACHE/.lock"
[ -e "$GUEST_DIR/ready" ] && { step "cached in $GUEST_DIR (built meanwhile)"; exit 0; }

work=$GUEST_DIR.part
rm -rf "$work"
mkdir -p "$work"
root=$work/root

step "debootstrap --foreign on the host, from $MIRROR"
timeout 900 debootstrap --foreign --arch=i386 --variant=minbase \
    --include=busybox-static,linux-image-686,ca-certificates,libpulse0 "$SUITE" "$root" "$MIRROR" \
    >"$work/debootstrap.log" 2>&1 || fail "debootstrap: $(tail -3 "$work/debootstrap.log")"
# debootstrap leaves /proc a link to the host's; the guest mounts its own there.
rm -f "$root/proc"
mkdir -p "$root/proc"
# The second stage then leaves the kernel and its initramfs tools out: the host boots the kernel.
# libpulse0 came only for its library (below); the guest's sound packages install it.
printf '%s\n' busybox-static ca-certificates libssl3 openssl >"$root/debootstrap/base"
# Under emulation every fsync costs, and nobody reads the guest's manuals.
printf '%s\n' force-unsafe-io 'path-exclude=/usr/share/doc/*' 'path-exclude=/usr/share/man/*' \
    'path-exclude=/usr/share/info/*' >"$root/etc/dpkg/dpkg.cfg.d/board-guest"

archives=$root/var/cache/apt/archives
step "the guest's sound client library, for linking its recorder on the host"
dpkg -x "$(ls "$archives"/libpulse0_*_i386.deb)" "$work/sysroot"

step "kernel and initramfs"
kernel=$work/kernel
mkdir -p "$kernel"
for deb in "$archives"/linux-image-[0-9]*.deb "$archives"/busybox-static_*.deb; do
    dpkg -x "$deb" "$kernel"
done
rm -f "$archives"/linux-image-*.deb
version=$(basename "$(ls -d "$kernel"/lib/modules/*)")
cp "$kernel/boot/vmlinuz-$version" "$work/vmlinuz"
depmod -b "$kernel" "$version"
initramfs=$work/initramfs
mkdir -p "$initramfs"/{bin,dev,proc,sys,root}
cp "$kernel/bin/busybox" "$initramfs/bin/busybox"
cp "$EMULATED_DIR/guest_init" "$initramfs/init"
chmod +x "$initramfs/init"
mknod "$initramfs/dev/console" c 5 1
for module in "${MODULES[@]}"; do modprobe -d "$kernel" -S "$version" --show-depends "$module"; done | awk '$1 == "insmod" && !seen[$2]++ { print $2 }' |
    while read -r module; do
        relative=${module#"$kernel"/}
        mkdir -p "$initramfs/$(dirname "$relative")"
        cp "$module" "$initramfs/$relative"
        echo "$relative"
    done >"$initramfs/modules.list"
[ -s "$initramfs/modules.list" ] || fail "no driver modules found for $version"
(cd "$initramfs" && find . | cpio -o -H newc --quiet | gzip -1) >"$work/initrd.gz"

step "root disk ($DISK_SIZE, sparse)"
mirror_host=$(echo "$MIRROR" | sed -E 's|^[a-z]+://([^/:]+).*|\1|')
mirror_address=$(getent ahostsv4 "$mirror_host" | awk 'NR == 1 { print $1 }')
[ -n "$mirror_address" ] || fail "cannot resolve $mirror_host"
# qemu's own name server did not answer the guest: it gets the address the host sees.
printf '127.0.0.1\tlocalhost\n%s\t%s\n' "$mirror_address" "$mirror_host" >"$root/etc/hosts"
printf 'deb %s %s main\ndeb %s %s-updates main\ndeb %s-security %s-security main\n' \
    "$MIRROR" "$SUITE" "$MIRROR" "$SUITE" "$MIRROR" "$SUITE" >"$root/etc/apt/sources.list"
echo board-i386 >"$root/etc/hostname"
mkdir -p "$root/board"
cp "$EMULATED_DIR/provision.sh" "$root/board/provision.sh"
chmod +x "$root/board/provision.sh"
truncate -s "$DISK_SIZE" "$work/disk.img"
mkfs.ext4 -q -F -L board-i386 -d "$root" "$work/disk.img" || fail "mkfs.ext4"
rm -rf "$root" "$kernel" "$initramfs"

step "provisioning inside the guest (second stage, Wine, prefix)"
log=$work/provision.log
: >"$log"
guest_boot "$work" "$log" /board/provision.sh "" $PROVISION_SECONDS -nic user,model=virtio-net-pci
# The guest's own progress lines, as they come.
tail -n +1 -f --pid="$QEMU_PID" "$log" | sed -un 's/\r$//; /^== guest/p' || true
wait "$QEMU_PID" || true
tail -5 "$log" | tr -d '\r' | grep -q '^== guest: provisioning done' ||
    fail "provisioning did not finish (log: $log): $(tail -15 "$log" | tr -d '\r')"

touch "$work/ready"
rm -rf "$GUEST_DIR"
mv "$work" "$GUEST_DIR"
# Images of earlier recipes are not used again.
find "$GUEST_CACHE" -mindepth 1 -maxdepth 1 -name 'i386-*' ! -path "$GUEST_DIR" -exec rm -rf {} +
step "ready in $GUEST_DIR ($(du -sh "$GUEST_DIR" | cut -f1) on disk)"
