#!/bin/sh
# Makes docs/screenshot.png: starts the real program (build/app/snipora) with
# a generated test sound under a virtual X server, waits for its window and
# grabs it. Installs the few Debian packages it needs when they are missing
# (as root or with sudo). Usage: scripts/screenshot.sh [output.png]
# Environment: BUILD (build folder, default build).
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$root/build}
out=${1:-$root/docs/screenshot.png}
program=$build/app/snipora

if [ ! -x "$program" ]; then
  echo "screenshot: $program not found; build it first (make build)" >&2
  exit 1
fi

missing=""
for pair in Xvfb:xvfb xauth:xauth xwd:x11-apps convert:imagemagick sox:sox; do
  command -v "${pair%%:*}" >/dev/null 2>&1 || missing="$missing ${pair#*:}"
done
dpkg-query -W -f='${Status}\n' fonts-ipafont-gothic 2>/dev/null | grep -q 'install ok installed' ||
  missing="$missing fonts-ipafont-gothic"
if [ -n "$missing" ]; then
  sudo=""
  [ "$(id -u)" = 0 ] || sudo=sudo
  echo "screenshot: installing$missing"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
fi

work=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Twelve seconds of a 44.1 kHz 16-bit stereo chord.
sox -n -r 44100 -c 2 -b 16 "$work/song.wav" synth 12 sine 440 sine 660 remix 1 2

# A display number that is free.
display=99
while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb
sleep 1

"$program" "$work/song.wav" >"$work/app.log" 2>&1 &
app_pid=$!

# Wait for the window (its title names the open file), then let it settle.
tries=0
until xwd -silent -name "song - Snipora" -out "$work/window.xwd" 2>/dev/null; do
  tries=$((tries + 1))
  if [ "$tries" -ge 50 ] || ! kill -0 "$app_pid" 2>/dev/null; then
    echo "screenshot: the window did not appear" >&2
    cat "$work/app.log" >&2
    exit 1
  fi
  sleep 0.2
done
sleep 1
xwd -silent -name "song - Snipora" -out "$work/window.xwd"

mkdir -p "$(dirname "$out")"
convert "xwd:$work/window.xwd" "png:$out"
echo "screenshot: wrote $out"
