#!/usr/bin/env bash
# Sets the machine up, builds Quorvane and starts the 32-bit product (through
# qemu-i386 where the kernel cannot run 32-bit code). With a desktop display
# the editor opens there and the command ends when it is closed. Without one,
# the editor runs in a private Xvfb display: the command waits for the main
# window, saves a screenshot (its path is printed), closes the editor through
# its exit question and ends with the editor's exit code.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

# The headless run, inside the Wine session: run.sh --in-session DIR.
if [ "${1:-}" = --in-session ]; then
    dir=$2
    "$here/wine-run.sh" "$dir/bin/Quorvane.exe" &
    editor_pid=$!
    "$here/wine-run.sh" "$dir/bin/quorvane_driver.exe" wait
    shot="$dir/quorvane-screenshot.png"
    import -display "$DISPLAY" -window root -crop 1024x768+0+0 +repage "$shot"
    echo "run: screenshot saved to $shot"
    "$here/wine-run.sh" "$dir/bin/quorvane_driver.exe" close
    status=0
    wait "$editor_pid" || status=$?
    echo "run: Quorvane exited with code $status"
    exit "$status"
fi

bash "$here/setup.sh"
source "$here/wine-env.sh"
# Only the editor, and the driver that the headless run waits and closes with.
quorvane_build_runnable Quorvane quorvane_driver >/dev/null
target=$QUORVANE_RUN_TARGET
way=$QUORVANE_RUN_WAY
dir=$QUORVANE_RUN_DIR
echo "run: the $target build ($(quorvane_way_text "$target" "$way"))"

if [ -n "${DISPLAY:-}" ] && [ "${QUORVANE_HEADLESS:-0}" != 1 ]; then
    QUORVANE_USE_DISPLAY=1 exec "$here/wine-session.sh" "$dir" "$target" "$way" \
        "$here/wine-run.sh" "$dir/bin/Quorvane.exe"
fi
exec "$here/wine-session.sh" "$dir" "$target" "$way" "$here/run.sh" --in-session "$dir"
