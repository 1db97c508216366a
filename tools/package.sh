#!/usr/bin/env bash
# Builds the 32-bit product and its 64-bit twin and writes what a Windows
# user downloads into dist/ (tests nothing; tools/test.sh does):
#   Quorvane-<version>-win32.zip   Quorvane.exe (32-bit), README.txt, CHANGES.txt,
#                                  Scintilla-License.txt, PCRE2-License.txt
#   Quorvane-<version>-win64.zip   the same with the 64-bit executable
#   Quorvane-<version>-setup.exe   the installer of the 32-bit executable
# The zips are reproducible: fixed order and timestamps (the last commit's).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bash "$here/setup.sh"
source "$here/wine-env.sh"
root=$QUORVANE_ROOT

quorvane_build i686
quorvane_build x86_64
version=$(sed -n 's/^#define QUORVANE_VERSION_TEXT "\(.*\)"$/\1/p' "$root/build/i686/generated/QuorvaneVersion.h")
setup="$root/build/i686/bin/Quorvane-$version-setup.exe"
if [ ! -f "$setup" ]; then
    echo "package: no installer was built ($setup); is makensis installed?" >&2
    exit 1
fi

SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 315532800)}
export SOURCE_DATE_EPOCH
dist="$root/dist"
mkdir -p "$dist"
for pair in win32:i686 win64:x86_64; do
    name="Quorvane-$version-${pair%%:*}"
    build="$root/build/${pair#*:}"
    python3 "$here/make-zip.py" "$dist/$name.zip" "$name" "$build/bin/Quorvane.exe" \
        "$build/package/README.txt" "$build/package/CHANGES.txt" "$build/package/Scintilla-License.txt" \
        "$build/package/PCRE2-License.txt"
done
cp "$setup" "$dist/"
echo "package: written to $dist:"
(cd "$dist" && ls -l "Quorvane-$version-win32.zip" "Quorvane-$version-win64.zip" "Quorvane-$version-setup.exe")
