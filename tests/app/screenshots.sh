#!/usr/bin/env bash
# Pictures of the real window under Xvfb at 1x and 2x scale, kept in the
# build tree: the design state, discovery naming the port it tries, measuring
# with the alarm red, and a replayed log. Each is also checked: the window is
# 625 wide per scale step and doubles exactly at 2x, and the controls that
# change show their colours where the layout puts them.
#   screenshots.sh <pomiarownik> <thermo-sim> <folder for the pictures>
# Needs Xvfb, xdotool, imagemagick and x11-utils.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
program=$(realpath "$1")
sim=$(realpath "$2")
shots=$3
mkdir -p "$shots"
rm -f "$shots"/*.png

# Room for the window at twice its size.
. "$here/own_x_display.sh"
start_own_display 1600x1200x24
app_pid=""
trap 'stop_program; cleanup' EXIT

header="TORNI - Jednokanalowy pomiarownik temperatury. Plik konfiguracyjny"
main_title='Pomiarownik.     zrx1.txt'
fail() { echo "FAIL (${scale}x): $*"; [ -f "$dir/app.log" ] && cat "$dir/app.log"; exit 1; }

# Polls a command for up to $1 seconds.
within() {
  local end=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep 0.2
  done
}

window_named() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1; }
has_window() { [ -n "$(window_named "$1")" ]; }

key() {
  xdotool windowfocus --sync "$1"
  xdotool key "$2"
}

# Sets X Y W H of window $1 and the height M of its menu bar.
measure() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  W=$WIDTH H=$HEIGHT
  M=$((H - 465 * scale))
}

# The picture of window $1 as $2.png.
shoot() {
  measure "$1"
  import -window root -crop "${W}x${H}+${X}+${Y}" +repage "$shots/$2.png"
  shot=$shots/$2.png
}

# How many pixels of a design rectangle (client coordinates at 1x) in the
# picture $shot have colour $5.
matching() {
  local x=$(($1 * scale)) y=$(($2 * scale + M)) w=$(($3 * scale)) h=$(($4 * scale)) differ
  convert "$shot" -crop "${w}x${h}+${x}+${y}" +repage "$dir/crop.png"
  convert -size "${w}x${h}" "xc:$5" "$dir/solid.png"
  differ=$(compare -metric AE -fuzz 10% "$dir/crop.png" "$dir/solid.png" null: 2>&1 || true)
  echo $((w * h - ${differ%%.*}))
}

# The same as a percentage of the rectangle.
share() {
  echo $(($(matching "$@") * 100 / ($3 * $4 * scale * scale)))
}

# The cursor the X server shows now: its size, hot spot and a digest of its image.
cursor_now() {
  /usr/bin/python3 -c '
import hashlib
from Xlib import display
d = display.Display()
d.xfixes_query_version()
c = d.xfixes_get_cursor_image(None)
print(c.width, c.height, c.xhot, c.yhot, hashlib.sha1(str(list(c.cursor_image)).encode()).hexdigest())'
}

expect_share() {  # rectangle, colour, comparison, percent, what
  local got
  got=$(share "$1" "$2" "$3" "$4" "$5")
  [ "$got" "$6" "$7" ] || fail "$8: $got % $5"
}

edit3=(12 28 177 51)     # inside the reading field
label6=(450 58 64 19)    # the "ALARM" label
port_label=(10 114 100 14)
chart=(0 104 625 361)

start_program() {  # in $dir, with the alarm on at 25/22 and plotting on
  printf '%s\r\n' "$header" 25 22 1 auto kresl 255 100 0 0 >"$dir/config.kvt"
  (cd "$dir" && QT_SCALE_FACTOR=$scale XDG_DATA_HOME=$dir/data exec "$program") \
    >"$dir/app.log" 2>&1 &
  app_pid=$!
  within 30 has_window "$main_title" || fail "no window"
  window=$(window_named "$main_title")
  sleep 1
  measure "$window"
}

stop_program() {
  [ -n "$app_pid" ] || return 0
  kill "$app_pid" 2>/dev/null || true
  wait "$app_pid" 2>/dev/null || true
  app_pid=""
}

start_sim() {  # port, arguments
  local port=$1; shift
  "$sim" --port "$port" --links-dir "$dir/data/pomiarownik/ports" "$@" --stay \
    </dev/null >"$dir/sim$port.out" 2>&1 &
  to_end+=($!)
  within 10 grep -q '^ready' "$dir/sim$port.out" || fail "the simulator on port $port"
}

reading_is_red() {
  shoot "$window" "measuring-${scale}x"
  [ "$(share "${edit3[@]}" 'rgb(255,0,0)')" -ge 50 ]
}

port_label_shows() {
  shoot "$window" "discovery-${scale}x"
  [ "$(share "${port_label[@]}" 'rgb(255,255,220)')" -ge 40 ]
}

record() {
  dir=$work/record$scale
  mkdir -p "$dir/data/pomiarownik/ports"
  start_sim 3 --silent        # holds discovery a second, for the port label's picture
  start_sim 7 --constant 30
  start_program
  shoot "$window" "design-${scale}x"
  [ "$W" -eq $((625 * scale)) ] || fail "the window is $W wide"
  expect_share "${edit3[@]}" 'rgb(192,192,192)' -ge 80 "the reading field is silver"
  expect_share "${label6[@]}" 'rgb(255,0,0)' -le 5 "no alarm at design"

  xdotool mousemove --window "$window" $((300 * scale)) $((300 * scale))
  sleep 0.3
  local idle busy
  idle=$(cursor_now)
  key "$window" alt+p
  # The window's thread is held by the scan (a second on the silent port 3
  # alone), yet the picture and the cursor change.
  within 10 port_label_shows || fail "no port label while the ports are tried"
  busy=$(cursor_now)
  [ "$busy" != "$idle" ] || fail "no busy cursor while the ports are tried"
  within 30 has_window 'Znaleziono  :' || fail "no \"Znaleziono  :\" box"
  key "$(window_named 'Znaleziono  :')" Return
  within 10 eval '! has_window "Znaleziono  :"' || fail "the box stays"
  xdotool mousemove --window "$window" $((300 * scale)) $((300 * scale))
  within 5 eval '[ "$(cursor_now)" = "$idle" ]' || fail "the busy cursor stays after discovery"

  key "$window" alt+m
  within 30 reading_is_red || fail "no red alarm"
  expect_share "${edit3[@]}" 'rgb(255,0,0)' -ge 50 "the reading field is red"
  expect_share "${label6[@]}" 'rgb(255,0,0)' -ge 50 "ALARM shows"
  within 30 eval '[ "$(grep -c . "$dir/zrx1.txt")" -ge 4 ]' || fail "fewer than 3 readings logged"
  key "$window" alt+w
  cp "$dir/zrx1.txt" "$work/replay$scale.txt"
  stop_program
  heights[$scale]=$H
}

replay() {
  dir=$work/replay$scale
  mkdir -p "$dir/data"
  start_program
  # Plik, then its first item "Otwórz"; the file dialog takes a typed name.
  xdotool mousemove --window "$window" $((14 * scale)) $((M / 2)) click 1
  sleep 0.5
  xdotool key Down Return
  local log=$work/replay$scale.txt
  within 20 has_window Open || fail "no file dialog"
  key "$(window_named Open)" ctrl+a
  xdotool type --delay 20 "$log"
  xdotool key Return
  local replayed="Pomiarownik\.     ${log//./\\.}"
  within 30 has_window "$replayed" || fail "the log was not replayed"
  sleep 1
  shoot "$(window_named "$replayed")" "replay-${scale}x"
  # Three readings or more: a red line of some length at 2 pixels' width.
  local red
  red=$(matching "${chart[@]}" 'rgb(255,0,0)')
  [ "$red" -ge $((10 * scale * scale)) ] || fail "the replayed line has $red red pixels"
  stop_program
}

declare -A heights
for scale in 1 2; do
  record
  replay
done
[ "${heights[2]}" -eq $((2 * heights[1])) ] || fail "the height ${heights[2]} is not twice ${heights[1]}"
ls "$shots"
