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

# Sources the build needs for Windows come from Debian's source packages at
# the versions pinned in cmake/deps.txt, each unpacked once into
# build/deps/<name>-<version>/: Scintilla, the editing component (the scite
# package, whose archive holds scintilla/ with win32/), and PCRE2, the
# regular-expression engine. apt works from a source list and state folders
# of its own there, so the machine's own sources stay as they are; apt
# checks the download against the release's signed index.
deps="$QUORVANE_ROOT/build/deps"
# The downloaded archives are also kept in the user's cache, so another
# clone on this machine (CI's among them) unpacks them without asking the
# mirror.
source_cache="${XDG_CACHE_HOME:-$HOME/.cache}/quorvane"

pinned_version() {
    local version
    version=$(sed -n "s/^$1=//p" "$QUORVANE_ROOT/cmake/deps.txt")
    if [ -z "$version" ]; then
        echo "setup: cmake/deps.txt names no $1 version, so it cannot be fetched" >&2
        exit 1
    fi
    echo "$version"
}

# Unpacked beside its place and moved there whole, so a broken run never
# leaves a half folder that looks ready. $3: the archive's top folder.
unpack_source() {
    local tarball=$1 dir=$2 member=$3
    rm -rf "$dir.part"
    mkdir -p "$dir.part"
    tar -xf "$tarball" -C "$dir.part" "$member" || return 1
    rm -rf "$dir"
    mv "$dir.part" "$dir"
}

fetch_source() {
    local package=$1 version=$2 dir=$3 member=$4 work="$deps/apt" tarball
    rm -rf "$work"
    mkdir -p "$work/lists/partial" "$work/cache/archives/partial" "$work/download"
    echo 'deb-src http://deb.debian.org/debian bookworm main' >"$work/sources.list"
    # apt's own download user cannot write into the build tree, so apt would
    # download as us anyway, after a warning; it checks what came either way.
    local apt_options=(-q -o "Dir::Etc::SourceList=$work/sources.list" -o Dir::Etc::SourceParts=/dev/null
        -o "Dir::State::Lists=$work/lists" -o "Dir::Cache=$work/cache" -o APT::Sandbox::User=root)
    apt-get "${apt_options[@]}" update >/dev/null &&
        (cd "$work/download" && apt-get "${apt_options[@]}" source --download-only "$package=$version" >/dev/null) ||
        return 1
    tarball=$(ls "$work/download/${package}_"*.orig.tar.* 2>/dev/null | head -n1)
    [ -n "$tarball" ] && unpack_source "$tarball" "$dir" "$member" || return 1
    mkdir -p "$source_cache" &&
        cp "$tarball" "$source_cache/.part" &&
        mv "$source_cache/.part" "$source_cache/$(basename "$tarball")" || true
    rm -rf "$work"
}

# $1 what it is, $2 the source package, $3 the archive's top folder, $4 a
# file that shows the unpacked source is whole.
ensure_source() {
    local what=$1 package=$2 member=$3 ready=$4 version dir cached
    version=$(pinned_version "$package")
    dir="$deps/$what-$version"
    [ -f "$dir/$member/$ready" ] && return 0
    cached=$(ls "$source_cache/${package}_${version%-*}".orig.tar.* 2>/dev/null | head -n1 || true)
    if [ -n "$cached" ] && unpack_source "$cached" "$dir" "$member"; then
        echo "setup: $what $version unpacked from $cached"
        return 0
    fi
    echo "setup: fetching $what (Debian source package $package $version) into $dir"
    for attempt in 1 2 3; do
        fetch_source "$package" "$version" "$dir" "$member" && return 0
        if [ "$attempt" -eq 3 ]; then
            echo "setup: could not fetch $what ($package $version from Debian's bookworm sources); the editor cannot be built without it" >&2
            exit 1
        fi
        echo "setup: could not fetch $what (try $attempt of 3); trying again" >&2
        sleep $((attempt * 10))
    done
}

ensure_source scintilla scite scintilla win32/ScintillaWin.cxx
pcre2_version=$(pinned_version pcre2)
ensure_source pcre2 pcre2 "pcre2-${pcre2_version%-*}" src/pcre2_jit_compile.c

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
