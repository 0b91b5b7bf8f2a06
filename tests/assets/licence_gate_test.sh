#!/usr/bin/env bash
# The sound generator's licence gate: an input whose own tags say share-alike,
# non-commercial or GPL-2-only is refused whatever the input table claims, and
# clean inputs pass. Makes its own tiny tagged files; needs ffmpeg and python3.
set -u
GATE=${1:?path to licence_gate.py}
DIR=$(mktemp -d)
trap 'rm -rf "$DIR"' EXIT
failures=0
cases=0

# A tenth of a second of tone, with the given ffmpeg metadata options.
make_input() {
    local name=$1
    shift
    ffmpeg -v error -f lavfi -i sine=frequency=440:duration=0.1 "$@" "$DIR/$name" || exit 2
}

# expect ACCEPT|REFUSE FILE LICENCE WORDS: runs the gate on a one-row table; a refusal
# must name the file and say WORDS, so a refusal for the wrong reason does not pass.
expect() {
    local want=$1 file=$2 licence=$3 words=$4 out status
    cases=$((cases + 1))
    printf '%s\tpkg 1.0\t%s\tsomeone\ta stanza\n' "$file" "$licence" >"$DIR/table.tsv"
    out=$(python3 "$GATE" "$DIR/table.tsv" "$DIR" 2>&1)
    status=$?
    if [ "$want" = ACCEPT ] && [ $status -ne 0 ]; then
        echo "FAIL: $file ($licence) was refused: $out"; failures=$((failures + 1))
    elif [ "$want" = REFUSE ] && { [ $status -ne 1 ] || [[ $out != *"$file"*"$words"* ]]; }; then
        echo "FAIL: $file ($licence) not refused for '$words' (status $status): $out"; failures=$((failures + 1))
    else
        echo "ok: $want $file ($licence)"
    fi
}

make_input by-sa.ogg -metadata License="CC-by-sa 3.0"
make_input share-alike.wav -metadata comment="Creative Commons Attribution-ShareAlike 4.0"
make_input nc.ogg -metadata License="CC BY-NC 4.0"
make_input gpl2-only.ogg -metadata License="GPL-2.0-only"
make_input cc0.ogg -metadata COMMENTS="free for professional and non-professional use (cc0)"
make_input gpl2-plus.ogg -metadata License="GPL-2.0-or-later"
make_input untagged.wav

expect REFUSE by-sa.ogg CC0-1.0 share-alike
expect REFUSE share-alike.wav GPL-2.0-or-later share-alike
expect REFUSE nc.ogg CC-BY-4.0 non-commercial
expect REFUSE gpl2-only.ogg GPL-2.0-or-later "GPL-2 only"
expect REFUSE cc0.ogg GPL-3.0-or-later "tags say CC0"
expect REFUSE untagged.wav GFDL-1.3 "not one the bank accepts"
expect REFUSE missing.wav CC0-1.0 "cannot be read"
expect ACCEPT cc0.ogg CC0-1.0 ""
expect ACCEPT gpl2-plus.ogg GPL-2.0-or-later ""
expect ACCEPT untagged.wav GPL-2.0-or-later ""

echo "$((cases - failures)) passed, $failures failed"
[ $failures -eq 0 ]
