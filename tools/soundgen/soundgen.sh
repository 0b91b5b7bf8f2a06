#!/usr/bin/env bash
# Rebuilds the 33 sound effects assets/sounds/sfx01.wav .. sfx33.wav from named
# package files (each in inputs.tsv with its licence, checked by sha256 and by the
# licence gate against its own tags) and our own recipes, then levels every entry by
# BS.1770 loudness in its final format (finish.py).
#
#   tools/soundgen/soundgen.sh [NN ...]        # all entries, or only the numbers given
#
# Installs what it lacks (as root): sox, ffmpeg, espeak-ng, fluidsynth, unzip and
# Debian's python3 with numpy and scipy. The package files are fetched with
# `apt-get download` into $SOUNDGEN_INPUTS (default /tmp/soundgen-inputs), outside the
# repository: they are inputs of this generator only, never of the build.
# Afterwards it writes spectrograms and a contact sheet to build/spectrograms/ and
# prints the measures of every entry (tools/soundgen/measure.py).
set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
IN=${SOUNDGEN_INPUTS:-/tmp/soundgen-inputs}
OUT=$ROOT/assets/sounds
WORK=$IN/work
X=$IN/x
# Debian's own interpreter, which the python3-numpy and python3-scipy packages serve.
PY=/usr/bin/python3
# Repeatable sox runs (its dither is otherwise seeded afresh each time).
export SOX_OPTS="-R"
TOOLS="sox ffmpeg espeak-ng fluidsynth unzip python3 python3-numpy python3-scipy"
PACKAGES="sonic-pi-samples wesnoth-1.16-data supertux-data openarena-data openarena-081-players
  heroes-sound-effects bucklespring-data fluid-soundfont-gm"

# A mirror in mid-sync can refuse an install that the release's own versions satisfy.
install_tools() {
  local missing=() p
  for p in $TOOLS; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  apt-get update -qq || echo "soundgen: some package lists could not be updated" >&2
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" && return 0
  local pref codename
  pref=$(mktemp)
  codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
  printf 'Package: *\nPin: release n=%s\nPin-Priority: 990\n\nPackage: *\nPin: release n=%s-updates\nPin-Priority: 990\n' \
    "$codename" "$codename" >"$pref"
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq -o Dir::Etc::Preferences="$pref" "${missing[@]}"
  rm -f "$pref"
}

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
  "$PY" "$HERE/licence_gate.py" "$HERE/inputs.tsv" "$IN"
}

SPI=x/sonic-pi-samples/usr/share/sonic-pi/samples
WD=x/wesnoth-1.16-data/usr/share/games/wesnoth/1.16/data
ST=x/supertux-data/usr/share/games/supertux2
HS=x/heroes-sound-effects/usr/share/games/heroes/sfx
KEYS=x/bucklespring-data/usr/share/buckle/wav
SOUNDFONT=x/fluid-soundfont-gm/usr/share/sounds/sf2/FluidR3_GM.sf2
OA=pk3/sound

# Any input to 16-bit stereo 44,100 Hz, with optional sox effects after it.
st() { local src=$1 dst=$2; shift 2; sox -G "$IN/$src" -r 44100 -c 2 -b 16 "$dst" "$@"; }
w16() { sox -G "$1" -r 44100 -c 2 -b 16 "$2" "${@:3}"; }
syn() { "$PY" "$HERE/synth.py" "$1" "$2" "${3:-1}"; }
body() { "$PY" "$HERE/body_sounds.py" "$1" "$2" "${3:-1}"; }
thing() { "$PY" "$HERE/object_sounds.py" "$1" "$2" "${3:-1}"; }
arrange() { "$PY" "$HERE/arrange.py" "$@"; }
mix() { "$PY" "$HERE/mix.py" "$@"; }
# One of our scores (scores.py) played by the General MIDI SoundFont.
score() {
  "$PY" "$HERE/scores.py" "$1" "$WORK/$1.mid"
  fluidsynth -ni -q -g 0.3 -r 44100 -O s16 -T wav -F "$2" "$IN/$SOUNDFONT" "$WORK/$1.mid"
}
# Espeak-ng speaking TEXT with the given voice options, at 44,100 Hz stereo.
say() { local out=$1 text=$2; shift 2; espeak-ng "$@" -w "$out.raw.wav" "$text"; w16 "$out.raw.wav" "$out"; }
# A random number in [lo, hi) with three decimals into REPLY, from bash's seeded RANDOM.
# RANDOM is read here, in the calling shell: bash reseeds it afresh in every $(...),
# which would make each run of the generator different.
draw() {
  local r=$RANDOM
  REPLY=$(awk -v r="$r" -v lo="$1" -v hi="$2" 'BEGIN { printf "%.3f", lo + (hi - lo) * r / 32768 }')
}

# The back of a large audience (hundreds of far hands, above 1.5 kHz, in a hall): OUT SECONDS SEED.
applause_air() {
  syn claps_far "$WORK/far.wav" "$3"
  w16 "$WORK/far.wav" "$WORK/far2.wav" highpass 1500 reverb 70 50 100
  sox "$WORK/far2.wav" "$1" trim 0 "$2"
}

# Each recipe writes $WORK/NN.wav at any length; render() fits it into the bank.
r01() {
  syn claps "$WORK/c.wav" 11; w16 "$WORK/c.wav" "$WORK/c2.wav" sinc 400-16000 treble -4 reverb 30 50 60
  syn whistles "$WORK/wh.wav" 12
  body cheer "$WORK/v2.wav" 101
  applause_air "$WORK/air.wav" 4.3 13
  sox -G -m -v 1.0 "$WORK/c2.wav" -v 0.7 "$WORK/v2.wav" -v 0.35 "$WORK/wh.wav" -v 0.5 "$WORK/air.wav" \
    "$WORK/01.wav"
}
r02() {
  syn claps_fast "$WORK/c.wav" 21; w16 "$WORK/c.wav" "$WORK/c2.wav" sinc 400-11000 reverb 25 50 60
  syn whistles "$WORK/wh.wav" 22; w16 "$WORK/wh.wav" "$WORK/wh2.wav" pad 0 1.4
  body cheer_long "$WORK/v.wav" 102
  applause_air "$WORK/air.wav" 5.6 23
  sox -G -m -v 1.0 "$WORK/c2.wav" -v 0.4 "$WORK/v.wav" -v 0.3 "$WORK/wh2.wav" -v 0.5 "$WORK/air.wav" \
    "$WORK/02.wav"
}
r03() {
  body laughing_crowd "$WORK/l.wav" 103
  # The recorded crowds (11,025 Hz) as a full bed that smooths the synthetic voices into
  # a crowd, each faded in from silence and out as the laughter settles.
  st "$HS/foule1.wav" "$WORK/f1.wav" fade 0.05 0 0.4
  st "$HS/foule1.wav" "$WORK/f1b.wav" pitch 80 fade 0.3 0 0.6
  st "$HS/foule2.wav" "$WORK/f2.wav" fade 0.05 3.7 1.0
  mix "$WORK/m.wav" 4.6 "$WORK/l.wav@0@1.3" "$WORK/f1.wav@0@0.9@-0.5" "$WORK/f1b.wav@1.5@0.7@0.6" \
    "$WORK/f2.wav@0.2@0.9@0.3"
  w16 "$WORK/m.wav" "$WORK/03.wav" reverb 15 50 30
}
r04() { body sly_laugh "$WORK/l.wav" 104; w16 "$WORK/l.wav" "$WORK/04.wav" reverb 15 50 30; }
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
  # Four calls of a crow flying over, never the same twice: each its own pitch and pace
  # (speed moves the beak's formants with the pitch, pitch then takes part of it back),
  # one hoarse, one a quick far "caw-caw" duller and deeper in the room.
  RANDOM=106
  local crow=$SPI/misc_crow.flac
  st "$crow" "$WORK/caw1.wav" pitch 40 fade 0.005 -0 0.03
  st "$crow" "$WORK/caw2.wav" speed 1.12 pitch -130 equalizer 2500 1q 3 fade 0.005 -0 0.03
  st "$crow" "$WORK/caw3.wav" speed 1.05 trim 0 0.24 fade 0.005 0.24 0.06 lowpass 2800 pad 0 0.6 \
    reverb 40 50 60 fade 0 0.84 0.3
  # Without sox's guard (-G): it cannot undo its headroom across the overdrive.
  sox "$IN/$crow" -r 44100 -c 2 -b 16 "$WORK/caw4.wav" speed 0.87 pitch 90 vol 0.5 overdrive 6 \
    equalizer 900 1q 3 vol 0.7 fade 0.005 -0 0.03
  st "$WD/core/sounds/bat-flapping.wav" "$WORK/flap.wav" pitch -400 lowpass 3000 fade 0.005 -0 0.02
  local placed=() at=0 gain
  for i in 0 1 2 3 4 5 6 7 8; do
    draw 0.8 1.0; gain=$REPLY
    placed+=("$WORK/flap.wav@$at@$(awk -v g="$gain" 'BEGIN{print 0.7 * g}')@$(awk -v i=$i 'BEGIN{print -0.9+i*0.22}')")
    draw 0.26 0.4; at=$(awk -v a="$at" -v d="$REPLY" 'BEGIN{print a + d}')
  done
  mix "$WORK/m.wav" 3.5 "$WORK/caw1.wav@0@1.0@-0.7" "$WORK/caw2.wav@0.58@0.85@-0.3" \
    "$WORK/caw3.wav@1.36@0.5@0.1" "$WORK/caw3.wav@1.61@0.42@0.15" "$WORK/caw4.wav@2.2@0.9@0.65" \
    "${placed[@]}"
  w16 "$WORK/m.wav" "$WORK/06.wav" reverb 20 50 60
}
r07() { syn light_on "$WORK/l.wav" 7; w16 "$WORK/l.wav" "$WORK/07.wav" reverb 50 50 90; }
r08() { thing lights_off "$WORK/08.wav" 8; }
r09() { score cheerful "$WORK/09.wav"; }
r10() { score news_ident "$WORK/10.wav"; }
r11() { score entrance_female "$WORK/11.wav"; }
r12() { score entrance_male "$WORK/12.wav"; }
r13() {
  thing typewriter_bell "$WORK/bell.wav" 113
  arrange typing "$WORK/13.wav" 113 "$IN/$KEYS" "$WORK/bell.wav"
}
r14() { body heartbeat "$WORK/h.wav" 14; w16 "$WORK/h.wav" "$WORK/14.wav" lowpass 2500; }
r15() { body snore "$WORK/s.wav" 15; w16 "$WORK/s.wav" "$WORK/15.wav" reverb 10 50 30; }
r16() {
  st "$SPI/ambi_haunted_hum.flac" "$WORK/h.wav"
  st "$SPI/ambi_dark_woosh.flac" "$WORK/w.wav"
  st "$WD/core/sounds/wail-long.wav" "$WORK/wail.wav" reverb 70 50 100 pad 0 2
  mix "$WORK/16.wav" 6.6 "$WORK/w.wav@0@1.0" "$WORK/h.wav@0@0.8" "$WORK/wail.wav@1.8@0.6@0.3"
}
r17() { body kiss "$WORK/k.wav" 17; w16 "$WORK/k.wav" "$WORK/17.wav" reverb 10 50 30; }
r18() { body slap "$WORK/18.wav" 18; }
r19() {
  body raspberry "$WORK/p.wav" 19
  score sad_trombone "$WORK/t.wav"
  mix "$WORK/m.wav" 2.9 "$WORK/p.wav@0@1.0" "$WORK/t.wav@0.75@1.0"
  w16 "$WORK/m.wav" "$WORK/19.wav" reverb 20 50 50
}
r20() { score ringtone "$WORK/20.wav"; }
r21() {
  # The busy signal: 450 Hz, 0.35 s on and 0.35 s off.
  sox -n -r 44100 -c 2 -b 16 "$WORK/beep.wav" synth 0.35 sine 450 fade 0.005 0.35 0.005 pad 0 0.35
  sox "$WORK/beep.wav" "$WORK/busy3.wav" repeat 2
  sox "$WORK/beep.wav" "$WORK/busy2.wav" repeat 1
  local cn=(-v cmn-latn-pinyin -s 175 -p 55) en=(-v en-us+f3 -s 165 -p 60)
  say "$WORK/a1.wav" "您好，您拨打的电话正在通话中，请稍后再拨。" "${cn[@]}"
  say "$WORK/a2.wav" "Sorry, the subscriber you dialed is busy now. Please redial later." "${en[@]}"
  say "$WORK/b1.wav" "您拨打的电话正在通话中。他正在和别人聊得很开心，暂时不想理你。" "${cn[@]}"
  say "$WORK/b2.wav" "The person you are calling is busy. Very busy. Busy pretending to be busy." "${en[@]}"
  # Loud, but under espeak-ng's own clipping (at -a 180 it flattens the peaks into clicks).
  say "$WORK/c1.wav" "别打了，别打了！真的在忙！" -v cmn-latn-pinyin -s 200 -p 75 -a 120
  say "$WORK/c2.wav" "Seriously. Stop calling. Please try again next year." -v en-us+f3 -s 185 -p 70 -a 120
  local gap=$WORK/gap.wav
  sox -n -r 44100 -c 2 -b 16 "$gap" trim 0 0.45
  sox "$WORK/busy3.wav" "$WORK/a1.wav" "$gap" "$WORK/a2.wav" "$gap" "$WORK/busy3.wav" \
    "$WORK/b1.wav" "$gap" "$WORK/b2.wav" "$gap" "$WORK/busy2.wav" "$WORK/c1.wav" "$gap" \
    "$WORK/c2.wav" "$gap" "$WORK/busy3.wav" "$WORK/busy3.wav" "$WORK/busy3.wav" "$WORK/busy3.wav" \
    "$WORK/busy3.wav" "$WORK/line.wav"
  # A telephone line: its band, a little saturation and a faint hiss under the voice.
  w16 "$WORK/line.wav" "$WORK/band.wav" vol 0.8 overdrive 3 sinc 300-3400
  sox -n -r 44100 -c 2 -b 16 "$WORK/hiss.wav" synth "$(soxi -D "$WORK/band.wav")" pinknoise sinc 300-3400 vol 0.004
  sox -m "$WORK/band.wav" "$WORK/hiss.wav" "$WORK/21.wav"
}
r22() {
  local r=drum_roll h=drum_snare_hard c=drum_cymbal_hard k=drum_heavy_kick
  for f in $r $h $c $k; do st "$SPI/$f.flac" "$WORK/$f.wav"; done
  arrange drum_roll "$WORK/22.wav" 122 "$WORK/$r.wav" "$WORK/$h.wav" "$WORK/$c.wav" "$WORK/$k.wav"
}
r23() { thing brakes "$WORK/23.wav" 23; }
r24() {
  # The command shouted three times, each higher and harder: every shout two takes a little
  # apart in pitch and 18 ms apart in time for the body of a big voice, then a megaphone's
  # band and a hall.
  local text="给我跪下！" placed=() at k=0 p
  for p in 70 82 94; do
    espeak-ng -v cmn-latn-pinyin -s $((125 - 5 * k)) -a 200 -p "$p" -w "$WORK/a$k.raw.wav" "$text"
    espeak-ng -v cmn-latn-pinyin -s $((125 - 5 * k)) -a 200 -p $((p + 4)) -w "$WORK/b$k.raw.wav" "$text"
    w16 "$WORK/a$k.raw.wav" "$WORK/a$k.wav" silence 1 0.01 1% reverse silence 1 0.01 1% reverse
    w16 "$WORK/b$k.raw.wav" "$WORK/b$k.wav" silence 1 0.01 1% reverse silence 1 0.01 1% reverse
    at=$(awk -v k=$k 'BEGIN { print 0.05 + 1.75 * k }')
    placed+=("$WORK/a$k.wav@$at@$(awk -v k=$k 'BEGIN { print 0.7 + 0.15 * k }')@-0.1")
    placed+=("$WORK/b$k.wav@$(awk -v a="$at" 'BEGIN { print a + 0.018 }')@$(awk -v k=$k 'BEGIN { print 0.55 + 0.12 * k }')@0.1")
    k=$((k + 1))
  done
  mix "$WORK/three.wav" 6.2 "${placed[@]}"
  # Without sox's guard (-G): it cannot undo its headroom across the overdrive.
  sox "$WORK/three.wav" "$WORK/24.wav" vol 0.8 overdrive 10 vol 0.35 sinc 350-4000 equalizer 2000 1q 6 \
    reverb 30 50 50 echo 0.8 0.6 140 0.25
}
r25() { thing spring "$WORK/25.wav" 25; }
r26() {
  thing glass_shards "$WORK/t.wav" 26
  st "$ST/sounds/crystallo-shatter.ogg" "$WORK/c.wav"
  mix "$WORK/m.wav" 1.5 "$WORK/c.wav@0@1.0" "$WORK/t.wav@0@0.8"
  w16 "$WORK/m.wav" "$WORK/26.wav" reverb 20
}
r27() { thing firecrackers "$WORK/c.wav" 27; w16 "$WORK/c.wav" "$WORK/27.wav" reverb 20; }
r28() { thing ambulance "$WORK/a.wav" 28; w16 "$WORK/a.wav" "$WORK/28.wav" reverb 20 50 50; }
r29() { thing police "$WORK/29.wav" 29; }
r30() {
  RANDOM=130
  local placed=() t=0 shot
  for i in 1 2 3 4; do st "$OA/weapons/machinegun/machgf${i}b.wav" "$WORK/g$i.wav"; done
  st "$OA/weapons/machinegun/ric1.wav" "$WORK/ric.wav"
  while awk -v t=$t 'BEGIN{exit !(t < 19.0)}'; do
    local len gain
    draw 1.2 3.2; len=$REPLY
    local end; end=$(awk -v t=$t -v l=$len 'BEGIN{print t + l}')
    while awk -v t=$t -v e=$end 'BEGIN{exit !(t < e && t < 19.0)}'; do
      shot=$((RANDOM % 4 + 1))
      draw 0.8 1.0; gain=$REPLY
      draw -0.2 0.2
      placed+=("$WORK/g$shot.wav@$t@$gain@$REPLY")
      t=$(awk -v t=$t 'BEGIN{print t + 0.085}')
    done
    draw -0.8 0.8
    placed+=("$WORK/ric.wav@$t@0.4@$REPLY")
    draw 0.35 0.8
    t=$(awk -v t=$t -v g="$REPLY" 'BEGIN{print t + g}')
  done
  mix "$WORK/m.wav" 19.6 "${placed[@]}"
  w16 "$WORK/m.wav" "$WORK/30.wav" reverb 20
}
r31() { thing pistol "$WORK/p.wav" 31; w16 "$WORK/p.wav" "$WORK/31.wav" reverb 30 50 60; }
r32() {
  # The boom's sub-bass is felt, not heard on a small speaker: less of it, more of the blast.
  st "$SPI/misc_cineboom.flac" "$WORK/boom.wav" highpass 45 bass -9 120
  thing blast "$WORK/blast.wav" 32
  arrange explosion "$WORK/32.wav" 132 "$WORK/boom.wav" "$WORK/blast.wav"
}
r33() { thing helicopter "$WORK/33.wav" 33; }

render() {
  local nn=$1 ch rate bits bytes fade
  read -r _ ch rate bits bytes fade _ < <(grep "^$nn	" "$HERE/bank.tsv")
  "r$nn"
  sox "$WORK/$nn.wav" -t raw -e signed -b 32 -c "$ch" -r "$rate" "$WORK/$nn.s32" rate -v
  "$PY" "$HERE/finish.py" "$WORK/$nn.s32" "$OUT/sfx$nn.wav" "$ch" "$rate" "$bits" "$bytes" "$fade"
}

main() {
  install_tools
  fetch_inputs
  mkdir -p "$WORK" "$OUT"
  cd "$IN"
  local list=("$@")
  [ ${#list[@]} -gt 0 ] || mapfile -t list < <(awk '!/^#/ && NF { print $1 }' "$HERE/bank.tsv")
  for nn in "${list[@]}"; do render "$nn"; done
  "$HERE/sonograms.sh"
  "$PY" "$HERE/measure.py" "$HERE/bank.tsv" "$OUT"
}

main "$@"
