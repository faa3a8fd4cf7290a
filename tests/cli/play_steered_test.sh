#!/usr/bin/env bash
# harmovia-cli play end to end: tunes made by ffmpeg, added by the CLI, played by the real
# decoder and player (silent without a sound server) and steered over the session bus as
# media keys and playerctl do. ctest runs it under a private dbus-run-session.
set -uo pipefail
cli=$1
tmp=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$tmp"' EXIT
export HOME=$tmp/home XDG_DATA_HOME=$tmp/data
mkdir -p "$HOME" "$tmp/tunes"

fail() { echo "FAILED: $*"; echo "-- out:"; cat "$tmp/out"; echo "-- err:"; cat "$tmp/err"; exit 1; }
for title in One Two Three; do
  tone="0.5*sin(2*PI*440*t)"
  ffmpeg -nostdin -v error -f lavfi -i "aevalsrc=$tone|$tone:s=44100:d=16:c=stereo" \
    -c:a libmp3lame -b:a 32k -fflags +bitexact -metadata title=$title -metadata artist=Aster \
    -metadata album="Plain Songs" "$tmp/tunes/${#title}-$title.mp3" || exit 1
done
"$cli" add "$tmp/tunes" --quiet >/dev/null || exit 1

mpris() {
  dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.harmovia \
    /org/mpris/MediaPlayer2 "$@" 2>/dev/null
}
property() { mpris org.freedesktop.DBus.Properties.Get string:org.mpris.MediaPlayer2.Player "string:$1"; }
wait_for() {
  for _ in $(seq 150); do eval "$1" && return 0; sleep 0.1; done
  fail "waited in vain for: $1"
}
lines() { wc -l < "$tmp/out"; }

# Library order by file name: 3-One, 3-Two, 5-Three. Next moves on; Stop ends the command.
"$cli" play --all --volume 256 > "$tmp/out" 2> "$tmp/err" &
pid=$!
wait_for 'property PlaybackStatus | grep -q "\"Playing\""'
wait_for '[ "$(lines)" -ge 1 ]'
mpris org.mpris.MediaPlayer2.Player.Next >/dev/null
wait_for '[ "$(lines)" -ge 2 ]'
wait_for 'property Metadata | grep -q "\"Two\""'
mpris org.mpris.MediaPlayer2.Player.Stop >/dev/null
wait "$pid"; status=$?; pid=""
[ $status -eq 0 ] || fail "Stop: exit status $status"
[ "$(cut -f1-3 "$tmp/out" | tr '\t\n' ',;')" = "1,One,Aster;2,Two,Aster;" ] ||
  fail "Stop: unexpected lines"

# Ctrl-C stops as cleanly.
"$cli" play --search Three --volume 100 > "$tmp/out" 2> "$tmp/err" &
pid=$!
wait_for '[ "$(lines)" -ge 1 ]'
kill -INT "$pid"
wait "$pid"; status=$?; pid=""
[ $status -eq 0 ] || fail "Ctrl-C: exit status $status"
grep -q "^1	Three	Aster	[0-9]*$" "$tmp/out" || fail "Ctrl-C: unexpected line"
echo "harmovia-cli play: steered and stopped"
