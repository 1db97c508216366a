#!/usr/bin/env bash
# Sets the machine up, builds the 32-bit product, and runs every test under
# Wine. Extra arguments go to ctest (for example -R framework).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bash "$here/setup.sh"
source "$here/wine-env.sh"

quorvane_build i686
target=$(quorvane_run_target)
if [ "$target" != i686 ]; then
    echo "test: this kernel cannot run 32-bit programs; testing the 64-bit build"
    quorvane_build "$target"
fi

dir="$QUORVANE_ROOT/build/$target"
trap wine_session_stop EXIT
trap 'exit 130' INT TERM
wine_session_start "$dir" "$target"
ctest --test-dir "$dir" --output-on-failure --timeout 600 "$@"
