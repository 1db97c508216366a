# Sourced by the build, run, test and benchmark scripts. Gives each build
# folder its own Wine prefix (made once) and runs Wine inside a private Xvfb
# display with a 1024 x 768 virtual desktop and the ja_JP.UTF-8 locale, so
# the ANSI code page is 932. wine_session_stop always ends both servers.

QUORVANE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Some virtual machines boot with 32-bit emulation switched off: there the
# 32-bit Wine cannot start by itself.
quorvane_can_run_32bit() {
    /lib/ld-linux.so.2 --version >/dev/null 2>&1
}

# qemu-i386 older than this ignores Wine's address-space reservations and
# loops forever.
QUORVANE_QEMU_MIN_MAJOR=10

quorvane_qemu_recent() {
    local major
    major=$(qemu-i386 --version 2>/dev/null | sed -n 's/^qemu-i386 version \([0-9]*\)\..*/\1/p')
    [ -n "$major" ] && [ "$major" -ge "$QUORVANE_QEMU_MIN_MAJOR" ]
}

quorvane_qemu_usable() {
    quorvane_qemu_recent &&
        "$QUORVANE_ROOT/tools/i386-namespace.sh" /lib/ld-linux.so.2 --version >/dev/null 2>&1
}

# How the 32-bit build runs here: "native", "qemu" (qemu-i386 in a private
# namespace, tools/i386-namespace.sh) or "none".
quorvane_i686_way() {
    if quorvane_can_run_32bit; then
        echo native
    elif quorvane_qemu_usable; then
        echo qemu
    else
        echo none
    fi
}

# Says in words how a build runs: quorvane_way_text TARGET WAY.
quorvane_way_text() {
    case "$1/$2" in
    i686/native) echo "the 32-bit product, on 32-bit Wine" ;;
    i686/qemu) echo "the 32-bit product, on 64-bit Wine with its 32-bit side under qemu-i386 in a private namespace" ;;
    *) echo "the 64-bit twin, on 64-bit Wine" ;;
    esac
}

# Configures one target (i686 or x86_64) into build/<target> and builds the
# CMake targets named after it, or everything when none is named. Says on
# stderr how long the build took.
quorvane_build() {
    local target=$1 dir="$QUORVANE_ROOT/build/$1"
    shift
    local what=() start=$SECONDS
    [ "$#" -gt 0 ] && what=(--target "$@")
    cmake -S "$QUORVANE_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$QUORVANE_ROOT/cmake/mingw-$target.cmake" >/dev/null
    cmake --build "$dir" -j"$(nproc)" "${what[@]}"
    echo "build: $target (${*:-everything}) took $((SECONDS - start)) s" >&2
}

# Builds the 32-bit product (the CMake targets named, or everything) and sets
# QUORVANE_RUN_TARGET, QUORVANE_RUN_WAY and QUORVANE_RUN_DIR to it; where it
# cannot run at all, builds the 64-bit twin and sets them to that instead.
quorvane_build_runnable() {
    quorvane_build i686 "$@"
    QUORVANE_RUN_TARGET=i686
    QUORVANE_RUN_WAY=$(quorvane_i686_way)
    if [ "$QUORVANE_RUN_WAY" = none ]; then
        echo "quorvane: this kernel cannot run 32-bit programs and qemu-i386 $QUORVANE_QEMU_MIN_MAJOR or later in a private namespace is not available; using the 64-bit build here" >&2
        QUORVANE_RUN_TARGET=x86_64
        QUORVANE_RUN_WAY=native
        quorvane_build x86_64 "$@"
    fi
    QUORVANE_RUN_DIR="$QUORVANE_ROOT/build/$QUORVANE_RUN_TARGET"
}

# wine_env DIR TARGET [WAY]. The 32-bit build under qemu runs in a 64-bit
# prefix of its own: the server and the prefix stay native and only the
# program itself goes through qemu, which is much faster than a 32-bit prefix.
wine_env() {
    local dir=$1 target=$2 way=${3:-native}
    export WINEDEBUG=-all
    # No Mono or Gecko installers; no Linux menu entries for the shortcuts
    # that the installer test makes.
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
    export WINEPREFIX="$dir/wineprefix" WINEARCH=win64
    export WINELOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64
    # The test programs check that they are the build named here.
    export QUORVANE_EXPECT_BITS=64 QUORVANE_EXPECT_WOW64=0
    if [ "$target" = i686 ] && [ "$way" = qemu ]; then
        WINEPREFIX="$dir/wineprefix-wow64"
        QUORVANE_EXPECT_BITS=32 QUORVANE_EXPECT_WOW64=1
    elif [ "$target" = i686 ]; then
        WINEARCH=win32 WINELOADER=/usr/lib/wine/wine
        WINESERVER=/usr/lib/wine/wineserver32
        QUORVANE_EXPECT_BITS=32
    fi
    # The classic look has a prefix of its own (see wine_prefix_create).
    if [ "${QUORVANE_WINE_LOOK:-theme}" = classic ]; then
        WINEPREFIX="$WINEPREFIX-classic"
    fi
    export QUORVANE_WINE=$WINELOADER
}

quorvane_xvfb_pid=
quorvane_wine_started=

# Starts a private Xvfb display, then the Wine session on it:
# wine_session_start DIR TARGET [WAY].
wine_session_start() {
    local dir=$1 target=$2 way=${3:-native} fdfile
    wine_env "$dir" "$target" "$way"
    fdfile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
    quorvane_xvfb_pid=$!
    for _ in $(seq 200); do [ -s "$fdfile" ] && break; sleep 0.05; done
    if [ ! -s "$fdfile" ]; then
        echo "wine-env: Xvfb did not start" >&2
        rm -f "$fdfile"
        return 1
    fi
    export DISPLAY=":$(head -n1 "$fdfile")"
    rm -f "$fdfile"
    wine_session_start_on_display
}

# Starts the Wine session on the display in $DISPLAY (wine_env first).
wine_session_start_on_display() {
    quorvane_wine_started=1
    if [ ! -f "$WINEPREFIX/.quorvane-ready" ]; then
        wine_prefix_create || return 1
    fi
    wine_prefix_add_marlett
    "$WINESERVER" -p
    # Start Wine's background services now, with their output on /dev/null:
    # started later they would inherit a test's pipes and keep ctest waiting.
    "$QUORVANE_WINE" wineboot </dev/null >/dev/null 2>&1
}

wine_prefix_create() {
    echo "wine-env: making the Wine prefix $WINEPREFIX (once)"
    rm -rf "$WINEPREFIX"
    timeout 600 "$QUORVANE_WINE" wineboot -i </dev/null >/dev/null 2>&1 || true
    local reg=("$QUORVANE_WINE" reg add)
    "${reg[@]}" 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    "${reg[@]}" 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
    # A crashing test must fail, not wait for someone to close a crash dialog.
    "${reg[@]}" 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    # QUORVANE_WINE_LOOK=classic: Windows' classic look instead of Wine's
    # built-in theme, which takes about 4 ms to draw one scroll bar (classic:
    # 0.1 ms; on Windows a themed one takes microseconds too).
    if [ "${QUORVANE_WINE_LOOK:-theme}" = classic ]; then
        "${reg[@]}" 'HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' /v ThemeActive /d 0 /f >/dev/null 2>&1
    fi
    "$WINESERVER" -k 2>/dev/null || true
    "$WINESERVER" -w 2>/dev/null || true
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "wine-env: could not make the Wine prefix" >&2
        return 1
    fi
    touch "$WINEPREFIX/.quorvane-ready"
}

# Caption buttons are glyphs of the Marlett font (Debian's fonts-wine). This
# Wine does not take it from its own font folder, only from the prefix's.
wine_prefix_add_marlett() {
    local font=/usr/share/wine/fonts/marlett.ttf fonts="$WINEPREFIX/drive_c/windows/Fonts"
    if [ -f "$font" ] && [ -d "$fonts" ] && [ ! -f "$fonts/marlett.ttf" ]; then
        cp "$font" "$fonts/"
    fi
}

wine_session_stop() {
    if [ -n "$quorvane_wine_started" ]; then
        "$WINESERVER" -k 2>/dev/null || true
        quorvane_wine_started=
    fi
    if [ -n "$quorvane_xvfb_pid" ]; then
        kill "$quorvane_xvfb_pid" 2>/dev/null || true
        wait "$quorvane_xvfb_pid" 2>/dev/null || true
        quorvane_xvfb_pid=
    fi
}
