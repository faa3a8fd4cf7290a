#!/usr/bin/env bash
# Proof by installing: makes the Debian package of the Release build in build/, checks it
# with lintian, installs it with dpkg (as root; otherwise, or when a harmovia package is
# installed already, it unpacks it into a temporary root), and runs what was installed
# outside the build folder: harmovia-cli adds three ffmpeg-made tunes to a fresh HOME and
# lists them, harmovia opens its window under xvfb-run, and the desktop entry, metadata,
# icons, manual pages and completion are where a desktop and a shell look for them. Then
# removes the package again. No sound card and no session bus are needed.
#
#   tests/install/install_proof.sh [--extract]   --extract: never install into the machine
set -uo pipefail
cd "$(dirname "$0")/../.."
id=org.harmovia.Harmovia

tmp=$(mktemp -d)
installed=0
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  if [ $installed = 1 ]; then
    dpkg_waiting --purge harmovia || echo "install proof: purge failed"
  fi
  rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
fail() { echo "install proof FAILED: $*"; exit 1; }
step() { echo "-- $*"; }

# dpkg does not wait for its lock; an apt run elsewhere on the machine is waited for here.
dpkg_waiting() {
  local log=$tmp/dpkg.log
  for _ in $(seq 120); do
    dpkg "$@" > "$log" 2>&1 && return 0
    grep -q "lock" "$log" || { cat "$log"; return 1; }
    sleep 5
  done
  cat "$log"; return 1
}

mode=install
[ "${1:-}" = --extract ] && mode=extract
[ "$(id -u)" -eq 0 ] || mode=extract
# One proof at a time on a machine: two would install and purge the one package under each
# other.
if [ $mode = install ]; then
  exec 9> /run/lock/harmovia-install-proof
  flock -w 900 9 || fail "another install proof holds /run/lock/harmovia-install-proof"
fi
if dpkg-query -W -f='${Status}' harmovia 2>/dev/null | grep -q "ok installed"; then
  echo "install proof: a harmovia package is installed already; leaving it and unpacking instead"
  mode=extract
fi

step "making the package from build/"
scripts/package --no-build > "$tmp/package.log" 2>&1 || { cat "$tmp/package.log"; fail "cpack"; }
deb=$(ls build/harmovia_*.deb)
dpkg-deb --field "$deb" Package Version Architecture Section Depends Installed-Size
echo "size: $(stat -c %s "$deb") bytes"
dpkg-deb --field "$deb" Depends | grep -q "libqt6widgets6" || fail "Depends lacks the Qt libraries"

step "lintian"
# Errors fail the proof; warnings are printed for the reader.
lintian --fail-on error "$deb" ||
  fail "lintian reports errors"

step "installing ($mode)"
if [ $mode = install ]; then
  installed=1
  DEBIAN_FRONTEND=noninteractive dpkg_waiting -i "$deb" || fail "dpkg -i"
  root=""
else
  root=$tmp/root
  dpkg-deb -x "$deb" "$root" || fail "dpkg-deb -x"
fi
bin=$root/usr/bin
share=$root/usr/share
[ $mode = install ] && [ "$(command -v harmovia-cli)" != /usr/bin/harmovia-cli ] &&
  fail "harmovia-cli is not the installed one on PATH"

# The programs find nothing of the build folder: no run path, and a clean environment in a
# fresh home.
for program in harmovia harmovia-cli; do
  readelf -d "$bin/$program" | grep -Eq "RPATH|RUNPATH" && fail "$program has a run path"
done
home=$tmp/home
mkdir -p "$home" "$tmp/tunes"
cd "$tmp" || exit 1
run() {
  env -i HOME="$home" PATH="$bin:/usr/bin:/bin" LANG=C.UTF-8 XDG_DATA_DIRS="$share:/usr/share" \
    timeout -k 10 300 "$@"
}

step "harmovia-cli: three tunes added and listed"
for title in One Two Three; do
  tone="0.5*sin(2*PI*440*t)"
  ffmpeg -nostdin -v error -f lavfi -i "aevalsrc=$tone|$tone:s=44100:d=16:c=stereo" \
    -c:a libmp3lame -b:a 32k -fflags +bitexact -metadata title=$title -metadata artist=Aster \
    -metadata album="Plain Songs" "$tmp/tunes/$title.mp3" || fail "ffmpeg"
done
run harmovia-cli add "$tmp/tunes" --quiet > "$tmp/add.out" 2>&1 || { cat "$tmp/add.out"; fail "add"; }
[ -s "$home/.local/share/Harmovia/HarmoviaDatabase" ] || fail "no library in ~/.local/share/Harmovia"
run harmovia-cli list > "$tmp/list.out" || fail "list"
cut -f1-4 "$tmp/list.out"
titles=$(awk -F'\t' 'NR == 1 { for (i = 1; i <= NF; i++) if ($i == "Title") t = i; next }
  { print $t }' "$tmp/list.out" | sort | tr '\n' ' ')
[ "$titles" = "One Three Two " ] || fail "list shows [$titles], not the three tunes"

step "harmovia: the window opens under xvfb-run"
# Qt's X11 plugin, no session bus, no sound server: the program must start without them.
cat > "$tmp/window.sh" <<'EOF'
harmovia > "$1/app.log" 2>&1 &
pid=$!
wid=""
# The program's top-level windows are those with a class (Qt's group leader has none).
while [ -z "$wid" ] && kill -0 $pid 2>/dev/null && [ $SECONDS -lt 60 ]; do
  sleep 0.2
  for w in $(xwininfo -root -tree 2>/dev/null |
             sed -n 's/^ *\(0x[0-9a-f]*\) "Harmovia": ("[^)]*).*/\1/p'); do
    xwininfo -id "$w" | grep -q "IsViewable" && wid=$w && break
  done
done
[ -n "$wid" ] && xprop -id "$wid" WM_CLASS > "$1/wm_class"
kill -TERM $pid 2>/dev/null; wait $pid
echo $? > "$1/app.status"
[ -n "$wid" ]
EOF
run timeout -k 10 120 xvfb-run -a -s "-screen 0 1280x800x24" \
  bash "$tmp/window.sh" "$tmp" || { cat "$tmp/app.log"; fail "no window appeared"; }
echo "window shown; WM_CLASS: $(sed 's/.* = //' "$tmp/wm_class"); exit status $(cat "$tmp/app.status")"
wm_class=$(sed -n 's/^StartupWMClass=//p' "$share/applications/$id.desktop")
grep -q "\"$wm_class\"" "$tmp/wm_class" || fail "the window's WM_CLASS does not hold $wm_class"

step "desktop entry, metadata, icons, manual pages, completion"
desktop-file-validate "$share/applications/$id.desktop" || fail "desktop-file-validate"
[ "$(sed -n 's/^Exec=//p' "$share/applications/$id.desktop")" = harmovia ] || fail "Exec"
[ "$(sed -n 's/^Icon=//p' "$share/applications/$id.desktop")" = $id ] || fail "Icon"
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"
for size in 16 22 24 32 48 64 128 256 512; do
  file "$share/icons/hicolor/${size}x$size/apps/$id.png" | grep -q "PNG image data, $size x $size," ||
    fail "no ${size}x$size icon"
done
grep -q "<svg" "$share/icons/hicolor/scalable/apps/$id.svg" || fail "no scalable icon"
for page in harmovia harmovia-cli; do
  MANWIDTH=80 man --warnings -l "$share/man/man1/$page.1.gz" > "$tmp/man.out" 2> "$tmp/man.err"
  [ ! -s "$tmp/man.err" ] && grep -q "^NAME" "$tmp/man.out" || { cat "$tmp/man.err"; fail "man $page"; }
done
bash --norc -c "source $share/bash-completion/completions/harmovia-cli && complete -p harmovia-cli" |
  grep -q -- "-F _harmovia_cli harmovia-cli" || fail "the completion does not register"
[ -s "$share/doc/harmovia/copyright" ] || fail "no copyright file"

if [ $mode = install ]; then
  step "removing the package"
  files=$(dpkg-query -L harmovia | grep -E "^/usr/(bin|share/(applications|metainfo|icons|man|bash-completion|doc/harmovia))/")
  dpkg_waiting --purge harmovia || fail "dpkg --purge"
  installed=0
  dpkg-query -W -f='${Status}' harmovia 2>/dev/null | grep -q "ok installed" && fail "still installed"
  for f in $files; do
    [ -d "$f" ] || [ ! -e "$f" ] || fail "$f is left behind"
  done
fi
echo "install proof: passed ($mode)"
