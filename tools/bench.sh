#!/usr/bin/env bash
# Sets the machine up, builds Quorvane and runs its benchmarks under Wine on
# the 32-bit product (through qemu-i386 where the kernel cannot run 32-bit
# code, so its figures then include qemu's cost):
#   tools/bench.sh [grep] [files [folders [megabytes [big-file-megabytes]]]]
#   tools/bench.sh documents [--quick] [--utf8=MB] [megabytes...]
#   tools/bench.sh all
# grep (the default) runs grep_bench, the grep and listing benchmark: the
# tree's file count, folder count and size in megabytes (defaults 20000 2000
# 200); the tree is made under Wine's temporary folder and removed at the
# end. documents runs document_bench, which opens and saves large files in
# the real editor (--quick leaves out the 1 GB file). all runs both with
# their defaults. With QUORVANE_BENCH_BOTH=1 it runs on the 64-bit twin as
# well.
# The Wine session has Windows' classic look: Wine's built-in theme can
# spend milliseconds drawing one scroll bar, which the pane figures would
# measure more than the program. QUORVANE_BENCH_LOOK=theme measures in
# Wine's own look instead, QUORVANE_BENCH_LOOK=both in each in turn.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bash "$here/setup.sh"
source "$here/wine-env.sh"
trap 'exit 130' INT TERM

benches=(grep_bench)
case "${1:-}" in
grep) shift ;;
documents) benches=(document_bench); shift ;;
all)
    benches=(grep_bench document_bench)
    shift
    if [ "$#" -gt 0 ]; then
        echo "bench.sh: 'all' takes no arguments; give them to 'grep' or 'documents' alone" >&2
        exit 2
    fi
    ;;
esac

quorvane_build_runnable "${benches[@]}" Quorvane
runs=("$QUORVANE_RUN_TARGET $QUORVANE_RUN_WAY")
if [ "${QUORVANE_BENCH_BOTH:-0}" = 1 ] && [ "$QUORVANE_RUN_TARGET" != x86_64 ]; then
    quorvane_build x86_64 "${benches[@]}" Quorvane
    runs+=("x86_64 native")
fi
looks=("${QUORVANE_BENCH_LOOK:-classic}")
[ "${looks[0]}" = both ] && looks=(classic theme)
for look in "${looks[@]}"; do
    export QUORVANE_WINE_LOOK=$look
    for run in "${runs[@]}"; do
        read -r target way <<<"$run"
        dir="$QUORVANE_ROOT/build/$target"
        for bench in "${benches[@]}"; do
            echo "bench: $bench, figures of the $target build ($(quorvane_way_text "$target" "$way")), in the $look look"
            "$here/wine-session.sh" "$dir" "$target" "$way" "$here/wine-run.sh" "$dir/bin/$bench.exe" "$@"
        done
    done
done
