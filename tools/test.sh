#!/usr/bin/env bash
# Sets the machine up, builds the 32-bit product and its 64-bit twin, and
# runs every test under Wine on each: the 32-bit one natively where the kernel
# runs 32-bit code, through qemu-i386 in a private namespace where it does not.
# Extra arguments go to both ctest runs (for example -R framework). Fails if
# either run fails.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bash "$here/setup.sh"
source "$here/wine-env.sh"
trap 'exit 130' INT TERM

quorvane_build i686
quorvane_build x86_64

runs=()
i686_way=$(quorvane_i686_way)
if [ "$i686_way" = none ]; then
    echo "test: this kernel cannot run 32-bit programs and qemu-i386 $QUORVANE_QEMU_MIN_MAJOR or later in a private namespace is not available; the 32-bit product is NOT tested here" >&2
else
    runs+=("i686 $i686_way")
fi
runs+=("x86_64 native")

summary=()
failed=0
for run in "${runs[@]}"; do
    read -r target way <<<"$run"
    what="$target build ($(quorvane_way_text "$target" "$way"))"
    echo "test: running the suite on the $what"
    status=0 started=$SECONDS
    "$here/wine-session.sh" "$QUORVANE_ROOT/build/$target" "$target" "$way" \
        ctest --test-dir "$QUORVANE_ROOT/build/$target" --output-on-failure --timeout 900 "$@" ||
        status=$?
    took="in $((SECONDS - started)) s"
    if [ "$status" -eq 0 ]; then
        summary+=("test: passed on the $what, $took")
    else
        summary+=("test: FAILED on the $what (ctest exit code $status), $took")
        failed=1
    fi
done
printf '%s\n' "${summary[@]}"
exit "$failed"
