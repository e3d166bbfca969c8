#!/usr/bin/env bash
# The real program on a demo tree ends cleanly on SIGTERM and on SIGINT, also after a sound cue
# has played (the sound library must not swallow the signals): exit within 2 s with status 0,
# the result file untouched and whole. A SIGTERM while a finished run waits for a shared folder
# that is out of reach ends it as quickly, with the run kept on the station.
#
#   ending_test.sh <miraidrill> <stage_demo> <demo sources>
set -euo pipefail
program=$1
stager=$2
sources=$3

work=$(mktemp -d)
pid=""
xvfb=""
cleanup() {
    [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null || true
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# A display of our own: Xvfb picks a free number and writes it to fd 3.
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
export XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config"
mkdir -m 700 "$XDG_RUNTIME_DIR"

for signal in TERM INT; do
    tree="$work/tree-$signal"
    "$stager" "$sources" "$tree" "$program" >/dev/null
    results="$tree/共通/MiraiDrill/成績累積データ.dat"
    before=$(sha256sum <"$results")

    "$tree/prog/MiraiDrill/miraidrill" &
    pid=$!
    window=$(timeout 30 xdotool search --sync --onlyvisible --pid "$pid" | head -n1) ||
        fail "the program's window did not appear"
    # On the name selection "1" without a chosen name plays the wrong-answer cue; the sound
    # device stays open afterwards.
    xdotool windowfocus --sync "$window" 2>/dev/null || true
    cued=""
    for _ in $(seq 50); do
        xdotool key 1
        if cat /proc/"$pid"/task/*/comm 2>/dev/null | grep -q '^SDLAudio'; then
            cued=yes
            break
        fi
        sleep 0.2
    done
    [ -n "$cued" ] || fail "no sound cue played"

    kill -"$signal" "$pid"
    for _ in $(seq 20); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && fail "SIG$signal: still running 2 s after the signal"
    status=0
    wait "$pid" || status=$?
    pid=""
    [ "$status" -eq 0 ] || fail "SIG$signal: exit status $status"
    [ "$(sha256sum <"$results")" = "$before" ] || fail "SIG$signal: the result file changed"
    [ $(($(stat -c %s "$results") % 44)) -eq 0 ] || fail "SIG$signal: the result file holds a part record"
    echo "SIG$signal after a cue: ended with status 0"
done

# A run that times out after 5 s while the shared folder is away: the append retries, a log-out
# comes, and the program ends within 2 s, with no box to click, the run waiting on the station.
tree="$work/tree-outage"
"$stager" "$sources" "$tree" "$program" >/dev/null
data="$tree/共通/MiraiDrill"
export XDG_DATA_HOME="$work/station-data"
queue="$XDG_DATA_HOME/みらいドリル/成績待ち.dat"
# Level 1 with a minimum line of 1 s: its time limit is 5 s.
LC_ALL=C sed -i '2s/^\([0-9]*\),[0-9]*,/\1,1,/' "$data/タイム回数データ.txt"
"$tree/prog/MiraiDrill/miraidrill" &
pid=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --pid "$pid" | head -n1) ||
    fail "the program's window did not appear"
xdotool windowfocus --sync "$window" 2>/dev/null || true
sleep 2
xdotool key Down Return   # the first student on the list, to the results hub
sleep 3
xdotool key 1             # level 1
sleep 1
mv "$data" "$data.away"
sleep 8                   # the run has timed out and its record waits for the share
kill -0 "$pid" 2>/dev/null || fail "outage: the program ended by itself"
kill -TERM "$pid"
for _ in $(seq 20); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "outage: still running 2 s after SIGTERM"
status=0
wait "$pid" || status=$?
pid=""
[ "$status" -eq 0 ] || fail "outage: exit status $status"
[ -f "$queue" ] && [ "$(stat -c %s "$queue")" -eq 44 ] || fail "outage: the run is not waiting on the station"
echo "SIGTERM during an outage: ended with status 0, the run kept on the station"
