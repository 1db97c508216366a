#!/usr/bin/env bash
# Sets the machine up, builds Quorvane and runs the grep and listing
# benchmark under Wine. Arguments go to the benchmark: the tree's file count,
# folder count and size in megabytes (defaults 20000 2000 200). The tree is
# made under Wine's temporary folder and removed at the end.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bash "$here/setup.sh"
source "$here/wine-env.sh"

quorvane_build_runnable
trap wine_session_stop EXIT
trap 'exit 130' INT TERM
wine_session_start "$QUORVANE_RUN_DIR" "$QUORVANE_RUN_TARGET"
"$QUORVANE_WINE" "$QUORVANE_RUN_DIR/bin/grep_bench.exe" "$@"
