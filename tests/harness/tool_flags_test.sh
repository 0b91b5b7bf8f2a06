#!/usr/bin/env bash
# The checkers refuse flags they do not know instead of taking them for file
# names: "sinkrec --help" once recorded into a file named "--help".
#   tool_flags_test.sh TOOLS_DIR
set -uo pipefail
tools=${1:?usage: tool_flags_test.sh TOOLS_DIR}
cd "$(mktemp -d /tmp/board-flags.XXXXXX)" || exit 1
failures=0
expect_usage() {  # description command...
    local what=$1 status=0
    shift
    "$@" >out.txt 2>&1 || status=$?
    [ $status -eq 2 ] || { echo "FAIL: $what: exit $status, not 2: $(cat out.txt)" >&2; failures=$((failures + 1)); }
}
expect_usage "sinkrec --help" "$tools/sinkrec" --help
[ ! -e ./--help ] || { echo "FAIL: sinkrec wrote a file named --help" >&2; failures=$((failures + 1)); }
expect_usage "sinkrec with an unknown option" "$tools/sinkrec" out.wav --clok t0
"$tools/wavmatch" probe probe.wav 7 0.2 >/dev/null || { echo "FAIL: wavmatch probe" >&2; exit 1; }
expect_usage "wavmatch with an unknown option" "$tools/wavmatch" level probe.wav 0 0.1 --bogus 3
expect_usage "wavmatch with an option missing its value" "$tools/wavmatch" match probe.wav probe.wav --threshold
"$tools/wavmatch" match probe.wav probe.wav --threshold 0.5 >/dev/null || { echo "FAIL: a known option was refused" >&2; failures=$((failures + 1)); }
rm -rf "$PWD"
exit $((failures > 0))
