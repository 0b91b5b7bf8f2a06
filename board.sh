#!/usr/bin/env bash
# The board's entry points on a Debian machine:
#   ./board.sh run    build the board and start it under Wine (Linux) on $DISPLAY
#   ./board.sh test   build everything (Windows, native, fuzz) and run every test headless
#                     (BOARD_WINE_TESTS=1 runs the Wine tests also where Wine is emulated;
#                     BOARD_UNPROVEN_TESTS=ON adds the Wine tests no machine has run yet)
#   ./board.sh bench  build the board and its baselines and run the benchmarks headless
#   ./board.sh dist   build the board and pack dist/board-VERSION.zip for Windows users
#   ./board.sh install    add the board (under Wine) to the current user's applications menu
#   ./board.sh uninstall  take it out again
# Each installs what is missing first (as root, or through sudo) and says what it installs.
# Sourced (as the script tests do), it defines its functions and runs nothing.
set -euo pipefail

PACKAGES=(cmake ninja-build g++ clang googletest
          g++-mingw-w64-i686 wine wine32:i386 libpulse0:i386
          xvfb xdotool imagemagick sox pulseaudio pulseaudio-utils
          locales fonts-wqy-microhei espeak-ng qemu-user-static liblzma-dev libpulse-dev pkg-config python3 ffmpeg
          xdg-utils python3-numpy python3-scipy)

# What Wine needs to serve the board well, for the user and the tests alike:
# Wine's sound stream asks the server for a buffer so short that it underruns
# in the first second whenever the machine is busy, garbling the sound;
# Wine's .NET and HTML installers would otherwise pop up on a fresh prefix,
# and its menu builder would put Windows entries into the desktop's menus.
BOARD_WINE_ENV=(LANG=zh_CN.UTF-8 WINEDEBUG=-all PULSE_LATENCY_MSEC=60
                "WINEDLLOVERRIDES=mscoree,mshtml=;winemenubuilder.exe=d"
                QEMU_RESERVED_VA=0xf7000000)

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
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        echo "== enabling the i386 architecture for 32-bit Wine"
        as_root dpkg --add-architecture i386
        LISTS_UPDATED=
    fi
    install_packages "${PACKAGES[@]}"
    local runtime
    runtime=$(clang_runtime_package)
    [ -z "$runtime" ] || install_packages "$runtime"
    if ! locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$'; then
        echo "== generating the zh_CN.UTF-8 locale (ANSI code page 936 under Wine)"
        grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null || echo 'zh_CN.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
        as_root locale-gen >/dev/null
    fi
    enable_32bit_programs
}

# Some kernels cannot start 32-bit Linux programs, which 32-bit Wine is;
# there the processor emulator runs them instead.
enable_32bit_programs() {
    if [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then
        WINE_EMULATED=1
        return 0
    fi
    /lib/ld-linux.so.2 --version >/dev/null 2>&1 && return 0
    WINE_EMULATED=1
    echo "== this kernel does not run 32-bit programs: registering qemu-i386 for them"
    local misc=/proc/sys/fs/binfmt_misc
    [ -e $misc/register ] || as_root mount -t binfmt_misc binfmt_misc $misc 2>/dev/null || true
    [ -e $misc/qemu-i386 ] || [ ! -e $misc/register ] || printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' \
        | as_root tee $misc/register >/dev/null || true
    /lib/ld-linux.so.2 --version >/dev/null 2>&1 && return 0
    echo "== 32-bit programs cannot run here at all: Wine will not start" >&2
    WINE_UNAVAILABLE=1
}

# Configuring every time is cheap when nothing changed, and lets options such
# as BOARD_WERROR take effect on an existing tree.
configure() {  # preset [extra cmake args]
    local preset=$1
    shift
    cmake --preset "$preset" "$@" >/dev/null
}

build_windows() {
    configure win -DBOARD_WERROR=${BOARD_WERROR:-OFF} -DBOARD_UNPROVEN_TESTS=${BOARD_UNPROVEN_TESTS:-OFF}
    cmake --build build/win "$@"
}

run_board() {
    install_missing
    build_windows --target board
    local exe=build/win/app/board.exe
    [ -z "${WINE_UNAVAILABLE:-}" ] || { echo "Built $exe; run it on Windows." >&2; exit 1; }
    if [ -z "${DISPLAY:-}" ]; then
        echo "Built $exe. No X display is set: start it from a desktop session with"
        echo "  env ${BOARD_WINE_ENV[*]@Q} wine $exe"
        exit 0
    fi
    exec env "${BOARD_WINE_ENV[@]}" wine "$exe"
}

run_tests() {
    install_missing
    # CI holds the tree to a clean build: warnings fail it there.
    local werror=${BOARD_WERROR:-$([ "${CI:-}" = true ] && echo ON || echo OFF)}
    configure native -DBOARD_WERROR=$werror
    cmake --build build/native
    configure fuzz -DBOARD_WERROR=$werror
    cmake --build build/fuzz
    BOARD_WERROR=$werror build_windows
    # One ctest run over the three builds, so the summary at the end covers everything.
    printf 'subdirs("native" "fuzz" "win")\n' >build/CTestTestfile.cmake
    local exclude=()
    if [ -n "${WINE_UNAVAILABLE:-}" ]; then
        echo "== Windows tests (label wine) are built, not run: Wine cannot start here"
        exclude=(-LE wine)
    elif [ -n "${WINE_EMULATED:-}" ] && [ -z "${BOARD_WINE_TESTS:-}" ]; then
        # Emulated, Wine needs tens of minutes per test session; the Windows tests
        # are built but run only when asked for (BOARD_WINE_TESTS=1).
        echo "== 32-bit programs run under emulation here: Windows tests (label wine) are built, not run"
        exclude=(-LE wine)
    fi
    ctest --test-dir build --output-on-failure -j2 "${exclude[@]}"
}

run_benchmarks() {
    install_missing
    [ -z "${WINE_UNAVAILABLE:-}" ] || { echo "The benchmarks need Wine, which cannot start here." >&2; exit 1; }
    configure native
    cmake --build build/native --target wavmatch sinkrec
    build_windows
    BOARD_BUILD_DIR=$PWD/build/win BOARD_HOST_TOOLS=$PWD/build/native/tests/harness bash bench/run.sh
}

# The version the download carries: the nearest tag, else the commit, marked when the tree is changed.
dist_version() { git describe --tags --always --dirty; }

pack_dist() {
    install_missing
    build_windows --target board
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

# Writes the desktop entry that starts EXE under Wine with the board's Wine settings.
desktop_entry() {  # exe
    local exec=env arg
    for arg in "${BOARD_WINE_ENV[@]}" wine "$1"; do
        exec+=" $(desktop_exec_argument "$arg")"
    done
    printf '[Desktop Entry]\nType=Application\nVersion=1.0\nName=Sound Board\nName[zh_CN]=主持人音效板\n'
    printf 'Comment=A stage host'"'"'s sound-effect board (runs under Wine)\n'
    printf 'Exec=%s\nIcon=%s\nTerminal=false\nCategories=AudioVideo;Audio;\n' "$exec" "$DESKTOP_NAME"
}

# Adds the entry for EXE and the icon to the current user's menu and icon theme.
install_desktop_entry() {  # exe source-dir
    local work
    work=$(mktemp -d)
    desktop_entry "$1" >"$work/$DESKTOP_NAME.desktop"
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
    build_windows --target board
    install_desktop_entry "$PWD/build/win/app/board.exe" "$PWD"
    echo "Added \"Sound Board\" to the applications menu; it runs $PWD/build/win/app/board.exe under Wine."
    echo "Keep this folder where it is: the menu entry starts the board from it."
}

main() {
    cd "$(dirname "$0")"
    case "${1:-}" in
        run) run_board ;;
        test) run_tests ;;
        bench) run_benchmarks ;;
        dist) pack_dist ;;
        install) install_board ;;
        uninstall) uninstall_desktop_entry; echo "Took \"Sound Board\" out of the applications menu." ;;
        *) echo "usage: $0 run|test|bench|dist|install|uninstall" >&2; exit 2 ;;
    esac
}

[ "${BASH_SOURCE[0]}" != "$0" ] || main "$@"
