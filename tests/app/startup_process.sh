#!/usr/bin/env bash
# The real program under Xvfb with a settings file it cannot load: the
# "Application Error" box appears, the main window never does, and once the
# box is dismissed the program ends with exit code 1.
#   startup_process.sh <pomiarownik>
# Needs Xvfb, xdotool and x11-utils. A good settings file is window_smoke.sh's case.
set -euo pipefail

program=$(realpath "$1")
main_title='Pomiarownik.     zrx1.txt'
header='TORNI - Jednokanalowy pomiarownik temperatury. Plik konfiguracyjny'

. "$(dirname "$0")/x_session.sh"

fail() { echo "$case: $*"; [ -f "$dir/app.log" ] && cat "$dir/app.log"; exit 1; }

main_window_exists() {
  xdotool search --name "^${main_title}\$" >/dev/null 2>&1
}

# One start in a directory of its own; the settings lines follow the case name.
start_fails() {
  case=$1; shift
  dir=$work/$case
  mkdir "$dir"
  [ $# -eq 0 ] || printf '%s\r\n' "$header" "$@" >"$dir/config.kvt"
  (cd "$dir" && exec "$program") >"$dir/app.log" 2>&1 &
  app_pid=$!

  box=$(timeout 20 xdotool search --sync --onlyvisible --name '^Application Error$' | head -n 1) ||
    fail "no Application Error box"
  main_window_exists && fail "the main window was created"
  xdotool windowfocus --sync "$box"
  xdotool key --clearmodifiers Return

  for _ in $(seq 100); do
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$app_pid" 2>/dev/null && fail "the program did not end after the box"
  code=0
  wait "$app_pid" || code=$?
  app_pid=""
  [ "$code" -eq 1 ] || fail "exit code $code"
  echo "$case: Application Error, no window, exit code 1"
}

start_fails no-settings-file
start_fails colour-not-a-number 25 22 0 auto kresl czerwony 100 0 0
start_fails minutes-not-an-integer 25 22 0 auto kresl 255 100 '5 ' 0
