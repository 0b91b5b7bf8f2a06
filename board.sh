#!/usr/bin/env bash
# The board's entry points on a Debian machine:
#   ./board.sh run    build the board and start it under Wine (Linux) on $DISPLAY
#   ./board.sh test   build everything (Windows i686 and x86-64, native, fuzz) and run every
#                     test headless: the Windows tests of the x86-64 build under 64-bit Wine,
#                     and those of the i686 build under 32-bit Wine where the host runs it,
#                     else a few of them in an emulated i386 system
#   ./board.sh bench  build the board and its baselines and run the benchmarks headless
#   ./board.sh dist   build the board and pack dist/board-VERSION.zip for Windows users
#   ./board.sh screenshots  take docs/*.png from the real board under Wine, headless
#   ./board.sh install    add the board (under Wine) to the current user's applications menu
#   ./board.sh uninstall  take it out again
# Each installs what is missing first (as root, or through sudo) and says what it installs.
# Sourced (as the script tests do), it defines its functions and runs nothing.
set -euo pipefail

PACKAGES=(cmake ninja-build g++ clang googletest
          g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64
          xvfb xdotool imagemagick sox pulseaudio pulseaudio-utils
          locales fonts-wqy-microhei espeak-ng liblzma-dev libpulse-dev pkg-config python3 ffmpeg
          xdg-utils python3-numpy python3-scipy)
# 32-bit Wine, only where the host runs 32-bit programs: elsewhere it cannot start,
# and /usr/bin/wine would pick it over the 64-bit loader all the same.
WINE32_PACKAGES=(wine32:i386 libpulse0:i386)
# Elsewhere a few tests of the 32-bit product run in an emulated i386 system
# (tests/emulated), with the harness's tools cross-built for it.
GUEST_PACKAGES=(qemu-system-x86 debootstrap cpio kmod g++-i686-linux-gnu)

# What Wine needs to serve the board well, for the user and the tests alike:
# Wine's sound stream asks the server for a buffer so short that it underruns
# in the first second whenever the machine is busy, garbling the sound;
# Wine's .NET and HTML installers would otherwise pop up on a fresh prefix,
# and its menu builder would put Windows entries into the desktop's menus.
BOARD_WINE_ENV=(LANG=zh_CN.UTF-8 WINEDEBUG=-all PULSE_LATENCY_MSEC=60
                "WINEDLLOVERRIDES=mscoree,mshtml=;winemenubuilder.exe=d")

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

# Prints those of the named packages that are not installed, one a line.
missing_packages() {
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
    done
}

# A mirror caught in the middle of a sync fails one index while the rest are
# fresh, so a failed update is a warning; a second try often finds it whole.
LISTS_UPDATED=
update_lists() {
    [ -z "$LISTS_UPDATED" ] || return 0
    LISTS_UPDATED=1
    as_root apt-get update -qq && return 0
    echo "== warning: some package lists could not be updated; updating once more" >&2
    as_root apt-get update -qq && return 0
    echo "== warning: going on with the package lists as they are" >&2
}

apt_install() { as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$@" >/dev/null; }

# An apt preference for the release and its updates suite. When the security
# suite's lists for one architecture are missing, its newer versions cannot
# pair with the other architecture's; the release's own versions always can.
release_preference() {
    local codename
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:?}")
    printf 'Package: *\nPin: release n=%s\nPin-Priority: 990\n\n' "$codename" "$codename-updates"
}

# Installs those of the named packages that are missing; on failure tries once
# more with the release's versions preferred for that one command (the
# machine's apt configuration is left as it was), then stops naming the rest.
install_packages() {
    local missing
    mapfile -t missing < <(missing_packages "$@")
    [ ${#missing[@]} -gt 0 ] || return 0
    echo "== installing: ${missing[*]}"
    update_lists
    apt_install "${missing[@]}" && return 0
    echo "== the install failed; trying once more with the release's own versions preferred, for this install only"
    local preference status=0
    preference=$(mktemp)
    release_preference >"$preference"
    apt_install -o Dir::Etc::Preferences="$preference" "${missing[@]}" || status=$?
    rm -f "$preference"
    [ $status -eq 0 ] && return 0
    mapfile -t missing < <(missing_packages "${missing[@]}")
    echo "== could not install: ${missing[*]}" >&2
    echo "   (apt-get install ${missing[*]} shows why)" >&2
    exit 1
}

# The sanitizers' runtime is packaged per clang version.
clang_runtime_package() {
    local major
    major=$(clang -dumpversion | cut -d. -f1)
    apt-cache show "libclang-rt-$major-dev" >/dev/null 2>&1 && echo "libclang-rt-$major-dev"
    return 0
}

install_missing() {
    install_packages "${PACKAGES[@]}"
    if host_runs_32bit; then
        if ! dpkg --print-foreign-architectures | grep -qx i386; then
            echo "== enabling the i386 architecture for 32-bit Wine"
            as_root dpkg --add-architecture i386
            LISTS_UPDATED=
        fi
        install_packages "${WINE32_PACKAGES[@]}"
    elif emulating_i386; then
        install_packages "${GUEST_PACKAGES[@]}"
    fi
    local runtime
    runtime=$(clang_runtime_package)
    [ -z "$runtime" ] || install_packages "$runtime"
    if ! locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$'; then
        echo "== generating the zh_CN.UTF-8 locale (ANSI code page 936 under Wine)"
        grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null || echo 'zh_CN.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
        as_root locale-gen >/dev/null
    fi
    drop_qemu_registration
}

# An i386 ELF of 93 bytes whose one instruction run is exit(42).
I386_EXIT_42='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\x31\xdb\xb3\x2a\x31\xc0\x40\xcd\x80'
QEMU_I386=/proc/sys/fs/binfmt_misc/qemu-i386

# True when the kernel itself starts 32-bit x86 programs (and so 32-bit Wine runs):
# some kernels refuse them although the processor could. Asked once per run.
host_runs_32bit() {
    if [ -z "${HOST_RUNS_32BIT:-}" ]; then
        local probe status=0
        probe=$(mktemp)
        printf "$I386_EXIT_42" >"$probe"
        chmod +x "$probe"
        "$probe" 2>/dev/null || status=$?
        rm -f "$probe"
        HOST_RUNS_32BIT=no
        # Through a processor emulator's registration it would run, but not natively.
        [ $status -eq 42 ] && [ ! -e $QEMU_I386 ] && HOST_RUNS_32BIT=yes
    fi
    [ "$HOST_RUNS_32BIT" = yes ]
}

# Where no 32-bit program runs, the emulated i386 system runs a few of the 32-bit
# product's tests; BOARD_I386_GUEST=0 leaves it out.
emulating_i386() { ! host_runs_32bit && [ "${BOARD_I386_GUEST:-1}" = 1 ]; }

# Earlier versions of this script registered qemu-i386 for 32-bit programs. 32-bit
# Wine crashes under it, and 64-bit Wine's prefix set-up then stalls for minutes
# starting its 32-bit half through it: take that registration out again.
drop_qemu_registration() {
    [ -e $QEMU_I386 ] && grep -q 'qemu-i386-static' $QEMU_I386 2>/dev/null || return 0
    echo "== removing the qemu-i386 registration an earlier version of this script made"
    echo -1 | as_root tee $QEMU_I386 >/dev/null || true
    HOST_RUNS_32BIT=
}

# The Windows build this host runs: the 32-bit product where it can, else the
# x86-64 build of the same sources; prints "PRESET ARCHITECTURE WINE-LOADER".
host_windows_build() {
    if host_runs_32bit; then
        echo "win i686 /usr/lib/wine/wine"
    else
        echo "win64 x86_64 /usr/lib/wine/wine64"
    fi
}

# Configuring every time is cheap when nothing changed, and lets options such
# as BOARD_WERROR take effect on an existing tree.
configure() {  # preset [extra cmake args]
    local preset=$1 system toolchain
    shift
    # A tree configured with a toolchain file that has since moved cannot reconfigure: start it afresh.
    for system in "build/$preset"/CMakeFiles/*/CMakeSystem.cmake; do
        [ -e "$system" ] || continue
        toolchain=$(sed -n 's/^include("\(.*\)")$/\1/p' "$system")
        if [ -n "$toolchain" ] && [ ! -e "$toolchain" ]; then
            rm -rf "build/$preset/CMakeCache.txt" "build/$preset/CMakeFiles"
            break
        fi
    done
    cmake --preset "$preset" "$@" >/dev/null
}

build_windows() {  # preset [build args]
    local preset=$1
    shift
    configure "$preset" -DBOARD_WERROR=${BOARD_WERROR:-OFF}
    cmake --build "build/$preset" "$@"
}

# Says which build the host runs, builds it; sets BOARD_EXE and WINE_LOADER.
build_host_board() {
    local preset
    read -r preset _ WINE_LOADER < <(host_windows_build)
    if [ "$preset" = win ]; then
        echo "== the 32-bit board, under 32-bit Wine"
    else
        echo "== this host runs no 32-bit programs: the x86-64 build of the board, under 64-bit Wine"
    fi
    build_windows "$preset" --target board
    BOARD_EXE=$PWD/build/$preset/app/board.exe
}

run_board() {
    install_missing
    build_host_board
    if [ -z "${DISPLAY:-}" ]; then
        echo "Built $BOARD_EXE. No X display is set: start it from a desktop session with"
        echo "  env ${BOARD_WINE_ENV[*]@Q} $WINE_LOADER $BOARD_EXE"
        exit 0
    fi
    exec env "${BOARD_WINE_ENV[@]}" "$WINE_LOADER" "$BOARD_EXE"
}

run_tests() {
    install_missing
    # CI holds the tree to a clean build: warnings fail it there.
    local werror=${BOARD_WERROR:-$([ "${CI:-}" = true ] && echo ON || echo OFF)}
    configure native -DBOARD_WERROR=$werror
    cmake --build build/native
    configure fuzz -DBOARD_WERROR=$werror
    cmake --build build/fuzz
    BOARD_WERROR=$werror build_windows win64
    configure win -DBOARD_I386_GUEST=$(emulating_i386 && echo ON || echo OFF)
    BOARD_WERROR=$werror build_windows win
    # One ctest run over the four builds, so the summary at the end covers everything.
    printf 'subdirs("native" "fuzz" "win64" "win")\n' >build/CTestTestfile.cmake
    local exclude=() arches="x86_64 (64-bit Wine)"
    if host_runs_32bit; then
        arches+=" and i686 (32-bit Wine)"
    elif emulating_i386; then
        echo "== this host cannot run 32-bit programs: a few of the i686 build's Windows tests run in an"
        echo "   emulated i386 system, the rest only where 32-bit programs run; all run on the x86-64 build"
        arches+=" and i686 (emulated i386)"
        exclude=(-LE 'wine-i686')
    else
        echo "== this host cannot run 32-bit programs: the i686 build's Windows tests are built, not run"
        echo "   (BOARD_I386_GUEST=0); the same tests run on the x86-64 build under 64-bit Wine"
        exclude=(-LE 'wine-i686')
    fi
    echo "== Windows tests run for: $arches"
    local status=0
    ctest --test-dir build --output-on-failure -j2 "${exclude[@]}" || status=$?
    windows_test_counts "${exclude[@]}"
    return $status
}

# How many Windows tests ran, per architecture and how, from ctest's own log of this run.
windows_test_counts() {
    local arch log=build/Testing/Temporary/LastTest.log how
    for arch in x86_64 i686; do
        case $arch in
            x86_64) how="64-bit Wine" ;;
            *) how=$(host_runs_32bit && echo native || { emulating_i386 && echo "emulated i386"; } || echo "not run here") ;;
        esac
        printf '== Windows tests run on %s (%s): %s\n' "$arch" "$how" \
            "$(grep -c -E "^[0-9]+/[0-9]+ Testing: wine\.$arch\." "$log" 2>/dev/null || true)"
    done
}

# Builds the Windows build this host runs and the harness's native tools, then
# runs a harness script (bash) against them.
run_harness_script() {  # script [args]
    install_missing
    configure native
    cmake --build build/native --target wavmatch sinkrec onset_latency
    local preset arch
    read -r preset arch _ < <(host_windows_build)
    build_windows "$preset"
    echo "== $1 on the $arch build"
    BOARD_ARCH=$arch BOARD_BUILD_DIR=$PWD/build/$preset BOARD_HOST_TOOLS=$PWD/build/native/tests/harness \
        BOARD_SOURCE_DIR=$PWD bash "$@"
}

# The version the download carries: the nearest tag, else the commit, marked when the tree is changed.
dist_version() { git describe --tags --always --dirty; }

pack_dist() {
    install_missing
    build_windows win --target board
    python3 tools/dist/package.py --source "$PWD" --exe "$PWD/build/win/app/board.exe" \
        --version "$(dist_version)" --out "$PWD/dist"
}

# The desktop entry and its icon, named alike so one name takes both out again.
DESKTOP_NAME=stage-sound-board

# One argument of a desktop entry's Exec line: quoted when it holds a reserved character,
# with the characters the quotes do not cover escaped, then the value's own backslashes doubled.
desktop_exec_argument() {
    local arg=$1
    case $arg in
        *[[:space:]\"\'\\\>\<~\|\&\;\$\*\?\#\(\)\`]*)
            arg=${arg//\\/\\\\}
            arg=${arg//\"/\\\"}
            arg=${arg//\`/\\\`}
            arg=${arg//\$/\\\$}
            arg="\"$arg\"" ;;
    esac
    printf '%s' "${arg//\\/\\\\}"
}

# Writes the desktop entry that starts EXE with Wine's LOADER and the board's Wine settings.
desktop_entry() {  # exe loader
    local exec=env arg
    for arg in "${BOARD_WINE_ENV[@]}" "$2" "$1"; do
        exec+=" $(desktop_exec_argument "$arg")"
    done
    printf '[Desktop Entry]\nType=Application\nVersion=1.0\nName=Sound Board\nName[zh_CN]=主持人音效板\n'
    printf 'Comment=A stage host'"'"'s sound-effect board (runs under Wine)\n'
    printf 'Exec=%s\nIcon=%s\nTerminal=false\nCategories=AudioVideo;Audio;\n' "$exec" "$DESKTOP_NAME"
}

# Adds the entry for EXE and the icon to the current user's menu and icon theme.
install_desktop_entry() {  # exe source-dir loader
    local work
    work=$(mktemp -d)
    desktop_entry "$1" "$3" >"$work/$DESKTOP_NAME.desktop"
    convert "$2/app/board.ico[0]" "$work/$DESKTOP_NAME.png"
    xdg-icon-resource install --mode user --novendor --size 48 "$work/$DESKTOP_NAME.png" "$DESKTOP_NAME"
    xdg-desktop-menu install --mode user --novendor "$work/$DESKTOP_NAME.desktop"
    rm -rf "$work"
}

uninstall_desktop_entry() {
    xdg-desktop-menu uninstall --mode user --novendor "$DESKTOP_NAME.desktop"
    xdg-icon-resource uninstall --mode user --novendor --size 48 "$DESKTOP_NAME"
}

install_board() {
    install_missing
    build_host_board
    install_desktop_entry "$BOARD_EXE" "$PWD" "$WINE_LOADER"
    echo "Added \"Sound Board\" to the applications menu; it runs $BOARD_EXE under Wine."
    echo "Keep this folder where it is: the menu entry starts the board from it."
}

main() {
    cd "$(dirname "$0")"
    case "${1:-}" in
        run) run_board ;;
        test) run_tests ;;
        bench) run_harness_script bench/run.sh ;;
        dist) pack_dist ;;
        screenshots) run_harness_script tools/screenshots/take.sh "$PWD/docs" ;;
        install) install_board ;;
        uninstall) uninstall_desktop_entry; echo "Took \"Sound Board\" out of the applications menu." ;;
        *) echo "usage: $0 run|test|bench|dist|screenshots|install|uninstall" >&2; exit 2 ;;
    esac
}

[ "${BASH_SOURCE[0]}" != "$0" ] || main "$@"
