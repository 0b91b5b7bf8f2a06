#!/bin/sh
# Runs once inside the i386 guest as PID 1, on the disk debootstrap left half made:
# finishes Debian, installs 32-bit Wine and the test session's programs, builds
# the harness's recorder and matcher, makes the Wine prefix, and powers off.
export PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C DEBIAN_FRONTEND=noninteractive

PACKAGES="wine wine32 xvfb xdotool imagemagick sox pulseaudio pulseaudio-utils locales fonts-wqy-microhei
          libxcomposite1 libxcursor1 libxfixes3 libxi6 libxinerama1 libxrandr2 libxrender1 libxxf86vm1
          fonts-wine procps g++ pkg-config libpulse-dev"

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
step "installing 32-bit Wine, Xvfb, PulseAudio, xdotool, ImageMagick, sox, fonts, g++"
apt-get install -y -qq -o Acquire::Retries=3 --no-install-recommends $PACKAGES >/var/log/install.log 2>&1 ||
    { tail -20 /var/log/install.log; exit 1; }

step "locale zh_CN.UTF-8"
echo 'zh_CN.UTF-8 UTF-8' >>/etc/locale.gen
locale-gen >/dev/null

step "building the recorder and the matcher"
mkdir -p /board/tools
cd /board/src/tests/harness
g++ -O2 -std=c++17 -I/board/src -o /board/tools/wavmatch wavmatch.cpp signal_match.cpp wav_io.cpp
g++ -O2 -std=c++17 -I/board/src -o /board/tools/sinkrec sinkrec.cpp wav_io.cpp $(pkg-config --cflags --libs libpulse-simple)
cd /

step "Wine prefix (wineboot -i)"
export WINEPREFIX=/root/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Once seen: the first start ended at once in "could not load ntdll.so"; the next one worked.
for try in 1 2 3; do
    timeout 1200 wineboot -i >/var/log/wineboot.log 2>&1 && break
    [ $try -lt 3 ] || { tail -20 /var/log/wineboot.log; exit 1; }
    step "wineboot failed ($(tail -1 /var/log/wineboot.log)); once more"
    rm -rf "$WINEPREFIX"
done
timeout 300 wineserver -w

step "cleaning up"
apt-get clean
rm -rf /var/lib/apt/lists/*
trap - EXIT
finish done
