#!/usr/bin/env bash
# Writes a UTF-8 text file the way Windows users read it beside the editor:
# code page 932 with CR LF line ends.   windows-text.sh SOURCE TARGET
set -euo pipefail
sed 's/\r$//; s/$/\r/' "$1" | iconv -f UTF-8 -t CP932 >"$2.tmp"
mv "$2.tmp" "$2"
