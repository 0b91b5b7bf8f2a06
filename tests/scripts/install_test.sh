#!/usr/bin/env bash
# The install step of board.sh against a stub apt-get, dpkg-query and dpkg on
# PATH, so the paths a flaky mirror takes are proven without touching the
# machine: a failed update, a refused install, a retry that works or does not.
set -euo pipefail
BOARD_SH=${1:?usage: install_test.sh BOARD_SH}

WORK=$(mktemp -d /tmp/board-install-test.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# Stubs. The fake machine's state lives in $WORK/case:
#   installed       packages dpkg-query reports as installed
#   update-fails    apt-get update exits 100 (a mirror in mid-sync)
#   installs-fail   how many install calls fail before one succeeds
#   log             every apt-get call; pref-N the preference file of call N
make_stubs() {
    mkdir -p "$WORK/bin"
    cat >"$WORK/bin/apt-get" <<'STUB'
#!/usr/bin/env bash
state=$BOARD_FAKE_STATE
echo "apt-get $*" >>"$state/log"
if [ "$1" = update ]; then
    [ -e "$state/update-fails" ] && { echo "E: File has unexpected size. Mirror sync in progress?" >&2; exit 100; }
    exit 0
fi
calls=$(grep -c '^apt-get install' "$state/log")
for arg in "$@"; do
    case $arg in Dir::Etc::Preferences=*) cp "${arg#*=}" "$state/pref-$calls" ;; esac
done
if [ "$calls" -le "$(cat "$state/installs-fail")" ]; then
    echo "E: Unable to correct problems, you have held broken packages." >&2
    exit 100
fi
for arg in "$@"; do
    case $arg in -*|install|Dir::*) ;; *) echo "$arg" >>"$state/installed" ;; esac
done
STUB
    cat >"$WORK/bin/dpkg-query" <<'STUB'
#!/usr/bin/env bash
grep -qx -- "${@: -1}" "$BOARD_FAKE_STATE/installed" && { echo -n 'install ok installed'; exit 0; }
exit 1
STUB
    printf '#!/bin/sh\necho i386\n' >"$WORK/bin/dpkg"
    printf '#!/bin/sh\nexec "$@"\n' >"$WORK/bin/sudo"
    chmod +x "$WORK/bin/"*
}

# Runs install_packages for PACKAGES... on a fresh fake machine; its output
# lands in $WORK/case/out and its exit status in $status.
run_case() {
    local update_fails=$1 installs_fail=$2
    shift 2
    rm -rf "$WORK/case"
    mkdir -p "$WORK/case"
    touch "$WORK/case/log"
    printf 'cmake\n' >"$WORK/case/installed"
    echo "$installs_fail" >"$WORK/case/installs-fail"
    [ "$update_fails" = yes ] && touch "$WORK/case/update-fails"
    status=0
    PATH=$WORK/bin:$PATH BOARD_FAKE_STATE=$WORK/case TMPDIR=$WORK/case \
        bash -c 'source "$1"; shift; install_packages "$@"' _ "$BOARD_SH" "$@" >"$WORK/case/out" 2>&1 || status=$?
}

count() { grep -c -- "$1" "$WORK/case/log" || true; }
said() { grep -q -- "$1" "$WORK/case/out"; }

make_stubs
codename=$(. /etc/os-release && echo "$VERSION_CODENAME")

# A mirror in mid-sync: both updates fail, the first install is refused, the
# retry with the release preferred succeeds.
run_case yes 1 cmake wine wine32:i386
[ $status -eq 0 ] || fail "mid-sync: exit $status: $(cat "$WORK/case/out")"
[ "$(count '^apt-get update')" -eq 2 ] || fail "mid-sync: expected two updates, log: $(cat "$WORK/case/log")"
said 'warning: some package lists could not be updated' || fail "mid-sync: the failed update was not reported"
[ "$(count '^apt-get install')" -eq 2 ] || fail "mid-sync: expected two installs"
grep -q 'install.* wine wine32:i386$' "$WORK/case/log" || fail "mid-sync: the installed packages are not the missing ones"
count 'install.* cmake' | grep -qx 0 || fail "mid-sync: an installed package was installed again"
said "release's own versions preferred" || fail "mid-sync: the retry was not announced"
[ ! -e "$WORK/case/pref-1" ] || fail "mid-sync: the first install already carried a preference"
if [ -e "$WORK/case/pref-2" ]; then
    grep -qx "Pin: release n=$codename" "$WORK/case/pref-2" || fail "mid-sync: the release is not pinned"
    grep -qx "Pin: release n=$codename-updates" "$WORK/case/pref-2" || fail "mid-sync: the updates suite is not pinned"
    [ "$(grep -c '^Pin-Priority: 990$' "$WORK/case/pref-2")" -eq 2 ] || fail "mid-sync: the pins are not at 990"
else
    fail "mid-sync: the retry carried no preference file"
fi
ls "$WORK/case" | grep -q '^tmp\.' && fail "mid-sync: the preference file was left behind"
grep -qx wine32:i386 "$WORK/case/installed" || fail "mid-sync: wine32 did not end up installed"

# Both installs refused: the script stops and names what is still missing.
run_case no 2 cmake wine wine32:i386
[ $status -ne 0 ] || fail "refused: the script went on"
[ "$(count '^apt-get update')" -eq 1 ] || fail "refused: a good update was repeated"
said 'could not install: wine wine32:i386' || fail "refused: the missing packages were not named: $(cat "$WORK/case/out")"

# Nothing missing: apt is not called at all.
run_case yes 0 cmake
[ $status -eq 0 ] || fail "nothing missing: exit $status"
[ "$(count apt-get)" -eq 0 ] || fail "nothing missing: apt-get was called"

[ $failures -eq 0 ] && echo "install step: all cases passed"
exit $((failures > 0))
