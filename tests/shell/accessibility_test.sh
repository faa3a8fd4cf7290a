#!/usr/bin/env bash
# The program's accessibility tree read over AT-SPI, on a private session bus (run under
# dbus-run-session) and a virtual display: a small library is added with harmovia-cli, the
# program is started with a throw-away home, and accessibility_test.py walks its tree and
# presses a mood button. Every wait is bounded; everything started here is ended here.
#   accessibility_test.sh HARMOVIA HARMOVIA_CLI
set -uo pipefail
app=$1 cli=$2
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
pids=()
cleanup() {
  # The program first (it saves and ends), then its display, then the bus.
  [ -s "$tmp/app.pid" ] && kill "$(cat "$tmp/app.pid")" 2>/dev/null
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    timeout 10 tail --pid="${pids[i]}" -f /dev/null 2>/dev/null || kill "${pids[i]}" 2>/dev/null
    kill "${pids[i]}" 2>/dev/null
  done
  wait
  rm -rf "$tmp"
}
trap cleanup EXIT

export HOME=$tmp/home XDG_DATA_HOME=$tmp/home/.local/share XDG_CONFIG_HOME=$tmp/home/.config
export XDG_RUNTIME_DIR=$tmp/run
mkdir -p "$HOME/tunes" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

# Two tones and a noise: the noise lands in another mood than the tones.
make() { ffmpeg -nostdin -loglevel error -f lavfi -i "$1" -t 16 -ac 2 -b:a 32k -fflags +bitexact \
  -metadata title="$2" -metadata artist="Aster" -metadata album="Trials" "$HOME/tunes/$2.mp3"; }
make "sine=f=220" "Low" && make "sine=f=440" "High" && make "anoisesrc=a=0.3:seed=7" "Noise" \
  || { echo "FAILED: ffmpeg"; exit 1; }
"$cli" add "$HOME/tunes" --quiet || { echo "FAILED: harmovia-cli add"; exit 1; }
# A mood that holds some of the tunes but not all, so that pressing it changes the list.
mood=$("$cli" moods | awk -F'\t' '{ name[NR] = $2; count[NR] = $3; all += $3 }
  END { for (i = 1; i <= NR; i++) if (count[i] > 0 && count[i] < all) { print name[i]; exit } }')
[ -n "$mood" ] || { echo "FAILED: no mood holds some but not all tunes:"; "$cli" moods; exit 1; }

/usr/libexec/at-spi-bus-launcher --launch-immediately & pids+=($!)
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb timeout 120 \
  xvfb-run -a -s "-screen 0 1280x800x24" \
  sh -c 'echo $$ > "$1"; exec "$2"' sh "$tmp/app.pid" "$app" > "$tmp/app.log" 2>&1 &
pids+=($!)

timeout 90 /usr/bin/python3 "$here/accessibility_test.py" "$mood"
status=$?
[ $status -eq 0 ] || { echo "the program said:"; cat "$tmp/app.log"; }
exit $status
