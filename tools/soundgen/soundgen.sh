#!/usr/bin/env bash
# Rebuilds the 33 sound effects assets/sounds/sfx01.wav .. sfx33.wav from named
# package files (checked by sha256 against inputs.sha256) and our own recipes.
#
#   tools/soundgen/soundgen.sh [NN ...]        # all entries, or only the numbers given
#
# Needs: apt-get (download only, as root), dpkg, unzip, sox, espeak-ng, python3 (stdlib).
# The package files are fetched into $SOUNDGEN_INPUTS (default /tmp/soundgen-inputs),
# outside the repository: they are inputs of this generator only, never of the build.
# Afterwards it writes spectrograms to build/spectrograms/sfxNN.png and prints the
# measured onset, peak and loudness of every entry (tools/soundgen/measure.py).
set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
IN=${SOUNDGEN_INPUTS:-/tmp/soundgen-inputs}
OUT=$ROOT/assets/sounds
WORK=$IN/work
X=$IN/x
# Repeatable sox runs (its dither is otherwise seeded afresh each time).
export SOX_OPTS="-R"
PACKAGES="sonic-pi-samples wesnoth-1.16-data wesnoth-1.16-music supertux-data tuxpaint-data
  openarena-data openarena-081-players"

fetch_inputs() {
  mkdir -p "$IN/deb" "$X" "$IN/pk3"
  for p in $PACKAGES; do
    if [ ! -d "$X/$p" ]; then
      (cd "$IN/deb" && apt-get download "$p")
      mkdir -p "$X/$p"
      dpkg -x "$IN"/deb/"${p}"_*.deb "$X/$p"
    fi
  done
  local oa=$X/openarena-data/usr/share/games/openarena/baseoa/pak0.pk3
  local pl=$X/openarena-081-players/usr/share/games/openarena/baseoa/pak2-players.pk3
  unzip -o -q -d "$IN/pk3" "$oa" 'sound/weapons/machinegun/*'
  unzip -o -q -d "$IN/pk3" "$pl" 'sound/player/angelyss/*' 'sound/player/ayumi/*' \
    'sound/player/arachna/*'
  (cd "$IN" && sha256sum --quiet -c "$HERE/inputs.sha256")
}

SPI=x/sonic-pi-samples/usr/share/sonic-pi/samples
WD=x/wesnoth-1.16-data/usr/share/games/wesnoth/1.16/data
WM=x/wesnoth-1.16-music/usr/share/games/wesnoth/1.16/data/core/music
ST=x/supertux-data/usr/share/games/supertux2
TP=x/tuxpaint-data/usr/share/tuxpaint/sounds
OA=pk3/sound

# Any input to 16-bit stereo 44,100 Hz, with optional sox effects after it.
st() { local src=$1 dst=$2; shift 2; sox -G "$IN/$src" -r 44100 -c 2 -b 16 "$dst" "$@"; }
w16() { sox -G "$1" -r 44100 -c 2 -b 16 "$2" "${@:3}"; }
syn() { python3 "$HERE/synth.py" "$1" "$2" "${3:-1}"; }
mix() { python3 "$HERE/mix.py" "$@"; }
# A random number in [lo, hi) with three decimals, from bash's seeded RANDOM.
rnd() { awk -v r=$RANDOM -v lo="$1" -v hi="$2" 'BEGIN { printf "%.3f", lo + (hi - lo) * r / 32768 }'; }

# A crowd of synthetic voices saying TEXT, each voice with its own pitch, pace and place.
crowd() {
  local out=$1 seconds=$2 count=$3 spread=$4 text=$5 pitch_lo=$6 pitch_hi=$7
  local voices=(m1 m2 m3 m4 m5 m6 m7 f1 f2 f3 f4 f5 m8 f1 m3)
  local specs=()
  for ((i = 0; i < count; i++)); do
    local v=${voices[i % ${#voices[@]}]} f=$WORK/voice$i.wav
    espeak-ng -v "en+$v" -p $((pitch_lo + RANDOM % (pitch_hi - pitch_lo))) -s $((130 + RANDOM % 60)) \
      -w "$WORK/raw$i.wav" "$text"
    w16 "$WORK/raw$i.wav" "$f" pitch "$((RANDOM % 400 - 200))" highpass 120
    specs+=("$f@$(rnd 0 "$spread")@$(rnd 0.4 1.0)@$(rnd -0.9 0.9)")
  done
  mix "$out" "$seconds" "${specs[@]}"
}

# Each recipe writes $WORK/NN.wav at any length; render() fits it into the bank.
r01() {
  RANDOM=101
  syn claps "$WORK/c.wav" 11; w16 "$WORK/c.wav" "$WORK/c2.wav" sinc 500-7000 reverb 30 50 60
  syn whistles "$WORK/wh.wav" 12
  crowd "$WORK/v.wav" 4.3 14 1.2 "woooo! yeah!" 40 90
  w16 "$WORK/v.wav" "$WORK/v2.wav" reverb 50 50 80
  sox -G -m -v 1.0 "$WORK/c2.wav" -v 0.7 "$WORK/v2.wav" -v 0.35 "$WORK/wh.wav" "$WORK/01.wav"
}
r02() {
  RANDOM=102
  syn claps_fast "$WORK/c.wav" 21; w16 "$WORK/c.wav" "$WORK/c2.wav" sinc 500-7000 reverb 25 50 60
  syn whistles "$WORK/wh.wav" 22; w16 "$WORK/wh.wav" "$WORK/wh2.wav" pad 0 1.4
  crowd "$WORK/v.wav" 5.6 8 2.5 "yeah! woo!" 40 90
  sox -G -m -v 1.0 "$WORK/c2.wav" -v 0.4 "$WORK/v.wav" -v 0.3 "$WORK/wh2.wav" "$WORK/02.wav"
}
r03() {
  RANDOM=103
  crowd "$WORK/v.wav" 4.6 16 0.6 "ha ha ha ha ha ha ha ha" 30 99
  st "$WD/core/sounds/dwarf-laugh.wav" "$WORK/d1.wav"
  st "$WD/core/sounds/dwarf-laugh.wav" "$WORK/d2.wav" pitch 500
  st "$TP/giggle.wav" "$WORK/g1.wav"
  st "$TP/giggle.wav" "$WORK/g2.wav" pitch -300
  mix "$WORK/m.wav" 4.6 "$WORK/v.wav@0@1.0" "$WORK/d1.wav@0.1@0.6@-0.5" "$WORK/d2.wav@1.3@0.5@0.6" \
    "$WORK/g1.wav@0.5@0.5@0.3" "$WORK/g2.wav@2.2@0.5@-0.4" "$WORK/d1.wav@2.0@0.4@0.2"
  w16 "$WORK/m.wav" "$WORK/03.wav" reverb 60 50 90
}
r04() { st "$WD/campaigns/World_Conquest/sounds/witches-laugh.wav" "$WORK/04.wav"; }
r05() {
  local s=()
  for f in angelyss/falling1 ayumi/death3 arachna/falling1 angelyss/death3 ayumi/falling1 \
    arachna/death3 angelyss/death2; do
    s+=("$IN/$OA/player/$f.wav")
  done
  sox "${s[@]}" -r 44100 -c 2 -b 16 "$WORK/s.wav"
  w16 "$WORK/s.wav" "$WORK/05.wav" reverb 40 50 70 pad 0 1
}
r06() {
  st "$SPI/misc_crow.flac" "$WORK/crow.wav"
  st "$SPI/misc_crow.flac" "$WORK/crow2.wav" pitch -150
  st "$WD/core/sounds/bat-flapping.wav" "$WORK/flap.wav" pitch -400 lowpass 3000
  local specs=()
  for i in 0 1 2 3 4 5 6 7 8; do
    specs+=("$WORK/flap.wav@$(awk -v i=$i 'BEGIN{print i*0.33}')@0.7@$(awk -v i=$i 'BEGIN{print -0.9+i*0.22}')")
  done
  mix "$WORK/m.wav" 3.5 "$WORK/crow.wav@0@1.0@-0.7" "$WORK/crow2.wav@0.75@0.9@-0.3" \
    "$WORK/crow.wav@1.6@0.9@0.2" "$WORK/crow2.wav@2.3@0.8@0.7" "${specs[@]}"
  w16 "$WORK/m.wav" "$WORK/06.wav" reverb 20 50 60
}
r07() { syn light_on "$WORK/l.wav" 7; w16 "$WORK/l.wav" "$WORK/07.wav" reverb 50 50 90; }
r08() { syn light_off "$WORK/l.wav" 8; w16 "$WORK/l.wav" "$WORK/08.wav" lowpass 4000 reverb 20; }
r09() { st "$ST/music/misc/leveldone.ogg" "$WORK/09.wav"; }
r10() { st "$WM/victory2.ogg" "$WORK/10.wav"; }
r11() { st "$WM/traveling_minstrels.ogg" "$WORK/11.wav" trim 0 30; }
r12() { st "$WM/heroes_rite.ogg" "$WORK/12.wav" trim 0 25; }
r13() {
  RANDOM=113
  st "$TP/keyclick.wav" "$WORK/k.wav"
  st "$TP/keyclick.wav" "$WORK/k2.wav" pitch -250
  st "$TP/typewriterbell.wav" "$WORK/bell.wav"
  local specs=() t=0
  while awk -v t=$t 'BEGIN{exit !(t < 1.75)}'; do
    specs+=("$WORK/k$((RANDOM % 2 == 0 ? 2 : 0)).wav@$t@$(rnd 0.6 1.0)@$(rnd -0.3 0.3)")
    t=$(awk -v t=$t -v d="$(rnd 0.07 0.16)" 'BEGIN{print t + d}')
  done
  specs=("${specs[@]//k0.wav/k.wav}")
  mix "$WORK/13.wav" 2.3 "${specs[@]}" "$WORK/bell.wav@1.85@0.6"
}
r14() { syn heartbeat "$WORK/h.wav" 14; w16 "$WORK/h.wav" "$WORK/14.wav" lowpass 400; }
r15() { syn snore "$WORK/s.wav" 15; w16 "$WORK/s.wav" "$WORK/15.wav" bass 6 200; }
r16() {
  st "$SPI/ambi_haunted_hum.flac" "$WORK/h.wav"
  st "$SPI/ambi_dark_woosh.flac" "$WORK/w.wav"
  st "$WD/core/sounds/wail-long.wav" "$WORK/wail.wav" reverb 70 50 100 pad 0 2
  mix "$WORK/16.wav" 6.6 "$WORK/w.wav@0@1.0" "$WORK/h.wav@0@0.8" "$WORK/wail.wav@1.8@0.6@0.3"
}
r17() { syn kiss "$WORK/k.wav" 17; w16 "$WORK/k.wav" "$WORK/17.wav" reverb 15 50 40; }
r18() { syn slap "$WORK/s.wav" 18; w16 "$WORK/s.wav" "$WORK/18.wav" sinc 300-9000 reverb 20 50 40; }
r19() {
  RANDOM=119
  syn raspberry "$WORK/p.wav" 19
  crowd "$WORK/b.wav" 2.3 8 0.3 "boooooo" 10 35
  mix "$WORK/m.wav" 2.9 "$WORK/p.wav@0@1.0" "$WORK/b.wav@0.55@0.9"
  w16 "$WORK/m.wav" "$WORK/19.wav" reverb 30 50 60
}
r20() { syn ringtone "$WORK/r.wav" 20; w16 "$WORK/r.wav" "$WORK/20.wav" reverb 20 50 50; }
r21() {
  # The busy signal: 450 Hz, 0.35 s on and 0.35 s off.
  sox -n -r 44100 -c 2 -b 16 "$WORK/beep.wav" synth 0.35 sine 450 fade 0.005 0.35 0.005 pad 0 0.35
  sox "$WORK/beep.wav" "$WORK/busy.wav" repeat 4
  espeak-ng -v cmn-latn-pinyin -s 150 -w "$WORK/cn.raw.wav" \
    "nin2 bo1 da3 de5 dian4 hua4 zheng4 zai4 tong1 hua4 zhong1, qing3 shao1 hou4 zai4 bo1."
  espeak-ng -v en+f3 -s 150 -w "$WORK/en.raw.wav" \
    "Sorry! The subscriber you dialed is busy now. Please redial later."
  w16 "$WORK/cn.raw.wav" "$WORK/cn.wav" pad 0 0.4
  w16 "$WORK/en.raw.wav" "$WORK/en.wav" pad 0 0.4
  w16 "$WORK/cn.raw.wav" "$WORK/cnhi.wav" pitch 700 tempo 1.4 pad 0 0.3
  w16 "$WORK/en.raw.wav" "$WORK/enhi.wav" pitch 700 tempo 1.4 pad 0 0.3
  w16 "$WORK/cn.raw.wav" "$WORK/cnlo.wav" pitch -600 tempo 0.7 pad 0 0.4
  w16 "$WORK/en.raw.wav" "$WORK/enlo.wav" pitch -600 tempo 0.7 pad 0 0.4
  sox "$WORK/busy.wav" "$WORK/cn.wav" "$WORK/en.wav" "$WORK/busy.wav" "$WORK/cnhi.wav" \
    "$WORK/enhi.wav" "$WORK/cnhi.wav" "$WORK/busy.wav" "$WORK/cnlo.wav" "$WORK/enlo.wav" \
    "$WORK/busy.wav" "$WORK/cn.wav" "$WORK/busy.wav" "$WORK/busy.wav" "$WORK/b1.wav"
  w16 "$WORK/b1.wav" "$WORK/21.wav" sinc 300-3400
}
r22() {
  st "$SPI/drum_roll.flac" "$WORK/roll.wav"
  st "$SPI/drum_cymbal_hard.flac" "$WORK/cym.wav"
  st "$SPI/drum_heavy_kick.flac" "$WORK/kick.wav"
  mix "$WORK/22.wav" 2.0 "$WORK/roll.wav@0@0.8" "$WORK/cym.wav@0.95@0.9" "$WORK/kick.wav@0.95@1.0"
  sox "$WORK/22.wav" "$WORK/22b.wav" trim 0 0.95 fade 0 0.95 0.05
  mix "$WORK/22.wav" 2.0 "$WORK/22b.wav@0@1.0" "$WORK/cym.wav@0.95@0.9" "$WORK/kick.wav@0.95@1.0"
}
r23() {
  syn screech "$WORK/s.wav" 23
  st "$ST/sounds/skid.wav" "$WORK/skid.wav"
  mix "$WORK/m.wav" 3.2 "$WORK/s.wav@0@0.8" "$WORK/skid.wav@0@0.8"
  w16 "$WORK/m.wav" "$WORK/23.wav" highpass 300 reverb 20
}
r24() {
  espeak-ng -v cmn-latn-pinyin -s 100 -p 20 -w "$WORK/k.raw.wav" "gei3 wo3 gui4 xia4!"
  w16 "$WORK/k.raw.wav" "$WORK/k.wav" pitch -300 pad 0 0.2
  w16 "$WORK/k.raw.wav" "$WORK/k2.wav" pitch -400 tempo 0.85 pad 0 0.2
  mix "$WORK/m.wav" 6.2 "$WORK/k.wav@0@0.85" "$WORK/k2.wav@2.6@1.0"
  w16 "$WORK/m.wav" "$WORK/24.wav" echo 0.8 0.7 300 0.35 600 0.2 reverb 40
}
r25() {
  syn boing "$WORK/b.wav" 25
  st "$ST/sounds/trampoline.wav" "$WORK/t.wav" fade 0 0.55 0.08
  mix "$WORK/25.wav" 1.1 "$WORK/b.wav@0@0.6" "$WORK/t.wav@0@0.9"
}
r26() {
  syn tinkles "$WORK/t.wav" 26
  st "$ST/sounds/icecrash.ogg" "$WORK/i.wav"
  st "$ST/sounds/crystallo-shatter.ogg" "$WORK/c.wav"
  mix "$WORK/m.wav" 1.5 "$WORK/i.wav@0@1.0" "$WORK/c.wav@0.02@0.7@0.3" "$WORK/t.wav@0@0.6"
  w16 "$WORK/m.wav" "$WORK/26.wav" reverb 20
}
r27() {
  syn crackle "$WORK/c.wav" 27
  st "$ST/sounds/firecracker.ogg" "$WORK/f.wav"
  st "$ST/sounds/firecracker.ogg" "$WORK/f2.wav" pitch 300
  mix "$WORK/m.wav" 2.6 "$WORK/f.wav@0@1.0@-0.3" "$WORK/c.wav@0@0.7" "$WORK/f2.wav@0.7@0.9@0.4" \
    "$WORK/f.wav@1.4@0.8@0.1"
  w16 "$WORK/m.wav" "$WORK/27.wav" reverb 30
}
r28() { syn ambulance "$WORK/a.wav" 28; w16 "$WORK/a.wav" "$WORK/28.wav" lowpass 5000 reverb 20; }
r29() { syn police "$WORK/p.wav" 29; w16 "$WORK/p.wav" "$WORK/29.wav" lowpass 5000 reverb 30; }
r30() {
  RANDOM=130
  local specs=() t=0 shot
  for i in 1 2 3 4; do st "$OA/weapons/machinegun/machgf${i}b.wav" "$WORK/g$i.wav"; done
  st "$OA/weapons/machinegun/ric1.wav" "$WORK/ric.wav"
  while awk -v t=$t 'BEGIN{exit !(t < 19.0)}'; do
    local len; len=$(rnd 1.2 3.2)
    local end; end=$(awk -v t=$t -v l=$len 'BEGIN{print t + l}')
    while awk -v t=$t -v e=$end 'BEGIN{exit !(t < e && t < 19.0)}'; do
      shot=$((RANDOM % 4 + 1))
      specs+=("$WORK/g$shot.wav@$t@$(rnd 0.8 1.0)@$(rnd -0.2 0.2)")
      t=$(awk -v t=$t 'BEGIN{print t + 0.085}')
    done
    specs+=("$WORK/ric.wav@$t@0.4@$(rnd -0.8 0.8)")
    t=$(awk -v t=$t -v g="$(rnd 0.35 0.8)" 'BEGIN{print t + g}')
  done
  mix "$WORK/m.wav" 19.6 "${specs[@]}"
  w16 "$WORK/m.wav" "$WORK/30.wav" reverb 20
}
r31() {
  st "$OA/weapons/machinegun/machgf3b.wav" "$WORK/g.wav" pitch -300
  st "$OA/weapons/machinegun/machgf1b.wav" "$WORK/g2.wav" pitch -250
  mix "$WORK/m.wav" 3.1 "$WORK/g.wav@0@1.0" "$WORK/g2.wav@0.8@1.0@0.1" "$WORK/g.wav@1.45@1.0@-0.1"
  w16 "$WORK/m.wav" "$WORK/31.wav" reverb 50 50 80
}
r32() {
  st "$SPI/misc_cineboom.flac" "$WORK/b.wav"
  st "$WD/core/sounds/explosion.ogg" "$WORK/e.wav"
  mix "$WORK/32.wav" 3.3 "$WORK/e.wav@0@0.9" "$WORK/b.wav@0@1.0"
}
r33() { syn rotor "$WORK/h.wav" 33; w16 "$WORK/h.wav" "$WORK/33.wav" lowpass 2500 bass 8 80; }

# Entry number, channels, rate, bits, data bytes, tail fade (s) when the render is longer.
TABLE="
01 2 44100 16 686592 0.4
02 1 22050 8 116502 0.3
03 2 44100 16 778752 0.5
04 2 11025 16 170000 0.6
05 2 44100 16 1617408 0.6
06 2 44100 16 608256 0.3
07 2 44100 16 958464 1.0
08 2 44100 16 225792 0.2
09 2 44100 16 622080 0.8
10 2 44100 16 3474432 2.0
11 2 44100 16 3985920 2.5
12 2 44100 16 3124224 2.5
13 2 44100 16 400896 0.1
14 2 44100 16 857088 0.3
15 2 44100 16 410112 0.1
16 2 44100 16 1124352 1.5
17 2 44100 16 322520 0.3
18 2 44100 16 350208 0.5
19 2 44100 16 502272 0.4
20 2 44100 16 359424 0.1
21 2 44100 16 7824384 0.5
22 2 44100 16 248832 0.3
23 2 44100 16 552960 0.4
24 2 44100 16 1027584 0.6
25 2 44100 16 179712 0.1
26 2 44100 16 253440 0.3
27 2 44100 16 433152 0.4
28 2 44100 16 294912 0.1
29 2 44100 16 1032192 0.3
30 2 44100 16 3423744 0.5
31 2 44100 16 539136 0.5
32 2 44100 16 566784 1.0
33 2 44100 16 889344 0.5
"

render() {
  local nn=$1 ch rate bits bytes fade
  read -r _ ch rate bits bytes fade < <(grep "^$nn " <<<"$TABLE")
  "r$nn"
  sox "$WORK/$nn.wav" -t raw -e signed -b 32 -c "$ch" -r "$rate" "$WORK/$nn.s32" rate -v
  python3 "$HERE/finish.py" "$WORK/$nn.s32" "$OUT/sfx$nn.wav" "$ch" "$rate" "$bits" "$bytes" "$fade"
  echo "sfx$nn.wav written"
}

main() {
  fetch_inputs
  mkdir -p "$WORK" "$OUT"
  cd "$IN"
  local list=("$@")
  [ ${#list[@]} -gt 0 ] || mapfile -t list < <(awk 'NF { print $1 }' <<<"$TABLE")
  for nn in "${list[@]}"; do render "$nn"; done
  "$HERE/sonograms.sh"
  python3 "$HERE/measure.py" "$OUT"/sfx*.wav
}

main "$@"
