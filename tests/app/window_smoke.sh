#!/usr/bin/env bash
# The real program under Xvfb: its window appears with the default log in
# its caption, and a window manager's close request ends it with exit code 0.
#   window_smoke.sh <pomiarownik> <directory for the screenshot>
# Needs Xvfb, xdotool, imagemagick (import) and /usr/bin/python3 with python3-xlib.
set -euo pipefail

program=$1
shots=$2
title='Pomiarownik.     zrx1.txt'

work=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display number itself and reports it (-displayfd): two
# tests starting at once can then never end up on one server.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.1
done
[ -s "$work/display" ] || { echo "no X display: Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
display=":$(head -n 1 "$work/display")"
export DISPLAY=$display
unset QT_QPA_PLATFORM

# The design-time settings, for a program that reads them at start.
cd "$work"
printf '%s\r\n' "TORNI - Jednokanalowy pomiarownik temperatury. Plik konfiguracyjny" \
  25 22 0 auto blank 255 100 0 0 > config.kvt
printf 'old data\r\n' > zrx1.txt

"$program" >"$work/app.log" 2>&1 &
app_pid=$!

window=$(timeout 20 xdotool search --sync --onlyvisible --name "^${title}\$" | head -n 1) || {
  echo "no window titled '$title'"; cat "$work/app.log"; exit 1; }
name=$(xdotool getwindowname "$window")
[ "$name" = "$title" ] || { echo "window title is '$name'"; exit 1; }
[ ! -s zrx1.txt ] || { echo "zrx1.txt was not emptied"; exit 1; }

sleep 0.5  # let it paint before the picture
import -window root "$shots/window_smoke.png"

# Close it as a window manager would: WM_DELETE_WINDOW through WM_PROTOCOLS.
/usr/bin/python3 - "$window" <<'PY'
import sys
from Xlib import X, display, protocol

d = display.Display()
w = d.create_resource_object("window", int(sys.argv[1]))
delete = d.intern_atom("WM_DELETE_WINDOW")
if delete not in (w.get_wm_protocols() or []):
    sys.exit("the window does not take WM_DELETE_WINDOW")
event = protocol.event.ClientMessage(window=w, client_type=d.intern_atom("WM_PROTOCOLS"),
                                     data=(32, [delete, X.CurrentTime, 0, 0, 0]))
w.send_event(event, event_mask=X.NoEventMask)
d.flush()
PY

code=0
for _ in $(seq 100); do
  kill -0 "$app_pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$app_pid" 2>/dev/null; then
  echo "the program did not end after the close request"; exit 1
fi
wait "$app_pid" || code=$?
app_pid=""
[ "$code" -eq 0 ] || { echo "exit code $code"; cat "$work/app.log"; exit 1; }
echo "window shown, closed, exit code 0"
