#!/usr/bin/env bash
# The window over AT-SPI: starts a session bus, the accessibility bus, Xvfb
# and the recorder, then test_accessibility.py reads and drives the window.
#   test_accessibility.sh <pomiarownik> <thermo-sim>
# Needs dbus, at-spi2-core, python3-pyatspi for /usr/bin/python3, Xvfb and xdotool.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

if [ "${1:-}" != --in-session ]; then
  exec dbus-run-session -- "$0" --in-session "$@"
fi
shift
program=$(realpath "$1")
sim=$(realpath "$2")

. "$here/own_x_display.sh"
start_own_display

/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/bus.log" 2>&1 &
to_end+=($!)
for _ in $(seq 50); do
  dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
    >/dev/null 2>&1 && break
  sleep 0.1
done

# An empty data folder: no port links, so that no port but the simulator answers.
export XDG_DATA_HOME=$work/data QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
mkdir -p "$XDG_DATA_HOME/pomiarownik/ports"
cd "$work"
# The chart options ticked, so that every control takes part in the tab order.
printf '%s\r\n' "TORNI - Jednokanalowy pomiarownik temperatury. Plik konfiguracyjny" \
  25 22 0 plynacy kresl 255 100 0 0 > config.kvt

"$program" >"$work/app.log" 2>&1 &
to_end+=($!)

/usr/bin/python3 "$here/test_accessibility.py" "$sim" "$XDG_DATA_HOME/pomiarownik/ports" || {
  echo "--- recorder's output"; cat "$work/app.log"; exit 1; }
