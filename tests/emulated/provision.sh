#!/bin/sh
# Runs once inside the i386 guest as PID 1, on the disk debootstrap left half made:
# finishes Debian, installs 32-bit Wine and the test session's programs, makes
# the Wine prefix, and powers off.
export PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C DEBIAN_FRONTEND=noninteractive

PACKAGES="wine wine32 xvfb xdotool imagemagick sox pulseaudio pulseaudio-utils locales fonts-wqy-microhei
          libxcomposite1 libxcursor1 libxfixes3 libxi6 libxinerama1 libxrandr2 libxrender1 libxxf86vm1
          fonts-wine procps"

step() { echo "== guest: $* ($(date +%T))"; }
# The host reads the last line to learn how it went; qemu ends with the guest.
finish() {
    sync
    echo "== guest: provisioning $1"
    echo o >/proc/sysrq-trigger
    sleep 30
}
trap 'finish failed' EXIT
set -e

step "debootstrap second stage"
/debootstrap/debootstrap --second-stage >/var/log/second-stage.log 2>&1 ||
    { tail -20 /var/log/second-stage.log; exit 1; }
# The second stage unmounts /proc and /sys on its way out, ours included: without
# /proc/self/exe Wine cannot find its ntdll.so, and without sysrq no power-off.
mountpoint -q /proc || mount -t proc proc /proc
mountpoint -q /sys || mount -t sysfs sys /sys
mkdir -p /dev/pts /dev/shm
mount -t devpts devpts /dev/pts
mount -t tmpfs tmpfs /dev/shm
mount -t tmpfs tmpfs /tmp

step "network"
busybox ifconfig lo 127.0.0.1 up
busybox ifconfig eth0 10.0.2.15 netmask 255.255.255.0 up
busybox route add default gw 10.0.2.2

step "apt-get update"
# An index caught in a mirror's sync fails alone; the rest still serve the install.
apt-get update -qq -o Acquire::Retries=3 || step "warning: some package lists could not be updated"
step "installing 32-bit Wine, Xvfb, PulseAudio, xdotool, ImageMagick, sox, fonts"
apt-get install -y -qq -o Acquire::Retries=3 --no-install-recommends $PACKAGES >/var/log/install.log 2>&1 ||
    { tail -20 /var/log/install.log; exit 1; }

step "locale zh_CN.UTF-8"
echo 'zh_CN.UTF-8 UTF-8' >>/etc/locale.gen
locale-gen >/dev/null

step "Wine prefix (wineboot -i)"
export WINEPREFIX=/root/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
timeout 1200 wineboot -i >/var/log/wineboot.log 2>&1 || { tail -20 /var/log/wineboot.log; exit 1; }
timeout 300 wineserver -w

step "cleaning up"
apt-get clean
rm -rf /var/lib/apt/lists/*
trap - EXIT
finish done
