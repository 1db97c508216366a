#!/usr/bin/env bash
# Sets the machine up, builds Quorvane and runs the grep and listing
# benchmark under Wine on the 32-bit product (through qemu-i386 where the
# kernel cannot run 32-bit code, so its figures then include qemu's cost).
# With QUORVANE_BENCH_BOTH=1 it runs on the 64-bit twin as well. Arguments go
# to the benchmark: the tree's file count, folder count and size in megabytes
# (defaults 20000 2000 200). The tree is made under Wine's temporary folder
# and removed at the end.
# The Wine session has Windows' classic look: Wine's built-in theme spends
# about 4 ms drawing each scroll bar, and the Edit control draws its scroll
# bars again on every addition to its text, so the pane figures would
# measure Wine's theme drawing more than the program. QUORVANE_BENCH_LOOK=theme
# measures in Wine's own look instead.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bash "$here/setup.sh"
source "$here/wine-env.sh"
trap 'exit 130' INT TERM

quorvane_build_runnable grep_bench
runs=("$QUORVANE_RUN_TARGET $QUORVANE_RUN_WAY")
if [ "${QUORVANE_BENCH_BOTH:-0}" = 1 ] && [ "$QUORVANE_RUN_TARGET" != x86_64 ]; then
    quorvane_build x86_64 grep_bench
    runs+=("x86_64 native")
fi
export QUORVANE_WINE_LOOK=${QUORVANE_BENCH_LOOK:-classic}
for run in "${runs[@]}"; do
    read -r target way <<<"$run"
    echo "bench: figures of the $target build ($(quorvane_way_text "$target" "$way")), in the $QUORVANE_WINE_LOOK look"
    dir="$QUORVANE_ROOT/build/$target"
    "$here/wine-session.sh" "$dir" "$target" "$way" "$here/wine-run.sh" "$dir/bin/grep_bench.exe" "$@"
done
