#!/bin/sh
# Screenshots of the real program (build/app/snipora) with a generated test
# sound under a virtual X server: it waits for the window and grabs it, or
# opens Tools → Volume with the keyboard and grabs that dialog. Installs the
# few Debian packages it needs when they are missing (as root or with sudo).
# Usage: scripts/screenshot.sh [ja|en] [main|volume] [output.png]
#   With no arguments it makes all four into docs/: screenshot.png and
#   volume.png (Japanese), screenshot-en.png and volume-en.png (English).
# Environment: BUILD (build folder, default build).
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -eq 0 ]; then
  "$0" ja main "$root/docs/screenshot.png"
  "$0" ja volume "$root/docs/volume.png"
  "$0" en main "$root/docs/screenshot-en.png"
  "$0" en volume "$root/docs/volume-en.png"
  exit 0
fi
language=$1
window=${2:-main}
out=${3:-$root/docs/screenshot.png}
build=${BUILD:-$root/build}
program=$build/app/snipora
case "$language" in
  ja) locale=ja_JP.UTF-8 volume_title="音量" ;;
  en) locale=en_US.UTF-8 volume_title="Volume" ;;
  *) echo "screenshot: language is ja or en, not $language" >&2; exit 2 ;;
esac

if [ ! -x "$program" ]; then
  echo "screenshot: $program not found; build it first (make build)" >&2
  exit 1
fi

missing=""
for pair in Xvfb:xvfb xauth:xauth xwd:x11-apps convert:imagemagick sox:sox xdotool:xdotool; do
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

# Four phrases of plucked notes with silences between them (44.1 kHz, 16-bit
# stereo, 14.4 s): something that looks like music on the waveform.
note=0
for phrase in "262 330 392 523" "294 370 440 587" "247 311 370 494" "262 392 330 262"; do
  notes=""
  for hz in $phrase; do
    note=$((note + 1))
    sox -n -r 44100 -c 2 -b 16 "$work/note$note.wav" synth 0.55 pluck "$hz" pluck "$((hz * 3 / 2))" \
      remix 1 2 fade q 0.005 0.55 0.4 gain -4
    notes="$notes $work/note$note.wav"
  done
  # shellcheck disable=SC2086  # one argument per note file
  sox $notes "$work/phrase$note.wav" pad 0 1.4
done
sox "$work/phrase4.wav" "$work/phrase8.wav" "$work/phrase12.wav" "$work/phrase16.wav" "$work/song.wav"

# A display number that is free.
display=99
while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb
sleep 1

# The language follows the locale; a settings file of its own forces nothing.
LANGUAGE="" LC_ALL="" LC_MESSAGES="" LANG=$locale XDG_CONFIG_HOME="$work/config" \
  SDL_AUDIODRIVER=dummy "$program" "$work/song.wav" >"$work/app.log" 2>&1 &
app_pid=$!

# The X id of the window titled exactly $1. Compared by name here: xdotool's
# own pattern does not match a non-Latin title.
window_named() {
  for id in $(xdotool search --name . 2>/dev/null); do
    if [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$1" ]; then
      echo "$id"
      return 0
    fi
  done
  return 1
}

# Waits for the window titled $1 (its X id goes to $window_id), then lets it settle.
wait_for_window() {
  tries=0
  until window_id=$(window_named "$1") && [ -n "$window_id" ]; do
    tries=$((tries + 1))
    if [ "$tries" -ge 50 ] || ! kill -0 "$app_pid" 2>/dev/null; then
      echo "screenshot: the window \"$1\" did not appear" >&2
      cat "$work/app.log" >&2
      exit 1
    fi
    sleep 0.2
  done
  sleep 1
}

# The main window's title names the open file.
# Drags on the overview from $1 to $2 (per mille of the window's width).
select_span() {
  y=62
  xdotool mousemove --window "$window_id" $((width * $1 / 1000)) $y mousedown 1 \
    mousemove --window "$window_id" $((width * ($1 + $2) / 2000)) $y sleep 0.1 \
    mousemove --window "$window_id" $((width * $2 / 1000)) $y sleep 0.1 mouseup 1
  sleep 0.3
}

# Reserves the span from $1 to $2 (per mille) as row $3 with the label $4: R
# adds the selection as the last row; a click highlights the first row, ↓
# moves to row $3 and F2 edits its label.
reserve() {
  select_span "$1" "$2"
  xdotool key r
  sleep 0.3
  xdotool mousemove --window "$window_id" $((width / 2)) $((height - 197)) click 1
  row=1
  while [ "$row" -lt "$3" ]; do
    xdotool key Down
    row=$((row + 1))
  done
  sleep 0.3
  xdotool key F2
  sleep 0.3
  xdotool type --delay 20 "$4"
  xdotool key Return
  sleep 0.3
}

wait_for_window "song - Snipora"
if [ "$window" = main ]; then
  # Three phrases reserved with labels and the fourth selected, as a user
  # about to add it would see the window.
  xdotool windowfocus --sync "$window_id"
  geometry=$(xdotool getwindowgeometry --shell "$window_id")
  width=$(echo "$geometry" | sed -n 's/^WIDTH=//p')
  height=$(echo "$geometry" | sed -n 's/^HEIGHT=//p')
  reserve 20 222 1 "Intro"
  reserve 262 465 2 "Theme"
  reserve 505 708 3 "Bridge"
  select_span 748 950
  sleep 0.5
elif [ "$window" = volume ]; then
  # Tools (Alt+T) → Volume (V): the same access keys in both languages. There
  # is no window manager to activate the window: it is given the focus.
  xdotool windowfocus --sync "$window_id"
  xdotool key alt+t
  sleep 0.5  # the menu opens before it takes its key
  xdotool key v
  wait_for_window "$volume_title"
fi
xwd -silent -id "$window_id" -out "$work/window.xwd"

mkdir -p "$(dirname "$out")"
convert "xwd:$work/window.xwd" "png:$out"
echo "screenshot: wrote $out"
