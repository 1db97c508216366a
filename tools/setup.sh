#!/usr/bin/env bash
# Makes a Debian 12 machine ready to build, run and test Quorvane: the MinGW-w64
# cross compiler, 32-bit Wine, a private X server, the Japanese locale and font,
# CMake and the GoogleTest sources, and qemu-user where the kernel cannot run
# 32-bit code. The 64-bit twin is built and tested as well (tools/test.sh). Installs only what is missing, so a second
# run on a ready machine changes nothing.
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
