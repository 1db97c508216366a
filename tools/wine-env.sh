# Sourced by the build, run, test and benchmark scripts. Gives each build
# folder its own Wine prefix (made once) and runs Wine inside a private Xvfb
# display with a 1024 x 768 virtual desktop and the ja_JP.UTF-8 locale, so
# the ANSI code page is 932. wine_session_stop always ends both servers.

QUORVANE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Some virtual machines boot with 32-bit emulation switched off: there the
# 32-bit Wine cannot start, and the 64-bit twin of the product is the one run.
quorvane_can_run_32bit() {
    /lib/ld-linux.so.2 --version >/dev/null 2>&1
}

quorvane_run_target() {
    if quorvane_can_run_32bit; then echo i686; else echo x86_64; fi
}

# Configures and builds one target (i686 or x86_64) into build/<target>.
quorvane_build() {
    local target=$1 dir="$QUORVANE_ROOT/build/$1"
    cmake -S "$QUORVANE_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$QUORVANE_ROOT/cmake/mingw-$target.cmake" >/dev/null
    cmake --build "$dir" -j"$(nproc)"
}

# Builds the 32-bit product and, where this machine cannot run 32-bit code,
# the 64-bit twin; sets QUORVANE_RUN_TARGET and QUORVANE_RUN_DIR to the one
# that runs here.
quorvane_build_runnable() {
    quorvane_build i686
    QUORVANE_RUN_TARGET=$(quorvane_run_target)
    if [ "$QUORVANE_RUN_TARGET" != i686 ]; then
        echo "quorvane: this kernel cannot run 32-bit programs; using the 64-bit build here" >&2
        quorvane_build "$QUORVANE_RUN_TARGET"
    fi
    QUORVANE_RUN_DIR="$QUORVANE_ROOT/build/$QUORVANE_RUN_TARGET"
}

wine_env() {
    local dir=$1 target=$2
    export WINEPREFIX="$dir/wineprefix"
    export WINEDEBUG=-all
    # No Mono or Gecko installers; no Linux menu entries for the shortcuts
    # that the installer test makes.
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
    if [ "$target" = i686 ]; then
        export WINEARCH=win32 WINELOADER=/usr/lib/wine/wine
        export WINESERVER=/usr/lib/wine/wineserver32
    else
        export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
        export WINESERVER=/usr/lib/wine/wineserver64
    fi
    export QUORVANE_WINE=$WINELOADER
}

quorvane_xvfb_pid=
quorvane_wine_started=

# Starts a private Xvfb display, then the Wine session on it.
wine_session_start() {
    local dir=$1 target=$2 fdfile
    wine_env "$dir" "$target"
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
