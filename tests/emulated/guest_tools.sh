#!/usr/bin/env bash
# Builds the harness's recorder and matcher for the i386 guest, on the host, from
# this tree's sources: a run's tools always match its tests, and the guest image
# never holds a compiler. The recorder links against the guest's own sound client
# library, which make_guest.sh keeps beside the image.
#   guest_tools.sh SYSROOT OUT_DIR
set -euo pipefail
source "$(dirname "$0")/guest_common.sh"
sysroot=$1 out=$2
libs=$sysroot/usr/lib/i386-linux-gnu
# The sound headers are the same on every architecture: the host's serve.
headers=$(mktemp -d)
trap 'rm -rf "$headers"' EXIT
ln -s /usr/include/pulse "$headers/pulse"

mkdir -p "$out"
# SSE arithmetic: the emulator's x87 is far slower.
cxx=(i686-linux-gnu-g++ -O2 -msse2 -mfpmath=sse -std=c++17 -I"$SOURCE_DIR" -static-libstdc++ -static-libgcc)
harness=$SOURCE_DIR/tests/harness
"${cxx[@]}" -o "$out/wavmatch" "$harness/wavmatch.cpp" "$harness/signal_match.cpp" "$harness/wav_io.cpp"
# The library's own dependencies are the guest's business: only its symbols are checked here.
"${cxx[@]}" -isystem "$headers" -o "$out/sinkrec" "$harness/sinkrec.cpp" "$harness/wav_io.cpp" \
    "$libs/libpulse-simple.so.0" "$libs/libpulse.so.0" \
    -Wl,-rpath-link,"$libs:$libs/pulseaudio" -Wl,--allow-shlib-undefined
