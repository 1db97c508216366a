#!/usr/bin/env bash
# Runs one command in a Wine session for one build and ends the session after
# it, with the command's exit code:
#   tools/wine-session.sh DIR TARGET WAY COMMAND [ARGS...]
# WAY is how the build runs here (quorvane_i686_way in wine-env.sh): "qemu"
# runs the whole session, X server included, inside tools/i386-namespace.sh.
# The session has a private Xvfb display, or the display in $DISPLAY when
# QUORVANE_USE_DISPLAY=1. Inside, tools/wine-run.sh runs a Windows program.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
dir=$1 target=$2 way=$3
shift 3

if [ "$way" = qemu ] && [ "${QUORVANE_I386_NAMESPACE:-}" != ready ]; then
    exec "$here/i386-namespace.sh" "$0" "$dir" "$target" "$way" "$@"
fi

source "$here/wine-env.sh"
trap wine_session_stop EXIT
trap 'exit 130' INT TERM
if [ "${QUORVANE_USE_DISPLAY:-0}" = 1 ]; then
    wine_env "$dir" "$target" "$way"
    wine_session_start_on_display
else
    wine_session_start "$dir" "$target" "$way"
fi
status=0
"$@" || status=$?
exit "$status"
