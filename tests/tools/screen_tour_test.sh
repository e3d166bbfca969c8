#!/usr/bin/env bash
# The screen tour on a staged demo tree pictures the name selection and the version dialog over it
# at the size of its display, and the index page shows them; a message nobody expected (the print
# source is missing) is pictured too and fails the tour.
#
#   screen_tour_test.sh <mirai_screens> <stage_demo> <miraidrill> <demo sources>
set -euo pipefail
tour=$1
stager=$2
program=$3
sources=$4

work=$(mktemp -d)
xvfb=""
cleanup() {
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
exec 3>&-
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"
export SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=xcb ASAN_OPTIONS=detect_leaks=0
export XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" TMPDIR="$work"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset QT_SCALE_FACTOR

"$stager" "$sources" "$work/tree" "$program" >/dev/null
"$tour" --app-folder "$work/tree/prog/MiraiDrill" --out "$work/out" --only namesel,frmver || fail "the tour failed"
# The pictures are numbered by their place in the table.
for name in namesel frmver; do
    path=$(find "$work/out/1024x768" -name "[0-9][0-9]-$name.png")
    [ -s "$path" ] || fail "no picture of $name"
    file -b "$path" | grep -q 'PNG image data, 1024 x 768' || fail "$path: $(file -b "$path")"
done
[ "$(find "$work/out/1024x768" -name '*.png' | wc -l)" -eq 2 ] || fail "other pictures than the ones asked for"

"$tour" --index "$work/out" || fail "no index page"
grep -q 'src="1024x768/[0-9][0-9]-frmver.png"' "$work/out/index.html" || fail "the index page does not show the pictures"

rm "$work/tree/prog/MiraiDrill/プロト.csv"
status=0
"$tour" --app-folder "$work/tree/prog/MiraiDrill" --out "$work/out" --only print-prep 2>"$work/errors" || status=$?
[ "$status" -eq 1 ] || fail "a message nobody expected ended the tour with $status"
grep -q 'a window nobody expected' "$work/errors" || fail "the message was not reported: $(cat "$work/errors")"
[ -n "$(find "$work/out/1024x768" -name '[0-9][0-9]-print-prep.unexpected-1.png' -size +0)" ] ||
    fail "the message was not pictured"
echo "pictures at 1024 x 768, and a message nobody expected fails the tour"
