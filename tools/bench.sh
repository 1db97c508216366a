#!/usr/bin/env bash
# Sets the machine up, builds Quorvane and runs the grep and listing
# benchmark under Wine. Arguments go to the benchmark: the tree's file count,
# folder count and size in megabytes (defaults 20000 2000 200). The tree is
# made under Wine's temporary folder and removed at the end.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bash "$here/setup.sh"
source "$here/wine-env.sh"

quorvane_build i686
target=$(quorvane_run_target)
if [ "$target" != i686 ]; then
    echo "bench: this kernel cannot run 32-bit programs; timing the 64-bit build"
    quorvane_build "$target"
fi

dir="$QUORVANE_ROOT/build/$target"
trap wine_session_stop EXIT
trap 'exit 130' INT TERM
wine_session_start "$dir" "$target"
"$QUORVANE_WINE" "$dir/bin/grep_bench.exe" "$@"
