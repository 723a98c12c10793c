#!/usr/bin/env bash
# The real program under Xvfb: its window appears with the default log in
# its caption, and a window manager's close request ends it with exit code 0.
#   window_smoke.sh <pomiarownik> <directory for the screenshot>
# Needs Xvfb, xdotool, imagemagick (import) and /usr/bin/python3 with python3-xlib.
set -euo pipefail

program=$1
shots=$2
title='Pomiarownik.     zrx1.txt'

. "$(dirname "$0")/x_session.sh"

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
