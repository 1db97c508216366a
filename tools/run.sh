#!/usr/bin/env bash
# Sets the machine up, builds Quorvane and starts it. With a desktop display
# the editor opens there and the command ends when it is closed. Without one,
# the editor runs in a private Xvfb display: the command waits for the main
# window, saves a screenshot (its path is printed), closes the editor through
# its exit question and ends with the editor's exit code.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bash "$here/setup.sh"
source "$here/wine-env.sh"

quorvane_build_runnable >/dev/null
target=$QUORVANE_RUN_TARGET
dir=$QUORVANE_RUN_DIR
editor="$dir/bin/Quorvane.exe"
driver="$dir/bin/quorvane_driver.exe"

trap wine_session_stop EXIT
trap 'exit 130' INT TERM

if [ -n "${DISPLAY:-}" ] && [ "${QUORVANE_HEADLESS:-0}" != 1 ]; then
    wine_env "$dir" "$target"
    wine_session_start_on_display
    "$QUORVANE_WINE" "$editor"
    exit $?
fi

wine_session_start "$dir" "$target"
"$QUORVANE_WINE" "$editor" &
editor_pid=$!
"$QUORVANE_WINE" "$driver" wait
shot="$dir/quorvane-screenshot.png"
import -display "$DISPLAY" -window root -crop 1024x768+0+0 +repage "$shot"
echo "run: screenshot saved to $shot"
"$QUORVANE_WINE" "$driver" close
status=0
wait "$editor_pid" || status=$?
echo "run: Quorvane exited with code $status"
exit "$status"
