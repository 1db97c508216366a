#!/usr/bin/env bash
# same-zip-twice.sh MAKE_ZIP FILE...: zips copies of the files twice, with
# other modification times and another umask the second time, and fails
# unless both zips are identical and hold exactly the files, intact.
set -euo pipefail
make_zip=$1; shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for run in 1 2; do
    mkdir "$work/in$run"
    cp "$@" "$work/in$run/"
    [ "$run" = 2 ] && touch -d '2001-02-03 04:05:06' "$work/in2/"* && chmod 600 "$work/in2/"*
    python3 "$make_zip" "$work/out$run.zip" Quorvane-test "$work/in$run/"*
done
cmp "$work/out1.zip" "$work/out2.zip"
mkdir "$work/unpacked"
python3 -m zipfile -e "$work/out1.zip" "$work/unpacked"
for file in "$@"; do
    cmp "$file" "$work/unpacked/Quorvane-test/$(basename "$file")"
done
[ "$(ls "$work/unpacked/Quorvane-test" | wc -l)" -eq "$#" ]
echo "package_zips: two runs gave the same $(stat -c %s "$work/out1.zip")-byte zip"
