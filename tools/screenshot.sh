#!/usr/bin/env bash
# Makes docs/screenshot.png, the picture in the README: the editor with a
# Japanese document in the left pane and grep results in the right one. The
# script writes the sample files into the Wine prefix of the build, drives
# the editor through its menu commands and dialogs (quorvane_driver), takes
# the main window from a private Xvfb display and closes the editor through
# its exit question. The samples are removed at the end.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

# Outside the session: set up, build, and run this script again inside the
# Wine session of the build that runs here (through qemu-i386 where the
# kernel cannot run 32-bit code).
if [ "${1:-}" != --in-session ]; then
    bash "$here/setup.sh"
    source "$here/wine-env.sh"
    quorvane_build_runnable >/dev/null
    shot=${1:-$QUORVANE_ROOT/docs/screenshot.png}
    case "$shot" in /*) ;; *) shot="$PWD/$shot" ;; esac
    exec "$here/wine-session.sh" "$QUORVANE_RUN_DIR" "$QUORVANE_RUN_TARGET" "$QUORVANE_RUN_WAY" \
        "$here/screenshot.sh" --in-session "$QUORVANE_RUN_DIR" "$shot"
fi
dir=$2 shot=$3

samples=
cleanup() {
    [ -n "$samples" ] && rm -rf "$samples"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
driver=("$here/wine-run.sh" "$dir/bin/quorvane_driver.exe")

# C:\作業 in the prefix; the texts are code page 932 with CR LF, as the
# editor's users keep them.
samples="$WINEPREFIX/drive_c/作業"
rm -rf "$samples"
mkdir -p "$samples/メモ/資料"
sample() {
    sed 's/$/\r/' | iconv -f UTF-8 -t CP932 >"$samples/$1"
}
sample 議事録.txt <<'TEXT'
定例会議 議事録
日時：12月8日（火）10:00
出席：佐藤、鈴木、高橋

1. 前回の宿題
 ・検索の文言を統一（完了）
 ・grep に行番号（完了）

2. 今回の議題
 ・0.7.0 のリリース準備
   インストーラーと zip
   を作り、配布する。
   締切は12月15日。
 ・README の画像を差し替え

3. 次回
   12月15日（火）10:00
TEXT
sample メモ/計画.txt <<'TEXT'
リリース計画
版：0.7.0
締切：12月15日
担当：佐藤
TEXT
sample メモ/作業.txt <<'TEXT'
・インストーラーを確認
・締切までに zip を作る
TEXT
sample メモ/資料/連絡.txt <<'TEXT'
各位
配布は締切の前日まで
以上
TEXT

"$here/wine-run.sh" "$dir/bin/Quorvane.exe" &
editor_pid=$!
"${driver[@]}" wait
"${driver[@]}" open 'C:\作業\議事録.txt'
"${driver[@]}" grep 'C:\作業\メモ' 締切
# 表示 → 行番号 (IDM_VIEW_LINE_NUMBERS) for the picture; the status bar shows
# by default. The choice is turned back afterwards, since the settings keep it.
"${driver[@]}" menu 32921
frame=$("${driver[@]}" frame | tr -d '\r')
import -display "$DISPLAY" -window root -crop "$frame" +repage "$shot"
echo "screenshot: $shot ($frame)"
"${driver[@]}" menu 32921
"${driver[@]}" close
wait "$editor_pid"
