#!/usr/bin/env bash
# CMake's emulator for the Windows test programs: runs one program under the
# Wine session that tools/test.sh (or tools/run.sh) started for this build.
if [ -z "${WINEPREFIX:-}" ] || [ -z "${QUORVANE_WINE:-}" ]; then
    echo "wine-run.sh: no Wine session; run the tests with tools/test.sh" >&2
    exit 2
fi
exec "$QUORVANE_WINE" "$@"
