#!/usr/bin/env bash
# Sets the machine up, builds the 32-bit product, and runs every test under
# Wine. Extra arguments go to ctest (for example -R framework).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bash "$here/setup.sh"
source "$here/wine-env.sh"

quorvane_build_runnable
trap wine_session_stop EXIT
trap 'exit 130' INT TERM
wine_session_start "$QUORVANE_RUN_DIR" "$QUORVANE_RUN_TARGET"
ctest --test-dir "$QUORVANE_RUN_DIR" --output-on-failure --timeout 900 "$@"
