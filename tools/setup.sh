#!/usr/bin/env bash
# Makes a Debian 12 machine ready to build, run and test Quorvane: the MinGW-w64
# cross compiler, 32-bit Wine, a private X server, the Japanese locale and font,
# CMake and the GoogleTest sources, qemu-user where the kernel cannot run
# 32-bit code, and the Scintilla sources (into build/deps/). The 64-bit twin
# is built and tested as well (tools/test.sh). Installs only what is missing,
# so a second run on a ready machine changes nothing.
set -euo pipefail

if [ "$(id -u)" -eq 0 ]; then SUDO=(); else SUDO=(sudo); fi
export DEBIAN_FRONTEND=noninteractive

packages=(
    g++-mingw-w64-i686 binutils-mingw-w64-i686
    g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
    wine wine32:i386 wine64
    xvfb xauth
    locales fonts-ipafont-gothic
    cmake make googletest
    imagemagick
    fonts-wine           # Wine's Marlett: caption buttons drawn as buttons
    nsis python3         # the installer and the reproducible zips (tools/package.sh)
)

is_installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${SUDO[@]}" dpkg --add-architecture i386
fi

# A mirror being synced fails one index now and then ("File has unexpected
# size"): try again, and if one still fails go on with the indexes that came.
indexes_incomplete=0
apt_update() {
    for attempt in 1 2 3; do
        "${SUDO[@]}" apt-get update -q && return 0
        echo "setup: apt-get update failed (try $attempt of 3)" >&2
        sleep $((attempt * 10))
    done
    echo "setup: going on with the package indexes that could be fetched" >&2
    indexes_incomplete=1
}

# Wine's 32- and 64-bit libraries must be the same version. When one
# architecture's security index is missing, the other's newer versions cannot
# be matched, so the install then keeps to the release's own versions (the
# next run of this script, with every index, brings the updates).
apt_install() {
    "${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -q --no-install-recommends "$@" && return 0
    local codename
    codename="$(. /etc/os-release && echo "${VERSION_CODENAME:-}")"
    [ "$indexes_incomplete" -eq 1 ] && [ -n "$codename" ] || return 1
    echo "setup: installing from $codename's own versions, as an index is missing" >&2
    "${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -q --no-install-recommends -t "$codename" "$@"
}

missing=()
for p in "${packages[@]}"; do
    is_installed "$p" || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    apt_update
    apt_install "${missing[@]}"
fi

# Where the kernel cannot run 32-bit code, the 32-bit build runs through
# qemu-i386 (tools/i386-namespace.sh). Bookworm's own qemu loops forever under
# Wine, so there it comes from bookworm-backports, whose packages apt never
# picks unless asked: the machine's default suite stays as it is.
source "$(dirname "$0")/wine-env.sh"
if ! quorvane_can_run_32bit && ! quorvane_qemu_recent; then
    release=()
    if [ "$(. /etc/os-release && echo "${VERSION_CODENAME:-}")" = bookworm ]; then
        release=(-t bookworm-backports)
        if ! grep -rqsE '^[^#]*bookworm-backports' /etc/apt/sources.list /etc/apt/sources.list.d/; then
            printf '%s\n' 'Types: deb' 'URIs: http://deb.debian.org/debian' \
                'Suites: bookworm-backports' 'Components: main' \
                'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' |
                "${SUDO[@]}" tee /etc/apt/sources.list.d/bookworm-backports.sources >/dev/null
        fi
    fi
    echo "setup: installing qemu-user ${release[*]} to run the 32-bit build"
    apt_update
    "${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -q --no-install-recommends "${release[@]}" qemu-user
fi

# Scintilla, the editing component, comes as source from Debian's scite
# package (its archive holds scintilla/ with win32/) at the version pinned in
# cmake/deps.txt, unpacked once into build/deps/scintilla-<version>/. apt
# works from a source list and state folders of its own there, so the
# machine's own sources stay as they are; apt checks the download against
# the release's signed index.
scintilla_version=$(sed -n 's/^scite=//p' "$QUORVANE_ROOT/cmake/deps.txt")
if [ -z "$scintilla_version" ]; then
    echo "setup: cmake/deps.txt names no scite version, so Scintilla cannot be fetched" >&2
    exit 1
fi
deps="$QUORVANE_ROOT/build/deps"
scintilla_dir="$deps/scintilla-$scintilla_version"

# The downloaded archive is also kept in the user's cache, so another clone
# on this machine (CI's among them) unpacks it without asking the mirror.
scintilla_cache="${XDG_CACHE_HOME:-$HOME/.cache}/quorvane"

# Unpacked beside its place and moved there whole, so a broken run never
# leaves a half folder that looks ready.
unpack_scintilla() {
    rm -rf "$scintilla_dir.part"
    mkdir -p "$scintilla_dir.part"
    tar -xf "$1" -C "$scintilla_dir.part" scintilla || return 1
    rm -rf "$scintilla_dir"
    mv "$scintilla_dir.part" "$scintilla_dir"
}

fetch_scintilla() {
    local work="$deps/apt" tarball
    rm -rf "$work"
    mkdir -p "$work/lists/partial" "$work/cache/archives/partial" "$work/download"
    echo 'deb-src http://deb.debian.org/debian bookworm main' >"$work/sources.list"
    # apt's own download user cannot write into the build tree, so apt would
    # download as us anyway, after a warning; it checks what came either way.
    local apt_options=(-q -o "Dir::Etc::SourceList=$work/sources.list" -o Dir::Etc::SourceParts=/dev/null
        -o "Dir::State::Lists=$work/lists" -o "Dir::Cache=$work/cache" -o APT::Sandbox::User=root)
    apt-get "${apt_options[@]}" update >/dev/null &&
        (cd "$work/download" && apt-get "${apt_options[@]}" source --download-only "scite=$scintilla_version" >/dev/null) ||
        return 1
    tarball=$(ls "$work/download/"scite_*.orig.tar.* 2>/dev/null | head -n1)
    [ -n "$tarball" ] && unpack_scintilla "$tarball" || return 1
    mkdir -p "$scintilla_cache" &&
        cp "$tarball" "$scintilla_cache/.part" &&
        mv "$scintilla_cache/.part" "$scintilla_cache/$(basename "$tarball")" || true
    rm -rf "$work"
}

if [ ! -f "$scintilla_dir/scintilla/win32/ScintillaWin.cxx" ]; then
    cached=$(ls "$scintilla_cache/scite_${scintilla_version%-*}".orig.tar.* 2>/dev/null | head -n1 || true)
    if [ -n "$cached" ] && unpack_scintilla "$cached"; then
        echo "setup: Scintilla $scintilla_version unpacked from $cached"
    else
        echo "setup: fetching Scintilla (Debian source package scite $scintilla_version) into $scintilla_dir"
        for attempt in 1 2 3; do
            fetch_scintilla && break
            if [ "$attempt" -eq 3 ]; then
                echo "setup: could not fetch Scintilla (scite $scintilla_version from Debian's bookworm sources); the editor cannot be built without it" >&2
                exit 1
            fi
            echo "setup: could not fetch Scintilla (try $attempt of 3); trying again" >&2
            sleep $((attempt * 10))
        done
    fi
fi

# Wine takes the ANSI code page from the Unix locale, and only from one that
# glibc really has: without it the code page silently falls back to 1252.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
    echo "setup: generating the ja_JP.UTF-8 locale"
    "${SUDO[@]}" sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen ||
        echo 'ja_JP.UTF-8 UTF-8' | "${SUDO[@]}" tee -a /etc/locale.gen >/dev/null
    "${SUDO[@]}" locale-gen
fi

echo "setup: machine ready"
